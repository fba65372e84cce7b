#include "batch_window/printer_properties_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace pbp {

namespace {

QString optionCaption(const QString& name) {
    if (name == QLatin1String("media")) return PrinterPropertiesDialog::tr("&Paper:");
    if (name == QLatin1String("media-source")) return PrinterPropertiesDialog::tr("Paper &source:");
    if (name == QLatin1String("sides")) return PrinterPropertiesDialog::tr("&Two-sided:");
    if (name == QLatin1String("print-color-mode")) return PrinterPropertiesDialog::tr("&Colour:");
    if (name == QLatin1String("print-quality")) return PrinterPropertiesDialog::tr("&Quality:");
    return name + QLatin1Char(':');
}

QString valueCaption(const printers::PrinterOption& option, const QString& value) {
    if (!value.isEmpty()) return value;
    if (option.name == QLatin1String("media"))
        return PrinterPropertiesDialog::tr("Each drawing's own paper");
    if (option.defaultChoice.isEmpty()) return PrinterPropertiesDialog::tr("Printer default");
    return PrinterPropertiesDialog::tr("Printer default (%1)").arg(option.defaultChoice);
}

}  // namespace

PrinterPropertiesDialog::PrinterPropertiesDialog(
    const QString& printerName, const std::vector<printers::PrinterOption>& options,
    const printers::PrinterChoices& kept, QWidget* parent)
    : QDialog(parent), rows_(printers::choiceRows(options, kept)) {
    setObjectName(QStringLiteral("dlgPrinterProperties"));
    setWindowTitle(tr("Properties of %1").arg(printerName));
    auto* form = new QFormLayout;
    for (const printers::ChoiceRow& row : rows_) {
        auto* box = new QComboBox(this);
        box->setObjectName(row.option.name);
        for (const QString& value : row.values)
            box->addItem(valueCaption(row.option, value), value);
        box->setCurrentIndex(row.selected);
        form->addRow(optionCaption(row.option.name), box);
        boxes_.push_back(box);
    }
    auto* layout = new QVBoxLayout(this);
    if (rows_.empty()) layout->addWidget(new QLabel(tr("This printer offers no options."), this));
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

printers::PrinterChoices PrinterPropertiesDialog::choices() const {
    std::vector<printers::ChoiceRow> rows = rows_;
    for (size_t i = 0; i < rows.size(); ++i) rows[i].selected = boxes_[i]->currentIndex();
    return printers::rowChoices(rows);
}

}  // namespace pbp
