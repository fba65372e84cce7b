#pragma once

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "tests/common/test_paths.h"

namespace pbp::test {

// A small one-page PDF holding `text`.
inline QByteArray samplePdf(const QString& text) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter(&writer).drawText(QPointF(100, 100), text);
    }
    return pdf;
}

}  // namespace pbp::test
