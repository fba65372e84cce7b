#include "printing/printers/printer_descriptions.h"

#include <cups/cups.h>

#include "printing/printers/cups_printer_system.h"
#include "printing/printers/pdf_folder_printer.h"

namespace pbp::printers {

namespace {

QString option(const cups_dest_t& dest, const char* name) {
    return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
}

// printer-state 3, 4, 5 as words, and whether the queue takes jobs.
QString stateOf(const cups_dest_t& dest) {
    const int state = option(dest, "printer-state").toInt();
    QString text = state == 5   ? QStringLiteral("stopped")
                   : state == 4 ? QStringLiteral("printing")
                                : QStringLiteral("idle");
    if (option(dest, "printer-is-accepting-jobs") == QLatin1String("false"))
        text += QStringLiteral(", rejecting jobs");
    return text;
}

}  // namespace

std::vector<PrinterDescription> describePrinters() {
    const QString defaultName = CupsPrinterSystem().defaultPrinter();
    std::vector<PrinterDescription> result;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        if (dest.instance) continue;
        const QString name = QString::fromUtf8(dest.name);
        result.push_back({name, option(dest, "printer-info"), stateOf(dest), name == defaultName});
    }
    cupsFreeDests(count, dests);
    // With no queue at all the built-in printer is the only choice, and so the default.
    result.push_back({kPdfPrinterName,
                      QStringLiteral("Saves each job as a PDF file in ") + pdfOutputFolder(),
                      QStringLiteral("idle"), result.empty() || defaultName == kPdfPrinterName});
    return result;
}

QString printerListText(const std::vector<PrinterDescription>& printers) {
    QString text;
    for (const PrinterDescription& printer : printers) {
        text += printer.name + QLatin1Char('\t') + printer.description + QLatin1Char('\t') +
                printer.state;
        if (printer.isDefault) text += QStringLiteral("\tdefault");
        text += QLatin1Char('\n');
    }
    return text;
}

}  // namespace pbp::printers
