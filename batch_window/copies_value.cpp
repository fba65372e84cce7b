#include "batch_window/copies_value.h"

#include <QLocale>
#include <cfenv>
#include <cmath>

namespace pbp {

std::optional<qint16> CopiesAsInteger(const QString& text) {
    bool numeric = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &numeric);
    if (!numeric || !std::isfinite(value)) return std::nullopt;
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return qint16(rounded);
}

}  // namespace pbp
