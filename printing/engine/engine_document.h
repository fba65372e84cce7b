#pragma once

#include <memory>
#include <vector>

#include "printing/engine/drawing_file.h"
#include "printing/engine/remembered_printers.h"
#include "printing/engine/visio.h"
#include "printing/engine/worker_pool.h"

namespace pbp::visio {

class EngineDocument;

// What the application, its document collection and its documents share.
struct EngineState {
    EngineState(printers::PrinterSystem& printerSystem, WorkerSettings settings)
        : printers(printerSystem), workers(std::move(settings)) {}
    RememberedPrinters printers;
    std::vector<std::shared_ptr<EngineDocument>> openDocuments;  // in the order opened
    bool ended = false;
    WorkerPool workers;                    // read the drawings and paint their sheets
    std::optional<PlanOptions> printPlan;  // from the last print hint

    // Closes every document and ends the workers.
    void endAll();
};

// An opened drawing, held by a worker. Changes to cells live in this copy only and go to the
// worker with each print; the file is never written.
class EngineDocument : public Document, public std::enable_shared_from_this<EngineDocument> {
  public:
    EngineDocument(std::shared_ptr<EngineState> state, QString path, WorkerPool::Opened opened);

    std::shared_ptr<visio::Pages> Pages() override;
    void PrintOut(qint16 printRange, qint16 fromPage, qint16 toPage, bool scaleCurrentViewToPaper,
                  const QString& printerName, bool printToFile, const QString& outputFileName,
                  qint16 copies, bool collate, bool colorAsBlack) override;
    void Close() override;
    QStringList UndrawnNotes() const override { return notes_; }

    // The page at a 0-based index; throws when the document is closed or has no such page.
    DrawingPage& page(int index);
    int pageCount();
    // Marks the document closed without touching the engine's list (the engine is ending).
    void release();

  private:
    void ensureOpen() const;

    std::shared_ptr<EngineState> state_;
    QString path_;
    quint64 ticket_;
    std::vector<DrawingPage> pages_;
    QStringList notes_;
    bool open_ = true;
};

}  // namespace pbp::visio
