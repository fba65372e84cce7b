#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "batch_window/accessible_group.h"
#include "batch_window/classic_frame.h"
#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/printer_properties_dialog.h"
#include "printing/printers/printer_system.h"
#include "printing/run/kept_printer_choices.h"
#include "printing/run/print_services.h"
#include "printing/run/summary_page.h"
#include "progress/twips.h"
#include "support/error_handling.h"
#include "support/mod_registry_api.h"
#include "support/platform.h"
#include "support/settings_store.h"

namespace pbp {

namespace {
const QString kCopiesKeys = QStringLiteral("1234567890\b");

template <class Widget>
Widget* makeControl(QWidget* parent, const char* name, TwipsRect geometry) {
    auto* control = new Widget(parent);
    control->setObjectName(QLatin1String(name));
    placeInTwips(*control, geometry);
    return control;
}

// Labels show their text from their top edge and lie beneath the other controls, as the
// design's labels do (the Copies label's box reaches under the copies box).
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, TwipsRect geometry,
                  QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setBuddy(buddy);
    placeCaptionInTwips(*label, geometry);
    label->lower();
    return label;
}

template <class Button>
Button* makeCaptioned(QWidget* parent, const char* name, const QString& caption,
                      TwipsRect geometry) {
    auto* button = new Button(caption, parent);
    button->setObjectName(QLatin1String(name));
    placeCaptionInTwips(*button, geometry);
    return button;
}

// What people see of a printer beside its queue name: description and location, state, and
// whether it is the system's default.
QString printerTip(const QString& name, const printers::PrinterDescription& about, bool isDefault) {
    QStringList lines{name};
    QStringList what;
    if (!about.description.isEmpty()) what << about.description;
    if (!about.location.isEmpty()) what << about.location;
    if (!what.isEmpty()) lines << what.join(QStringLiteral(" \u2013 "));
    if (!about.state.isEmpty()) lines << about.state;
    if (isDefault) lines << frmPlenPrintBatch::tr("System default printer");
    return lines.join(u'\n');
}
}  // namespace

void frmPlenPrintBatch::createPrintOptionControls() {
    fraPrintOptions_ = makeControl<ClassicFrame>(this, "fraPrintOptions", {120, 2880, 7695, 1695});
    fraPrintOptions_->setTitle(tr("Print Options"));
    cboSelectedPrinter_ =
        makeControl<QComboBox>(fraPrintOptions_, "cboSelectedPrinter", {120, 480, 6135, 315});
    cmdPrinterProperties_ = makeCaptioned<QPushButton>(
        fraPrintOptions_, "cmdPrinterProperties", tr("Propert&ies\u2026"), {6360, 460, 1215, 355});
    lblSelectedPrinter_ = makeLabel(fraPrintOptions_, "lblSelectedPrinter", tr("&Target Printer"),
                                    {120, 240, 1935, 240}, cboSelectedPrinter_);
    txtCopies_ = makeControl<QLineEdit>(fraPrintOptions_, "txtCopies", {6240, 840, 1335, 285});
    lblCopies_ =
        makeLabel(fraPrintOptions_, "lblCopies", tr("C&opies"), {5520, 885, 855, 375}, txtCopies_);
    txtCopies_->setAlignment(Qt::AlignRight);
    txtCopies_->setMaxLength(3);
    txtCopies_->setToolTip(tr("Copies of each drawing, 1 to 999"));
    txtCopies_->setText(QStringLiteral("1"));
    txtCopies_->installEventFilter(this);
    chkPrintSummaryPage_ = makeCaptioned<QCheckBox>(
        fraPrintOptions_, "chkPrintSummaryPage", tr("Print &Summary Page"), {2160, 840, 3135, 375});
    txtPrintSummaryHeader_ =
        makeControl<QLineEdit>(fraPrintOptions_, "txtPrintSummaryHeader", {3000, 1200, 4575, 285});
    lblPrintSummaryHeader_ = makeLabel(fraPrintOptions_, "lblPrintSummaryHeader", tr("H&eader:"),
                                       {2280, 1250, 1215, 255}, txtPrintSummaryHeader_);
    txtPrintSummaryHeader_->setText(kDefaultSummaryHeader);
    txtPrintSummaryHeader_->setEnabled(false);

    picPrintOptions_ = makeControl<QWidget>(this, "picPrintOptions", {240, 3720, 1935, 735});
    MakeNamedGroup(*picPrintOptions_, tr("Pages to print"));
    optPrintPageOption_[0] = makeCaptioned<QRadioButton>(
        picPrintOptions_, "optPrintPageOption_0", tr("Print first page o&nly"), {0, 0, 1935, 375});
    optPrintPageOption_[1] = makeCaptioned<QRadioButton>(
        picPrintOptions_, "optPrintPageOption_1", tr("Print a&ll pages"), {0, 360, 2055, 375});
    optPrintPageOption_[1]->setChecked(true);
    picPrintOptions_->resize(std::max({picPrintOptions_->width(), optPrintPageOption_[0]->width(),
                                       optPrintPageOption_[1]->width()}),
                             picPrintOptions_->height());
    picPrintOptions_->raise();

    connect(cboSelectedPrinter_, &QComboBox::activated, this, [this] {
        Guarded(kBatchWindowModule, QStringLiteral("cboSelectedPrinter_Click"),
                [&] { cboSelectedPrinter_Click(); });
    });
    connect(cmdPrinterProperties_, &QPushButton::clicked, this, [this] {
        Guarded(kBatchWindowModule, QStringLiteral("cmdPrinterProperties_Click"),
                [&] { cmdPrinterProperties_Click(); });
    });
    connect(chkPrintSummaryPage_, &QCheckBox::toggled, this, [this] {
        Guarded(kBatchWindowModule, QStringLiteral("chkPrintSummaryPage_Click"),
                [&] { chkPrintSummaryPage_Click(); });
    });
    connect(txtCopies_, &QLineEdit::textChanged, this, [this] {
        Guarded(kBatchWindowModule, QStringLiteral("txtCopies_Change"),
                [&] { RefreshPrintState(); });
    });
}

