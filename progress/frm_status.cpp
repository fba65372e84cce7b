#include "progress/frm_status.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "progress/progress_box.h"
#include "progress/twips.h"
#include "support/design_font.h"
#include "support/platform.h"
#include "support/vb_error.h"

namespace pbp {

namespace {
// Room a title bar takes beside its title: the window's icon, up to three buttons, padding.
constexpr int kTitleBarExtras = 120;
constexpr int kMargin = 8;

// Input the status window keeps from every other window while it is shown.
bool isUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return event.isInputEvent();
    }
}

// The first and last characters of the text, `keep` in all, joined by an ellipsis.
QString middleKept(const QString& text, qsizetype keep) {
    return text.left(keep - keep / 2) + QChar(0x2026) + text.right(keep / 2);
}

// The step's text as it fits the label's lines: a text too long loses characters from its
// middle (the folders of a path), so its start and its "(i of n)" stay in view.
QString fittedText(const QLabel& label, const QString& text) {
    const QRect box = label.contentsRect();
    const QFontMetrics metrics = label.fontMetrics();
    const auto fits = [&](const QString& candidate) {
        const QRect needed = metrics.boundingRect(box, Qt::TextWordWrap, candidate);
        return needed.height() <= box.height() && needed.width() <= box.width();
    };
    if (fits(text)) return text;
    qsizetype low = 0;
    qsizetype high = text.size() - 1;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(middleKept(text, mid)))
            low = mid;
        else
            high = mid - 1;
    }
    return middleKept(text, low);
}
}  // namespace

frmStatus::frmStatus(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmStatus"));
    setFont(DesignFont());
    setWindowTitle(tr("PlenPrint - Batch Printing Status"));
    setModal(false);
    // Wide enough for the whole title in the title bar, whose font is the desktop's: measured
    // as the application's font in bold.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int width = std::max(
        toPixels(4575), QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarExtras);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    placeInTwips(*lblStatus, {120, 120, 4335, 615});
    lblStatus->resize(width - 2 * kMargin, lblStatus->height());
    lblStatus->setWordWrap(true);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    picStatus = new ProgressBox(this);
    picStatus->setObjectName(QStringLiteral("picStatus"));
    picStatus->setAccessibleName(tr("Progress"));
    placeInTwips(*picStatus, {120, 840, 4335, 255});
    picStatus->resize(width - 2 * kMargin, picStatus->height());

    cmdCancel = new QPushButton(tr("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Below the bar at the right, at least as large as the style wants it.
    const QSize button = QSize(toPixels(1215), toPixels(375)).expandedTo(cmdCancel->sizeHint());
    cmdCancel->setGeometry(width - kMargin - button.width(), toPixels(1215), button.width(),
                           button.height());
    connect(cmdCancel, &QPushButton::clicked, this, &frmStatus::askToCancel);
    setFixedSize(width, cmdCancel->geometry().bottom() + 1 + kMargin);
}

frmStatus::~frmStatus() {
    qApp->removeEventFilter(this);
}

void frmStatus::Display() {
    m_oProgress = std::make_unique<CProgress>();
    m_oProgress->Canvas(picStatus);
    m_oProgress->Min(0);
    m_oProgress->Max(100);
    qApp->installEventFilter(this);
    picStatus->setRange(m_oProgress->Min(), m_oProgress->Max());
    show();
    paintNow();
}

void frmStatus::askToCancel() {
    if (m_bCancelled || m_bAsking) return;
    m_bAsking = true;
    const auto answer = QMessageBox::question(
        this, windowTitle(),
        tr("Cancel the print run?\n\nDrawings already sent to the printer stay in "
           "its queue; the others are not printed."),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    m_bAsking = false;
    if (answer != QMessageBox::Yes) return;
    m_bCancelled = true;
    cmdCancel->setEnabled(false);
    lblStatus->setText(tr("Cancelling the run..."));
    emit cancelRequested();
}

void frmStatus::closeEvent(QCloseEvent* event) {
    event->ignore();
    askToCancel();
}

bool frmStatus::eventFilter(QObject* watched, QEvent* event) {
    // A window's own events go on to its widgets, which are judged here in turn.
    if (watched->isWindowType() || !isUserInput(*event)) return false;
    for (const QObject* object = watched; object; object = object->parent())
        if (object == this) return false;
    return true;
}

void frmStatus::Value(const QString& sDescription, qint32 lNewValue) {
    if (!m_oProgress) throw ObjectNotSetError();
    lblStatus->setText(fittedText(*lblStatus, sDescription));
    lblStatus->setToolTip(sDescription);
    if (isHeadless() && sDescription != m_sLastWritten) {
        std::fprintf(stderr, "%s\n", sDescription.toUtf8().constData());
        std::fflush(stderr);
        m_sLastWritten = sDescription;
    }
    m_oProgress->Value(lNewValue);
    picStatus->setValue(m_oProgress->Value());
    paintNow();
}

// The print run holds the thread, so the window would neither appear nor change until the run
// ends. Letting events through here shows the progress, and the batch window's status column,
// as they happen, and lets the user cancel; input for other windows is dropped (eventFilter),
// so nothing the user does there runs in the middle of a drawing. With no display nobody can
// see the window: its text goes to standard error instead, and painting it would only cost time.
void frmStatus::paintNow() {
    if (!isVisible() || isHeadless()) return;
    repaint();
    QCoreApplication::processEvents();
}

}  // namespace pbp
