#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace pbp {

// The program's pictures, by their resource numbers and names. An unknown one throws VbError
// 326 "Resource with identifier '...' not found".

// Bitmaps: 101 the about splash, 112 the Contents menu image, 115 the About menu image.
QPixmap LoadResPicture(int id);

// Icon groups: "IDI_ICON1", the program icon (16, 32 and 48 pixels).
QIcon LoadResIcon(const QString& name);

// Cursors: 1, a 32 x 32 pointing hand whose hot spot is its top-left corner.
QCursor LoadResCursor(int id);

}  // namespace pbp
