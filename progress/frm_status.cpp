#include "progress/frm_status.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
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
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmStatus"));
    setFont(DesignFont());
    setWindowTitle(QStringLiteral("PlenPrint - Batch Printing Status"));
    setModal(false);
    // Wide enough for the whole title in the title bar, whose font is the desktop's: measured
    // as the application's font in bold.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int width = std::max(
        toPixels(4575), QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarExtras);
    setFixedSize(width, toPixels(1215));

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    placeInTwips(*lblStatus, {120, 120, 4335, 615});
    lblStatus->resize(width - 2 * kMargin, lblStatus->height());
    lblStatus->setWordWrap(true);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    picStatus = new ProgressBox(this);
    picStatus->setObjectName(QStringLiteral("picStatus"));
    picStatus->setAccessibleName(QStringLiteral("Progress"));
    placeInTwips(*picStatus, {120, 840, 4335, 255});
    picStatus->resize(width - 2 * kMargin, picStatus->height());
}

frmStatus::~frmStatus() = default;

void frmStatus::Display() {
    m_oProgress = std::make_unique<CProgress>();
    m_oProgress->Canvas(picStatus);
    m_oProgress->Min(0);
    m_oProgress->Max(100);
    picStatus->setRange(m_oProgress->Min(), m_oProgress->Max());
    show();
    paintNow();
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
// ends. Letting the window system map and paint it here (user input stays queued, so nothing
// the user does runs in the middle of a drawing) shows the progress, and the batch window's
// status column, as they happen. With no display nobody can see the window: its text goes to
// standard error instead, and painting it would only cost time.
void frmStatus::paintNow() {
    if (!isVisible() || isHeadless()) return;
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace pbp
