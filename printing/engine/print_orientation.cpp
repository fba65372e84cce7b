#include "printing/engine/print_orientation.h"

#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

PrintOrientation parsePrintOrientation(const QString& formula) {
    const double value = formulaValue(formula).value_or(0);
    if (value == 1.0) return PrintOrientation::Portrait;
    if (value == 2.0) return PrintOrientation::Landscape;
    return PrintOrientation::None;
}

QString orientationFormula(PrintOrientation orientation) {
    return QString::number(int(orientation));
}

}  // namespace pbp::visio
