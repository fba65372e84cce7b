#include "printing/engine/engine_document.h"

#include <algorithm>

#include "printing/engine/drawing_printer.h"
#include "printing/engine/engine_errors.h"
#include "printing/engine/page_cells.h"

namespace pbp::visio {

void EngineState::endAll() {
    workers.stop();
    for (const auto& document : openDocuments) document->release();
    openDocuments.clear();
}

namespace {

class EnginePages : public Pages {
  public:
    explicit EnginePages(std::shared_ptr<EngineDocument> document)
        : document_(std::move(document)) {}
    int Count() const override { return document_->pageCount(); }
    std::shared_ptr<Page> Item(int index) override {
        document_->page(index - 1);
        return makePage(document_, index - 1);
    }

  private:
    std::shared_ptr<EngineDocument> document_;
};

}  // namespace

EngineDocument::EngineDocument(std::shared_ptr<EngineState> state, QString path,
                               WorkerPool::Opened opened)
    : state_(std::move(state)),
      path_(std::move(path)),
      ticket_(opened.ticket),
      pages_(std::move(opened.pages)),
      notes_(std::move(opened.notes)) {}

void EngineDocument::ensureOpen() const {
    if (!open_)
        throw VbError(engine_error::kObjectClosed,
                      QStringLiteral("The drawing %1 is no longer open.").arg(quotedPath(path_)));
}

DrawingPage& EngineDocument::page(int index) {
    ensureOpen();
    if (index < 0 || index >= int(pages_.size()))
        throw VbError(engine_error::kOutOfRange,
                      QStringLiteral("%1 has no page %2.").arg(quotedPath(path_)).arg(index + 1));
    return pages_[size_t(index)];
}

int EngineDocument::pageCount() {
    ensureOpen();
    return int(pages_.size());
}

std::shared_ptr<visio::Pages> EngineDocument::Pages() {
    ensureOpen();
    return std::make_shared<EnginePages>(shared_from_this());
}

void EngineDocument::PrintOut(qint16 printRange, qint16 fromPage, qint16 toPage,
                              bool /*scaleCurrentViewToPaper*/, const QString& printerName,
                              bool printToFile, const QString& /*outputFileName*/, qint16 copies,
                              bool collate, bool /*colorAsBlack*/) {
    ensureOpen();
    if (printRange != visPrintFromTo)
        throw VbError(engine_error::kInvalidArgument,
                      QStringLiteral("Only a range from one page to another can be printed."));
    if (printToFile)
        throw VbError(
            engine_error::kInvalidArgument,
            QStringLiteral("Printing to a file is not supported; choose the PDF printer."));
    PrintRequest request;
    request.fromPage = fromPage;
    request.toPage = toPage;
    request.printerName = printerName;
    request.copies = copies;
    request.collate = collate;
    printDrawing(state_->printers, path_, pages_, request,
                 [&](const SheetPlan& plan) { return state_->workers.print(ticket_, plan); });
}

void EngineDocument::Close() {
    ensureOpen();
    release();
    state_->workers.close(ticket_);
    auto& open = state_->openDocuments;
    open.erase(std::remove(open.begin(), open.end(), shared_from_this()), open.end());
}

void EngineDocument::release() {
    open_ = false;
    pages_.clear();
}

}  // namespace pbp::visio
