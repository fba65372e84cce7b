#pragma once

#include <QString>

namespace pbp::render {

// The installed family that prints a drawing's font: metric-compatible stand-ins for the usual
// Windows fonts (Calibri -> Carlito, Arial and Arial Cyr -> Liberation Sans, ...), the family
// itself when it is installed, and Liberation Sans for an empty, unknown or bogus name such as "0".
QString printFontFamily(const QString& family);

}  // namespace pbp::render
