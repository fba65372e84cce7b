// The print run's per-entry path on any bytes: each entry's pages come from one of the page-table
// readers (matched with rendered pages as a worker does) or from a worker's Opened or Failed
// reply, read by the real protocol reader; the run turns its pages through the engine's page
// cells and prints them with the engine's print step, whose painting answers with a worker's
// Printed or Failed reply, or garbage. Whatever the bytes, every entry must get an outcome of its
// own and a report line of one line with its four fields at most: an error that escapes an entry is
// a finding.
//
// Input: one options byte (bit 0 first page only, bits 1-2 the printer, bits 3-4 the copies),
// then per entry an opening record and a printing record, each a kind byte, a 16-bit
// little-endian length and that many bytes (cut short at the end of the input).

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "printing/engine/drawing_printer.h"
#include "printing/engine/engine_document.h"
#include "printing/engine/engine_errors.h"
#include "printing/engine/page_table.h"
#include "printing/engine/worker_protocol.h"
#include "printing/run/batch_print_view.h"
#include "printing/run/print_documents.h"
#include "printing/run/print_services.h"
#include "printing/run/status_window.h"
#include "printing/run/visio_session.h"
#include "tests/common/fake_printers.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

using namespace pbp;
using namespace pbp::visio;

constexpr int kMaxEntries = 8;

struct Record {
    quint8 kind = 0;
    QByteArray body;
};

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(pbp::fuzz::bytes(data, size)) {}
    quint8 byte() { return at_ < bytes_.size() ? quint8(bytes_[at_++]) : 0; }
    Record record() {
        Record record;
        record.kind = byte();
        const int length = byte() | (byte() << 8);
        record.body = bytes_.mid(at_, length);
        at_ += record.body.size();
        return record;
    }

  private:
    QByteArray bytes_;
    qsizetype at_ = 0;
};

VbError readerFailed() {
    return VbError(kDrawingReaderFailed, QStringLiteral("the drawing reader answered nonsense"));
}

// An entry's pages as a worker would answer them; throws VbError as the engine's open does.
std::vector<DrawingPage> openedPages(const Record& record) {
    try {
        switch (record.kind % 5) {
            case 0:
            case 1:
            case 2: {
                const PageTable table = record.kind % 5 == 0   ? readVdxPageTable(record.body)
                                        : record.kind % 5 == 1 ? readVsdxPageTable(record.body)
                                                               : readVsdPageTable(record.body);
                std::vector<QSizeF> rendered;
                for (const PageTableEntry& entry : table)
                    rendered.emplace_back(entry.widthInches.value_or(8.5),
                                          entry.heightInches.value_or(11));
                std::vector<DrawingPage> pages = matchPages(table, rendered);
                if (pages.empty()) throw PageTableDamaged();
                return pages;
            }
            case 3:
                return worker::readOpened(record.body).pages;
            default: {
                const auto [number, description] = worker::readFailed(record.body);
                throw VbError(number, description);
            }
        }
    } catch (const PageTableDamaged&) {
        throw VbError(engine_error::kBadFormat, QStringLiteral("The drawing is damaged."));
    } catch (const worker::Garbage&) {
        throw readerFailed();
    }
}

// A worker's answer to a print order.
QByteArray printedPdf(const Record& record) {
    try {
        if (record.kind % 3 == 0) return worker::readPrinted(record.body);
        if (record.kind % 3 == 1) {
            const auto [number, description] = worker::readFailed(record.body);
            throw VbError(number, description);
        }
    } catch (const worker::Garbage&) {
    }
    throw readerFailed();
}

// The engine's document over the fuzzed pages (its pages and cells are the engine's own); its
// print step is the engine's, with the fuzzed reply as the worker's painting.
class FuzzDocument : public Document {
  public:
    FuzzDocument(std::shared_ptr<EngineDocument> document, RememberedPrinters& printers,
                 QString path, Record reply)
        : document_(std::move(document)),
          printers_(printers),
          path_(std::move(path)),
          reply_(std::move(reply)) {}
    std::shared_ptr<visio::Pages> Pages() override { return document_->Pages(); }
    void PrintOut(qint16, qint16 fromPage, qint16 toPage, bool, const QString& printerName, bool,
                  const QString&, qint16 copies, bool collate, bool) override {
        std::vector<DrawingPage> pages;
        for (int i = 0; i < document_->pageCount(); ++i) pages.push_back(document_->page(i));
        printDrawing(printers_, path_, pages,
                     {.fromPage = fromPage,
                      .toPage = toPage,
                      .printerName = printerName,
                      .copies = copies,
                      .collate = collate},
                     [&](const SheetPlan&) { return printedPdf(reply_); });
    }
    void Close() override { document_->Close(); }

