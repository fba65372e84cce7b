#pragma once

#include <QByteArray>
#include <QString>

#include "printing/engine/print_orientation.h"

namespace pbp::visio {

// What a page sheet's print properties state: PrintPageOrientation and PaperKind (0 none).
struct VsdPrintProps {
    PrintOrientation orientation = PrintOrientation::None;
    int paperKind = 0;
};

// The print properties that a page sheet states in a decompressed chunk stream of a binary
// drawing of version 6 (Visio 2000/2002) or 11 (Visio 2003); "none" for what it does not state
// or when the chunks cannot be followed. The stream is a page's own chunk stream, whose page
// sheet comes before its shapes.
VsdPrintProps vsdPrintProps(const QByteArray& chunks, int version);

// The print properties of style sheet 0 ("No Style"), the document's defaults, in the
// decompressed Styles stream (a chunk stream) of a drawing of version 6 or 11.
VsdPrintProps vsdDocumentPrintProps(const QByteArray& styles, int version);

}  // namespace pbp::visio
