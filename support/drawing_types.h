#pragma once

#include <QString>
#include <QStringList>

namespace pbp {

// The one list of drawing types the program takes: every extension the drawing engine opens
// (binary .vsd/.vst, XML .vdx/.vtx, zipped .vsdx/.vstx/.vsdm/.vstm). The Add dialog, drops on
// the list and the batch-list reader all decide with it, so whatever prints also survives an
// export and an import.
const QStringList& DrawingExtensions();

// True when the name ends in one of the drawing extensions, in any letter case.
bool HasDrawingExtension(const QString& name);

// The Add dialog's filter ("Description|patterns|..."): every drawing type first, then the
// "Visio Document" filter of the four older types, then all files.
QString DrawingFileFilter();

}  // namespace pbp
