#pragma once

#include <QDialog>
#include <vector>

#include "printing/printers/printer_choices.h"

class QComboBox;

namespace pbp {

// The Properties dialog of one printer: a combo box per option the printer offers (objectName
// the option's IPP name), the kept choices selected.
class PrinterPropertiesDialog : public QDialog {
    Q_OBJECT

  public:
    PrinterPropertiesDialog(const QString& printerName,
                            const std::vector<printers::PrinterOption>& options,
                            const printers::PrinterChoices& kept, QWidget* parent = nullptr);

    // What the form chooses now, every option named (empty for the default).
    printers::PrinterChoices choices() const;

  private:
    std::vector<printers::ChoiceRow> rows_;
    std::vector<QComboBox*> boxes_;
};

}  // namespace pbp
