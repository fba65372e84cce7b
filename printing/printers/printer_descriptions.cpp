#include "printing/printers/printer_descriptions.h"

#include "printing/printers/printer_system.h"

namespace pbp::printers {

QString printerListText(const PrinterSystem& printers, bool withOptions) {
    const QStringList names = printers.printerNames();
    QString defaultName = printers.defaultPrinter();
    if (defaultName.isEmpty() && names == QStringList{kPdfPrinterName})
        defaultName = kPdfPrinterName;
    QString text;
    for (const QString& name : names) {
        const PrinterDescription printer = printers.describe(name);
        QString state = printer.state.isEmpty() ? QStringLiteral("Idle") : printer.state;
        state[0] = state[0].toLower();
        text += name + QLatin1Char('\t') + printer.description + QLatin1Char('\t') + state;
        if (name == defaultName) text += QStringLiteral("\tdefault");
        text += QLatin1Char('\n');
        if (!withOptions) continue;
        for (const PrinterOption& option : printers.options(name)) {
            QStringList values = option.choices;
            for (QString& value : values)
                if (value == option.defaultChoice) value.prepend(QLatin1Char('*'));
            text += QStringLiteral("  ") + option.name + QStringLiteral(": ") +
                    values.join(QLatin1Char(' ')) + QLatin1Char('\n');
        }
    }
    return text;
}

}  // namespace pbp::printers
