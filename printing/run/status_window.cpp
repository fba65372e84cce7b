#include "printing/run/status_window.h"

namespace pbp {

namespace {
// Stand-in until the program's status window is wired: shows nothing.
class SilentStatusWindow : public StatusWindow {
  public:
    void Display() override {}
    void Value(const QString&, qint32) override {}
};

StatusWindowFactory& factoryOverride() {
    static StatusWindowFactory factory;
    return factory;
}
}  // namespace

std::unique_ptr<StatusWindow> CreateStatusWindow(QWidget* owner) {
    if (factoryOverride()) return factoryOverride()(owner);
    return std::make_unique<SilentStatusWindow>();
}

void SetStatusWindowFactory(StatusWindowFactory factory) {
    factoryOverride() = std::move(factory);
}

}  // namespace pbp
