#pragma once

// Reading librevenge property values: lengths in any of its units, colours and fractions.

#include <QColor>
#include <optional>

namespace librevenge {
class RVNGProperty;
class RVNGPropertyList;
}  // namespace librevenge

namespace pbp::render {

inline constexpr double kPointsPerInch = 72.0;

// A length in points. Inches when the property has no unit (librevenge's default);
// text values may carry "in", "pt", "cm", "mm", "twip".
std::optional<double> lengthPt(const librevenge::RVNGProperty* property);
double lengthPt(const librevenge::RVNGPropertyList& props, const char* name, double fallback = 0);

// "#rrggbb"; nullopt when absent or malformed.
std::optional<QColor> colour(const librevenge::RVNGPropertyList& props, const char* name);

// A fraction 0..1 from a percentage ("50%") or a plain number (0.5).
std::optional<double> fraction(const librevenge::RVNGPropertyList& props, const char* name);

QString text(const librevenge::RVNGPropertyList& props, const char* name);
std::optional<double> number(const librevenge::RVNGPropertyList& props, const char* name);
// A boolean given as true/false or as a number; `fallback` when absent.
bool flag(const librevenge::RVNGPropertyList& props, const char* name, bool fallback = false);

}  // namespace pbp::render
