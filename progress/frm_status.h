#pragma once

#include <QDialog>
#include <memory>

#include "progress/c_progress.h"

class QLabel;

namespace pbp {

class ProgressBox;

// The small status window of a print run: the current step's text and a segmented progress
// bar. Owned by the batch window, not modal; the print run deletes it when its loop ends.
class frmStatus : public QDialog {
    Q_OBJECT
  public:
    explicit frmStatus(QWidget* owner);
    ~frmStatus() override;

    // Creates the progress bar on its canvas (range 0 to 100) and shows the window, not modal.
    void Display();
    // Shows the step's text, then moves the bar. Without a display the text also goes to
    // standard error whenever it changes.
    void Value(const QString& sDescription, qint32 lNewValue);

    CProgress* progress() const { return m_oProgress.get(); }

  public slots:
    // Esc does not close the window while the run goes on.
    void reject() override {}

  private:
    void paintNow();

    QLabel* lblStatus;
    ProgressBox* picStatus;
    std::unique_ptr<CProgress> m_oProgress;
    QString m_sLastWritten;
};

}  // namespace pbp