// The installed printers, sorted, and the first selection: the printer asked for, else the
// default printer, else the first entry.
void frmPlenPrintBatch::fillPrinterList(const QString& asked) {
    QStringList names = printServices().printers->printerNames();
    std::sort(names.begin(), names.end());
    {
        const QSignalBlocker quiet(cboSelectedPrinter_);
        cboSelectedPrinter_->clear();
        cboSelectedPrinter_->addItems(names);
        cboSelectedPrinter_->setCurrentIndex(-1);
    }
    describePrinters();
    QString candidate = asked;
    if (candidate.isEmpty()) {
        IgnoringErrors([&] {
            candidate = printServices().printers->defaultPrinter();
            candidate.remove(QStringLiteral("\r\n"));
            candidate.remove(QLatin1Char('\r'));
        });
    }
    if (cboSelectedPrinter_->count() == 0) return;
    if (candidate.isEmpty()) {
        selectPrinterIndex(0);
        return;
    }
    const int match = int(names.indexOf(candidate));
    if (match >= 0) selectPrinterIndex(match);
}

// Each entry keeps its queue name as its text (the choice is stored by it); its tooltip tells
// the description, location and state, the system default is bold, and a printer that is
// stopped or refuses jobs carries a warning sign.
void frmPlenPrintBatch::describePrinters() {
    QString defaultName;
    IgnoringErrors([&] { defaultName = printServices().printers->defaultPrinter(); });
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int i = 0; i < cboSelectedPrinter_->count(); ++i) {
        const QString name = cboSelectedPrinter_->itemText(i);
        printers::PrinterDescription about;
        IgnoringErrors([&] { about = printServices().printers->describe(name); });
        const bool isDefault = name == defaultName;
        cboSelectedPrinter_->setItemData(i, printerTip(name, about, isDefault), Qt::ToolTipRole);
        if (isDefault) {
            QFont bold = cboSelectedPrinter_->font();
            bold.setBold(true);
            cboSelectedPrinter_->setItemData(i, bold, Qt::FontRole);
        }
        if (!about.ready) cboSelectedPrinter_->setItemIcon(i, warning);
    }
}

