#pragma once

#include <QString>

namespace pbp::visio {

// A page's print orientation, the value of its PrintPageOrientation cell.
enum class PrintOrientation { None = 0, Portrait = 1, Landscape = 2 };

// The orientation a PrintPageOrientation formula states: its value when the formula is a number,
// optionally after "=" and optionally followed by the unit "in" ("2", " =2 ", "2in", "2.0"), and
// that value is 1 or 2. Anything else is None: other numbers and text that is no such number
// ("x", "2,0", "=2+1").
PrintOrientation parsePrintOrientation(const QString& formula);

// The formula the cell shows for an orientation: "0", "1" or "2".
QString orientationFormula(PrintOrientation orientation);

}  // namespace pbp::visio
