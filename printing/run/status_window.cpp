#include "printing/run/status_window.h"

#include <QPointer>

#include "progress/frm_status.h"

namespace pbp {

namespace {
// The program's status window; destroying this unloads it.
class ProgramStatusWindow : public StatusWindow {
  public:
    explicit ProgramStatusWindow(QWidget* owner) : window_(new frmStatus(owner)) {}
    ~ProgramStatusWindow() override { delete window_.data(); }
    void Display() override { window_->Display(); }
    void Value(const QString& sDescription, qint32 lNewValue) override {
        window_->Value(sDescription, lNewValue);
    }

  private:
    // Guarded: the owner window may delete it first.
    QPointer<frmStatus> window_;
};

StatusWindowFactory& factoryOverride() {
    static StatusWindowFactory factory;
    return factory;
}
}  // namespace

std::unique_ptr<StatusWindow> CreateStatusWindow(QWidget* owner) {
    if (factoryOverride()) return factoryOverride()(owner);
    return std::make_unique<ProgramStatusWindow>(owner);
}

void SetStatusWindowFactory(StatusWindowFactory factory) {
    factoryOverride() = std::move(factory);
}

}  // namespace pbp
