#include "printing/printers/printer_choices.h"

#include <cups/cups.h>

#include <QSizeF>
#include <algorithm>

namespace pbp::printers {

namespace {

const QString kMedia = QStringLiteral("media");

}  // namespace

PrinterChoices mergedChoices(const PrinterChoices& kept, const PrinterChoices& over) {
    PrinterChoices merged = kept;
    for (auto it = over.cbegin(); it != over.cend(); ++it) merged.insert(it.key(), it.value());
    merged.removeIf([](const auto& choice) { return choice.value().isEmpty(); });
    return merged;
}

std::vector<ChoiceRow> choiceRows(const std::vector<PrinterOption>& options,
                                  const PrinterChoices& kept) {
    std::vector<ChoiceRow> rows;
    for (const PrinterOption& option : options) {
        ChoiceRow row{option, QStringList{QString()} + option.choices};
        row.selected = std::max(0, int(row.values.indexOf(kept.value(option.name))));
        if (kept.value(option.name).isEmpty()) row.selected = 0;
        rows.push_back(row);
    }
    return rows;
}

PrinterChoices rowChoices(const std::vector<ChoiceRow>& rows) {
    PrinterChoices choices;
    for (const ChoiceRow& row : rows)
        choices.insert(row.option.name, row.values.value(row.selected));
    return choices;
}

std::optional<QPageSize> paperOfMedia(const QString& media) {
    const QByteArray name = media.toUtf8();
    const pwg_media_t* size = pwgMediaForPWG(name.constData());
    if (!size) size = pwgMediaForPPD(name.constData());
    if (!size || size->width <= 0 || size->length <= 0) return std::nullopt;
    const QPageSize paper(QSizeF(size->width / 100.0, size->length / 100.0), QPageSize::Millimeter,
                          QString(), QPageSize::FuzzyMatch);
    return paper.isValid() ? std::optional<QPageSize>(paper) : std::nullopt;
}

QPageSize ChosenOptionsPrinters::defaultPaper(const QString& printerName) const {
    if (const auto paper = paperOfMedia(choicesOf_(printerName).value(kMedia))) return *paper;
    return system_.defaultPaper(printerName);
}

std::optional<QString> ChosenOptionsPrinters::offeredMedia(const QString& printerName,
                                                           const QPageSize& paper) const {
    const QString media = choicesOf_(printerName).value(kMedia);
    const std::optional<QPageSize> chosen = paperOfMedia(media);
    if (!chosen) return system_.offeredMedia(printerName, paper);
    // Only the chosen paper is offered, so every page is painted on it.
    if (!chosen->isEquivalentTo(paper)) return std::nullopt;
    return printerName == kPdfPrinterName ? QString() : media;
}

std::vector<std::pair<QPageSize, QString>> ChosenOptionsPrinters::offeredPapers(
    const QString& printerName, const std::vector<QPageSize>& papers) const {
    if (paperOfMedia(choicesOf_(printerName).value(kMedia)))
        return PrinterSystem::offeredPapers(printerName, papers);
    return system_.offeredPapers(printerName, papers);
}

void ChosenOptionsPrinters::submit(const PrintJob& job) {
    PrintJob chosen = job;
    const PrinterChoices choices = choicesOf_(job.printerName);
    for (auto it = choices.cbegin(); it != choices.cend(); ++it)
        if (!it.value().isEmpty()) chosen.options.insert(it.key(), it.value());
    system_.submit(chosen);
}

}  // namespace pbp::printers