  private:
    std::shared_ptr<EngineDocument> document_;
    RememberedPrinters& printers_;
    QString path_;
    Record reply_;
};

class FuzzApplication : public Application, public Documents, public ApplicationSettings {
  public:
    FuzzApplication(printers::PrinterSystem& printers, Input& input)
        : state_(std::make_shared<EngineState>(printers, WorkerSettings{})), input_(input) {}
    qint32 WindowHandle32() const override { return 0; }
    std::shared_ptr<visio::Documents> Documents() override { return part<visio::Documents>(); }
    std::shared_ptr<Document> Open(const QString& path) override {
        const Record opening = input_.record();
        const Record printing = input_.record();
        WorkerPool::Opened opened;
        opened.ticket = ++tickets_;
        opened.pages = openedPages(opening);
        auto engineDocument = std::make_shared<EngineDocument>(state_, path, std::move(opened));
        state_->openDocuments.push_back(engineDocument);
        active_ = std::make_shared<FuzzDocument>(engineDocument, state_->printers, path, printing);
        return active_;
    }
    std::shared_ptr<Document> ActiveDocument() override {
        if (!active_) throw VbError(engine_error::kObjectClosed, QStringLiteral("none open"));
        return active_;
    }
    qint16 AlertResponse() const override { return 0; }
    void SetAlertResponse(qint16) override {}
    qint16 ScreenUpdating() const override { return -1; }
    void SetScreenUpdating(qint16) override {}
    std::shared_ptr<ApplicationSettings> Settings() override { return part<ApplicationSettings>(); }
    qint16 ShowFileOpenWarnings() const override { return 0; }
    void SetShowFileOpenWarnings(qint16) override {}
    void Quit() override { state_->endAll(); }

  private:
    template <class Part>
    std::shared_ptr<Part> part() {
        return std::shared_ptr<Part>(std::shared_ptr<void>(), this);
    }
    std::shared_ptr<EngineState> state_;
    Input& input_;
    std::shared_ptr<Document> active_;
    quint64 tickets_ = 0;
};

class QuietStatus : public StatusWindow {
  public:
    void Display() override {}
    void Value(const QString&, qint32) override {}
};

class FuzzView : public BatchPrintView {
  public:
    FuzzView(quint8 options, int entries) : options_(options), entries_(entries) {}
    int rowCount() const override { return entries_ + 1; }
    QString cellText(int row, int column) const override {
        return column == 0 ? QStringLiteral("/fuzz/drawing %1.vdx").arg(row) : QString();
    }
    void setOutcome(int, const EntryOutcome&) override {}
    QString copiesText() const override {
        static const char* const copies[] = {"1", "3", "0", "x"};
        return QString::fromLatin1(copies[(options_ >> 3) & 3]);
    }
    QString printerText() const override {
        static const char* const names[] = {"Capture", "PlenBatchPrint PDF", "Nowhere", "Capture"};
        return QString::fromLatin1(names[(options_ >> 1) & 3]);
    }
    bool firstPageOnly() const override { return options_ & 1; }
    bool summaryPageChecked() const override { return false; }
    QString summaryHeader() const override { return {}; }
    void setPrintAndCloseEnabled(bool) override {}
    std::unique_ptr<StatusWindow> openStatusWindow() override {
        return std::make_unique<QuietStatus>();
    }

  private:
    quint8 options_;
    int entries_;
};

}  // namespace

PLEN_FUZZ_TARGET(print_run) {
    pbp::fuzz::prepare();
    Input input(data, size);
    const quint8 options = input.byte();
    pbp::test::FakePrinters printers;
    ScopedPrintServices services({&printers, nullptr});
    g_oVisioApp = std::make_unique<FuzzApplication>(printers, input);
    FuzzView view(options, kMaxEntries);
    const std::vector<EntryOutcome> outcomes = PrintDocuments(view);
    g_oVisioApp->Quit();
    g_oVisioApp.reset();
    if (outcomes.size() != size_t(kMaxEntries)) std::abort();
    for (const EntryOutcome& outcome : outcomes) {
        if (outcome.result == EntryResult::NotReached) std::abort();
        const QString line = ReportLine(outcome);
        if (std::any_of(line.begin(), line.end(), [](QChar c) { return c < u' ' && c != u'\t'; }))
            std::abort();
        if (line.count(u'\t') > 3) std::abort();
    }
    return 0;
}
