#include "batch_window/sheet_preview_pane.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace pbp {

namespace {

constexpr int kPaperGap = 8;  // pixels between the paper outline and the pane's edge

}  // namespace

QString describeSheet(const visio::PlannedSheet& sheet) {
    const QString orientation =
        sheet.landscape ? SheetPreviewPane::tr("landscape") : SheetPreviewPane::tr("portrait");
    QString text = SheetPreviewPane::tr("%1, %2, %3 %")
                       .arg(sheet.paper.name(), orientation)
                       .arg(int(std::lround(sheet.scale * 100)));
    if (!sheet.pageName.isEmpty()) text += QStringLiteral(", ") + sheet.pageName;
    return text;
}

SheetPreviewPane::SheetPreviewPane(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("picPreview"));
    setAccessibleName(tr("Preview of the selected drawing"));
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::ClickFocus);
    lblPreviewPage_ = new QLabel(this);
    lblPreviewPage_->setObjectName(QStringLiteral("lblPreviewPage"));
    lblPreviewSheet_ = new QLabel(this);
    lblPreviewSheet_->setObjectName(QStringLiteral("lblPreviewSheet"));
    lblPreviewSheet_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPreviewPage_);
    layout->addStretch(1);
    layout->addWidget(lblPreviewSheet_);
    showMessage(tr("No drawing is selected."));
}

void SheetPreviewPane::showSheets(const visio::SheetPreview& preview, const QImage& picture) {
    preview_ = preview;
    picture_ = picture;
    message_.clear();
    const int count = int(preview.plan.sheets().size());
    lblPreviewPage_->setText(tr("Page %1 of %2").arg(preview.shown + 1).arg(count));
    lblPreviewSheet_->setText(preview.shown >= 0 && preview.shown < count
                                  ? describeSheet(preview.plan.sheets()[size_t(preview.shown)])
                                  : QString());
    update();
}

void SheetPreviewPane::showMessage(const QString& text) {
    preview_ = {};
    picture_ = {};
    message_ = text;
    lblPreviewPage_->clear();
    lblPreviewSheet_->clear();
    update();
}

QRect SheetPreviewPane::pictureArea() const {
    const int top = lblPreviewPage_->geometry().bottom() + kPaperGap;
    const int bottom = lblPreviewSheet_->geometry().top() - kPaperGap;
    return QRect(kPaperGap, top, width() - 2 * kPaperGap, std::max(0, bottom - top));
}

int SheetPreviewPane::wantedLongEdge() const {
    return std::clamp(int(std::max(width(), height()) * devicePixelRatioF()), 64, 2048);
}

void SheetPreviewPane::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = pictureArea();
    if (!message_.isEmpty() || picture_.isNull()) {
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, message_);
        return;
    }
    // The paper at the picture's shape, as large as the area allows, with its outline.
    const QSizeF paper = QSizeF(picture_.size()).scaled(area.size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(0, 0), paper);
    target.moveCenter(QRectF(area).center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(target.adjusted(-0.5, -0.5, 0.5, 0.5));
}

void SheetPreviewPane::turn(int step) {
    const int wanted = preview_.shown + step;
    if (wanted >= 0 && wanted < int(preview_.plan.sheets().size())) emit sheetWanted(wanted);
}

void SheetPreviewPane::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp) {
        turn(event->key() == Qt::Key_PageDown ? 1 : -1);
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void SheetPreviewPane::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QFrame::mousePressEvent(event);
}

}  // namespace pbp
