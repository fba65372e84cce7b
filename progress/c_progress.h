#pragma once

#include <QColor>
#include <QMetaObject>

namespace pbp {

class PictureBox;

// A segmented progress bar: a row of equal cells drawn on a picture box, filled cells in the
// highlight colour and empty ones in the button-face colour. Sizes are in pixels.
class CProgress {
  public:
    CProgress();
    ~CProgress();
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // Takes the picture box as canvas (colours set, width fitted to whole cells, redrawn).
    void Canvas(PictureBox* oPicBox);
    // Stores the value clamped to [Min, Max] and redraws.
    void Value(qint32 lNewValue);
    qint32 Value() const { return m_lValue; }
    // Accepted only while Min stays below Max; otherwise ignored.
    void Min(qint32 lNewMin);
    qint32 Min() const { return m_lMin; }
    void Max(qint32 lNewMax);
    qint32 Max() const { return m_lMax; }

    void ResizeEx();
    void CalcCellSize();
    void RedrawMe();

    qint32 cellWidth() const { return m_lCellWidth; }
    qint32 cellHeight() const { return m_lCellHeight; }
    qint32 cellCount() const { return m_lCellCount; }
    qint32 gap() const { return m_lGap; }
    qint32 margin() const { return m_lMargin; }
    QColor foreColor() const { return m_lForeColor; }

  private:
    PictureBox* m_oCanvas = nullptr;
    qint32 m_lValue = 0;
    qint32 m_lMin = 0;
    qint32 m_lMax = 100;
    QColor m_lForeColor;
    QColor m_lBackColor;
    qint32 m_lCellWidth = 0;
    qint32 m_lCellHeight = 0;
    qint32 m_lGap = 3;
    qint32 m_lMargin = 2;
    qint32 m_lCellCount = 0;
    bool m_bResizing = false;
    QMetaObject::Connection m_resizeConnection;
};

}  // namespace pbp
