#pragma once

#include <memory>

#include "printing/engine/engine_document.h"
#include "printing/engine/visio.h"

namespace pbp::visio {

// How a drawing printed as the hint says is painted: the printer's default paper, those of
// `papers` it offers, copies, collating and pages. Nothing for an unknown printer.
std::optional<PlanOptions> printPlanFor(printers::PrinterSystem& printers, const PrintHint& hint,
                                        const std::vector<QPageSize>& papers);

// The engine's application object: opens drawings, keeps the stored settings, ends on Quit.
class EngineApplication : public Application {
  public:
    EngineApplication(printers::PrinterSystem& printers, WorkerSettings workers);
    ~EngineApplication() override;

    qint32 WindowHandle32() const override { return 0; }
    std::shared_ptr<visio::Documents> Documents() override;
    std::shared_ptr<Document> ActiveDocument() override;
    qint16 AlertResponse() const override { return alertResponse_; }
    void SetAlertResponse(qint16 response) override { alertResponse_ = response; }
    qint16 ScreenUpdating() const override { return screenUpdating_; }
    void SetScreenUpdating(qint16 value) override { screenUpdating_ = value; }
    std::shared_ptr<ApplicationSettings> Settings() override { return settings_; }
    void Quit() override;

  private:
    std::shared_ptr<EngineState> state_;
    std::shared_ptr<ApplicationSettings> settings_;
    qint16 alertResponse_ = 0;
    qint16 screenUpdating_ = -1;
};

}  // namespace pbp::visio
