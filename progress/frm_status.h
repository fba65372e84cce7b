#pragma once

#include <QDialog>
#include <memory>

#include "progress/c_progress.h"

class QLabel;
class QPushButton;

namespace pbp {

class ProgressBox;

// The small status window of a print run: the current step's text, a segmented progress bar and
// Cancel. Owned by the batch window, not modal; the print run deletes it when its loop ends.
// While it is shown it is the only window that takes input (see eventFilter).
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

  signals:
    // The user confirmed that the run is to be cancelled; sent once.
    void cancelRequested();

  public slots:
    // Asks once whether to cancel the run; Cancel, Esc, and closing this window or the batch
    // window during the run come here. Nothing more once the user has said yes.
    void askToCancel();
    // Esc asks to cancel rather than closing the window under the run.
    void reject() override { askToCancel(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Input for any other window is dropped: the run lets events through between its steps,
    // and a click or shortcut in the batch window would change the list under it.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void paintNow();

    QLabel* lblStatus;
    QPushButton* cmdCancel;
    bool m_bAsking = false;
    bool m_bCancelled = false;
    ProgressBox* picStatus;
    std::unique_ptr<CProgress> m_oProgress;
    QString m_sLastWritten;
};

}  // namespace pbp