// Selecting by program raises the same handler as a user's choice.
void frmPlenPrintBatch::selectPrinterIndex(int index) {
    {
        const QSignalBlocker quiet(cboSelectedPrinter_);
        cboSelectedPrinter_->setCurrentIndex(index);
    }
    cboSelectedPrinter_Click();
}

void frmPlenPrintBatch::LoadDefaultPrinter() {
    EnsureRegistryValue(HKEY_CURRENT_USER, kProgramSettingsKey, kDefaultPrinterValue, QString());
    const QString saved = RememberedPrinter();
    for (int i = 0; i < cboSelectedPrinter_->count(); ++i) {
        if (cboSelectedPrinter_->itemText(i) == saved) {
            selectPrinterIndex(i);
            return;
        }
    }
}

// A damaged settings file is kept beside as "<file>.damaged" and reported once; the window
// then goes on with defaults and saves a sound file again.
void frmPlenPrintBatch::setAsideDamagedSettings() {
    if (const auto note = settingsStore().setAsideIfDamaged())
        platform().messages->show(platform().appTitle, *note, MessageIcon::Exclamation);
}

// The print options given on the command line replace the window's defaults.
void frmPlenPrintBatch::applyCommandLineOptions(const RunRequest& request) {
    if (request.copies) txtCopies_->setText(QString::number(*request.copies));
    if (request.firstPageOnly) optPrintPageOption_[0]->setChecked(true);
    if (request.summaryHeader) {
        chkPrintSummaryPage_->setChecked(true);
        if (!request.summaryHeader->isEmpty())
            txtPrintSummaryHeader_->setText(*request.summaryHeader);
    }
}

void frmPlenPrintBatch::SaveDefaultPrinter() {
    // An empty choice is stored as one space by the registry layer.
    WriteRegistryString(HKEY_CURRENT_USER, kProgramSettingsKey, kDefaultPrinterValue,
                        cboSelectedPrinter_->currentText());
}

void frmPlenPrintBatch::cboSelectedPrinter_Click() {
    cboSelectedPrinter_->setToolTip(cboSelectedPrinter_->currentData(Qt::ToolTipRole).toString());
    const QString printer = cboSelectedPrinter_->currentText();
    if (!printer.isEmpty()) cmdPrint_->setEnabled(fgListOfFiles_->rows() >= 2);
}

// Shows the selected printer's options as the print server reports them; OK keeps the choices
// for that printer, and every later job to it carries them.
void frmPlenPrintBatch::cmdPrinterProperties_Click() {
    const QString printer = cboSelectedPrinter_->currentText();
    if (printer.isEmpty()) return;
    PrinterPropertiesDialog dialog(printer, printServices().printers->options(printer),
                                   KeptPrinterChoices(printer), this);
    if (dialog.exec() != QDialog::Accepted) return;
    KeepPrinterChoices(printer, dialog.choices());
    printerChoicesChanged();
}

void frmPlenPrintBatch::chkPrintSummaryPage_Click() {
    txtPrintSummaryHeader_->setEnabled(chkPrintSummaryPage_->isChecked());
}

ushort frmPlenPrintBatch::txtCopies_KeyPress(ushort keyAscii) {
    return kCopiesKeys.contains(QChar(keyAscii)) ? keyAscii : 0;
}

// Typed printable characters of the copies box pass through txtCopies_KeyPress. Control keys
// (Enter, Esc, Tab, shortcuts such as Ctrl+V) are not typed characters and keep their meaning.
bool frmPlenPrintBatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmdPrint_ && event->type() == QEvent::EnabledChange) {
        explainPrintState();
        return false;
    }
    if (watched != txtCopies_ || event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    if (typed.size() != 1 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const ushort code = typed.at(0).unicode();
    if (code < 0x20 || code == 0x7f) return false;
    ushort result = code;
    Guarded(kBatchWindowModule, QStringLiteral("txtCopies_KeyPress"),
            [&] { result = txtCopies_KeyPress(code); });
    return result == 0;
}

}  // namespace pbp
