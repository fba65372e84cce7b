#pragma once

#include <functional>
#include <optional>

#include "printing/printers/printer_system.h"

namespace pbp::printers {

// What people chose for a printer's options, by IPP name ("sides" = "two-sided-long-edge").
// An option left out, or given an empty value, is left to the printer; a media left out keeps
// each drawing's own paper.
using PrinterChoices = QMap<QString, QString>;

// `kept` with `over` laid on it; options whose value ends empty are dropped.
PrinterChoices mergedChoices(const PrinterChoices& kept, const PrinterChoices& over);

// One line of a printer's Properties form: the option, the values in the order shown and the
// one selected. The first value is empty: the printer's default, or each drawing's own paper
// for the media.
struct ChoiceRow {
    PrinterOption option;
    QStringList values;
    int selected = 0;
};

// The form's lines for the printer's options with the kept choices selected (a kept value the
// printer no longer offers selects the default).
std::vector<ChoiceRow> choiceRows(const std::vector<PrinterOption>& options,
                                  const PrinterChoices& kept);

// What the form's lines choose, every option named (empty for the default), so that keeping
// them replaces what was kept before.
PrinterChoices rowChoices(const std::vector<ChoiceRow>& rows);

// The paper a media name (PWG "iso_a3_297x420mm" or PPD "A3") stands for.
std::optional<QPageSize> paperOfMedia(const QString& media);

// A printer system whose jobs carry each printer's choices. A chosen media also sets the paper
// every drawing is painted on for that printer, in place of the drawing's own.
class ChosenOptionsPrinters : public PrinterSystem {
  public:
    using ChoicesOf = std::function<PrinterChoices(const QString& printerName)>;
    ChosenOptionsPrinters(PrinterSystem& system, ChoicesOf choicesOf)
        : system_(system), choicesOf_(std::move(choicesOf)) {}

    QStringList printerNames() const override { return system_.printerNames(); }
    PrinterDescription describe(const QString& printerName) const override {
        return system_.describe(printerName);
    }
    QString defaultPrinter() const override { return system_.defaultPrinter(); }
    QPageSize defaultPaper(const QString& printerName) const override;
    std::optional<QString> offeredMedia(const QString& printerName,
                                        const QPageSize& paper) const override;
    std::vector<std::pair<QPageSize, QString>> offeredPapers(
        const QString& printerName, const std::vector<QPageSize>& papers) const override;
    std::vector<PrinterOption> options(const QString& printerName) const override {
        return system_.options(printerName);
    }
    bool makesCopies(const QString& printerName) const override {
        return system_.makesCopies(printerName);
    }
    void submit(const PrintJob& job) override;
    QString lastPdfFile() const override { return system_.lastPdfFile(); }
    QString printerProblem(const QString& printerName) const override {
        return system_.printerProblem(printerName);
    }
    QStringList queuedJobs() const override { return system_.queuedJobs(); }
    QString schedulerProblem() const override { return system_.schedulerProblem(); }

  private:
    PrinterSystem& system_;
    ChoicesOf choicesOf_;
};

}  // namespace pbp::printers
