#pragma once

// The preview picture of an embedded (OLE) object. libvisio hands such an object over whole, as
// an OLE storage ("object/ole"); the storage keeps the picture the object's program last drew
// (a presentation stream, "\2OlePres000") for programs that cannot run it, and that picture is
// what Visio prints.

#include <QByteArray>
#include <QString>

namespace pbp::render {

struct OlePreview {
    QByteArray data;   // a WMF (given a placeable header), an EMF or a DIB; empty when none
    QString mimeType;  // image/wmf, image/emf or image/bmp
    QString problem;   // why there is none
};

OlePreview olePreview(const QByteArray& storage);

}  // namespace pbp::render
