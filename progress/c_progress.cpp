#include "progress/c_progress.h"

#include <QGuiApplication>
#include <QPalette>
#include <cmath>

#include "progress/picture_box.h"
#include "support/error_handling.h"

namespace pbp {

namespace {

const QString kModule = QStringLiteral("CProgress");

// To the nearest whole number, a half going to the even neighbour.
qint32 nearest(double value) {
    return static_cast<qint32>(std::nearbyint(value));
}

PictureBox& canvasOf(PictureBox* canvas) {
    if (!canvas) throw ObjectNotSetError();
    return *canvas;
}

}  // namespace

CProgress::CProgress()
    : m_lForeColor(QGuiApplication::palette().color(QPalette::Highlight)),
      m_lBackColor(QGuiApplication::palette().color(QPalette::Button)) {}

CProgress::~CProgress() {
    QObject::disconnect(m_resizeConnection);
}

void CProgress::Canvas(PictureBox* oPicBox) {
    Guarded(kModule, QStringLiteral("Canvas"), [&] {
        QObject::disconnect(m_resizeConnection);
        m_oCanvas = oPicBox;
        PictureBox& canvas = canvasOf(m_oCanvas);
        canvas.setForeColor(m_lForeColor);
        canvas.setBackColor(m_lBackColor);
        m_resizeConnection =
            QObject::connect(&canvas, &PictureBox::resized, &canvas, [this] { ResizeEx(); });
        ResizeEx();
    });
}

void CProgress::Value(qint32 lNewValue) {
    m_lValue = std::clamp(lNewValue, m_lMin, m_lMax);
    RedrawMe();
}

void CProgress::Min(qint32 lNewMin) {
    if (lNewMin >= m_lMax) return;
    m_lMin = lNewMin;
    RedrawMe();
}

void CProgress::Max(qint32 lNewMax) {
    if (lNewMax <= m_lMin) return;
    m_lMax = lNewMax;
    RedrawMe();
}

void CProgress::ResizeEx() {
    if (m_bResizing) return;
    Guarded(kModule, QStringLiteral("ResizeEx"), [&] {
        PictureBox& canvas = canvasOf(m_oCanvas);
        CalcCellSize();
        const qint32 step = m_lCellWidth + m_lGap;
        qint32 wanted = m_lGap + m_lCellCount * step;
        const qint32 have = nearest(canvas.scaleWidth());
        const qint32 over = wanted - have;
        const qint32 under = have - (wanted - step);
        // At least as close to the width of one cell fewer: drop the extra cell.
        if (under <= over) {
            --m_lCellCount;
            wanted = m_lGap + m_lCellCount * step;
        }
        const qint32 border = nearest(canvas.widthTwips() - double(have) * kTwipsPerPixel);
        m_bResizing = true;
        canvas.setWidthTwips(wanted * kTwipsPerPixel + border);
        m_bResizing = false;
        RedrawMe();
    });
    m_bResizing = false;
}

void CProgress::CalcCellSize() {
    Guarded(kModule, QStringLiteral("CalcCellSize"), [&] {
        const PictureBox& canvas = canvasOf(m_oCanvas);
        m_lCellHeight = nearest(canvas.scaleHeight() - 2.0 * m_lMargin);
        m_lCellWidth = nearest(2.0 / 3.0 * m_lCellHeight);
        const qint32 step = m_lCellWidth + m_lGap;
        if (step <= 0) throw VbError(11, QStringLiteral("Division by zero"));
        m_lCellCount = nearest(canvas.scaleWidth()) / step + 1;
    });
}

void CProgress::RedrawMe() {
    Guarded(kModule, QStringLiteral("RedrawMe"), [&] {
        PictureBox& canvas = canvasOf(m_oCanvas);
        const qint32 filled = nearest(double(m_lValue - m_lMin) / (m_lMax - m_lMin) * m_lCellCount);
        qint32 x = m_lGap;
        for (qint32 k = 1; k <= m_lCellCount; ++k) {
            const QColor& color = k <= filled ? canvas.foreColor() : canvas.backColor();
            canvas.fillBox(QRect(x, m_lMargin, m_lCellWidth, m_lCellHeight), color);
            x += m_lCellWidth + m_lGap;
        }
    });
}

}  // namespace pbp
