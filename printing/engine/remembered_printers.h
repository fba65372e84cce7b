#pragma once

#include <QHash>
#include <optional>

#include "printing/printers/printer_system.h"

namespace pbp::visio {

// The printer system as the engine uses it while it runs: the printer list and each printer's
// papers are asked for once, not for every drawing, as each ask can be a round trip to the print
// server or the printer. Jobs go straight through.
class RememberedPrinters : public printers::PrinterSystem {
  public:
    explicit RememberedPrinters(printers::PrinterSystem& system) : system_(system) {}

    QStringList printerNames() const override;
    QString defaultPrinter() const override { return system_.defaultPrinter(); }
    QPageSize defaultPaper(const QString& printerName) const override;
    std::optional<QString> offeredMedia(const QString& printerName,
                                        const QPageSize& paper) const override;
    bool makesCopies(const QString& printerName) const override {
        return system_.makesCopies(printerName);
    }
    void submit(const printers::PrintJob& job) override { system_.submit(job); }
    QString schedulerProblem() const override { return system_.schedulerProblem(); }

  private:
    printers::PrinterSystem& system_;
    mutable std::optional<QStringList> names_;
    mutable QHash<QString, QPageSize> papers_;
    mutable QHash<QString, std::optional<QString>> media_;  // by printer name and paper key
};

}  // namespace pbp::visio
