#include "printing/engine/engine_application.h"

#include "printing/engine/drawing_printer.h"
#include "printing/engine/engine_errors.h"
#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

namespace {

// PaperKind values of Letter, Tabloid, Legal, A3, A4 and A5.
constexpr int kCommonPaperKinds[] = {1, 3, 5, 8, 9, 11};

[[noreturn]] void engineEnded() {
    throw VbError(engine_error::kObjectClosed, QStringLiteral("The drawing engine has ended."));
}

class EngineSettings : public ApplicationSettings {
  public:
    qint16 ShowFileOpenWarnings() const override { return value_; }
    void SetShowFileOpenWarnings(qint16 value) override { value_ = value; }

  private:
    qint16 value_ = -1;
};

}  // namespace

std::optional<PlanOptions> printPlanFor(printers::PrinterSystem& printers, const PrintHint& hint,
                                        const std::vector<QPageSize>& papers) {
    if (hint.copies < 0 || !printers.printerNames().contains(hint.printerName)) return std::nullopt;
    PlanOptions plan =
        printerPlanOptions(printers, hint.printerName, hint.copies, hint.collate, papers);
    plan.toPage = hint.firstPageOnly ? 1 : kLastPage;
    plan.turnLandscapeShapedPages = hint.landscapeShapedPagesTurned;
    return plan;
}

namespace {

class EngineDocuments : public Documents {
  public:
    explicit EngineDocuments(std::shared_ptr<EngineState> state) : state_(std::move(state)) {}

    void WillPrint(const PrintHint& hint) override {
        if (state_->ended) engineEnded();
        // The papers drawings are usually set up for: a drawing on another paper that the
        // printer offers is painted again when it prints.
        std::vector<QPageSize> papers;
        for (const int kind : kCommonPaperKinds) papers.push_back(*paperForKind(kind));
        state_->printPlan = printPlanFor(state_->printers, hint, papers);
    }

    void WillOpen(const QStringList& paths) override {
        if (state_->ended) engineEnded();
        state_->workers.expect(paths, state_->printPlan);
    }

    std::shared_ptr<Document> Open(const QString& path) override {
        if (state_->ended) engineEnded();
        auto document = std::make_shared<EngineDocument>(state_, path, state_->workers.open(path));
        state_->openDocuments.push_back(document);
        return document;
    }

  private:
    std::shared_ptr<EngineState> state_;
};

}  // namespace

EngineApplication::EngineApplication(printers::PrinterSystem& printers, WorkerSettings workers)
    : state_(std::make_shared<EngineState>(printers, std::move(workers))),
      settings_(std::make_shared<EngineSettings>()) {}

EngineApplication::~EngineApplication() {
    state_->endAll();
}

std::shared_ptr<visio::Documents> EngineApplication::Documents() {
    if (state_->ended) engineEnded();
    return std::make_shared<EngineDocuments>(state_);
}

std::shared_ptr<Document> EngineApplication::ActiveDocument() {
    if (state_->ended) engineEnded();
    if (state_->openDocuments.empty())
        throw VbError(engine_error::kObjectClosed, QStringLiteral("No drawing is open."));
    return state_->openDocuments.back();
}

void EngineApplication::Quit() {
    state_->endAll();
    state_->ended = true;
}

}  // namespace pbp::visio
