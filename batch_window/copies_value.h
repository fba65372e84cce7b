#pragma once

#include <QString>
#include <optional>

namespace pbp {

// The copies text as a 16-bit whole number: numeric text (spaces around it allowed, a sign,
// decimals and an exponent as well) rounded half to even. Nothing when the text is not numeric
// or its value does not fit in 16 bits.
std::optional<qint16> CopiesAsInteger(const QString& text);

}  // namespace pbp
