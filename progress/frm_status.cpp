#include "progress/frm_status.h"

#include <QCoreApplication>
#include <QLabel>
#include <cstdio>

#include "progress/picture_box.h"
#include "progress/twips.h"
#include "support/design_font.h"
#include "support/platform.h"
#include "support/vb_error.h"

namespace pbp {

frmStatus::frmStatus(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmStatus"));
    setFont(DesignFont());
    setWindowTitle(QStringLiteral("PlenPrint - Batch Printing Status"));
    setModal(false);
    setFixedSize(toPixels(4575), toPixels(1215));

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    placeInTwips(*lblStatus, {120, 120, 4335, 615});
    lblStatus->setWordWrap(true);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    picStatus = new PictureBox(this);
    picStatus->setObjectName(QStringLiteral("picStatus"));
    placeInTwips(*picStatus, {120, 840, 4335, 255});
}

frmStatus::~frmStatus() = default;

void frmStatus::Display() {
    m_oProgress = std::make_unique<CProgress>();
    m_oProgress->Canvas(picStatus);
    m_oProgress->Min(0);
    m_oProgress->Max(100);
    show();
    paintNow();
}

void frmStatus::Value(const QString& sDescription, qint32 lNewValue) {
    if (!m_oProgress) throw ObjectNotSetError();
    lblStatus->setText(sDescription);
    if (isHeadless() && sDescription != m_sLastWritten) {
        std::fprintf(stderr, "%s\n", sDescription.toUtf8().constData());
        std::fflush(stderr);
        m_sLastWritten = sDescription;
    }
    m_oProgress->Value(lNewValue);
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
