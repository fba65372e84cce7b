#pragma once

// The pieces a print-run test stands on: a batch window stand-in, printers "Office" (default)
// and "Plotter" that keep what they are given, a status window that records its texts, and a
// drawing engine that plays a script (which drawings open, their pages, which calls fail) and
// records every call so that tests can check what the print run asked for.

#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "printing/engine/print_orientation.h"
#include "printing/engine/visio.h"
#include "printing/run/batch_print_view.h"
#include "printing/run/print_services.h"
#include "tests/common/fake_platform.h"
#include "tests/common/fake_printers.h"
#include "tests/print_run/program_run.h"

namespace pbp::test {

struct ScriptedPage {
    qint16 background = 0;
    double width = 8.5;
    double height = 11;
    QString orientation = QStringLiteral("0");
};

struct ScriptedDrawing {
    std::vector<ScriptedPage> pages{ScriptedPage{}};
    std::optional<VbError> printError;
    std::optional<VbError> cellError;   // thrown by every page sheet's Cells
    std::optional<VbError> closeError;  // thrown by Close
};

// The script is the engine factory too: each engine it starts plays it.
struct EngineScript : visio::EngineFactory {
    std::unique_ptr<visio::Application> CreateObject(const QString& programId) override;

    std::map<QString, ScriptedDrawing> drawings;  // a path not listed fails to open
    bool failToStart = false, failToQuit = false, failToRestoreSettings = false;
    QStringList programIds;
    QStringList calls;  // "Open p", "Close p alert=7", "Quit"
    // One line per PrintOut: "path range from-to scale=.. printer toFile=.. 'outputFile' xcopies
    // collate=.. black=..".
    QStringList prints;
    qint16 alertResponse = 3, screenUpdating = -1, showFileOpenWarnings = 1;
};

// A page's sheet: its cells read the scripted page, and the orientation cell's formula can be
// changed.
class ScriptedSheet : public visio::Page,
                      public visio::Shape,
                      public std::enable_shared_from_this<ScriptedSheet> {
  public:
    ScriptedSheet(ScriptedPage& page, std::optional<VbError> cellError)
        : page_(page), cellError_(std::move(cellError)) {}
    qint16 Background() const override { return page_.background; }
    std::shared_ptr<visio::Shape> PageSheet() override { return shared_from_this(); }
    std::shared_ptr<visio::Cell> Cells(const QString& name) override {
        if (cellError_) throw *cellError_;
        return std::make_shared<Cell>(page_, name);
    }

  private:
    struct Cell : visio::Cell {
        Cell(ScriptedPage& scripted, QString cellName)
            : page(scripted), name(std::move(cellName)) {}
        QString Formula() const override { return page.orientation; }
        void SetFormula(const QString& formula) override { page.orientation = formula; }
        double ResultIU() const override {
            if (name == QLatin1String("PrintPageOrientation"))
                return double(visio::parsePrintOrientation(page.orientation));
            return name == QLatin1String("PageWidth") ? page.width : page.height;
        }
        ScriptedPage& page;
        QString name;
    };
    ScriptedPage& page_;
    std::optional<VbError> cellError_;
};

// The application with its documents, settings and the one open document in a single object;
// the parts are handed out as handles that do not own it. The open document is a copy of the
// scripted drawing: changes stay in it and vanish with it.
class ScriptedApplication : public visio::Application,
                            public visio::Documents,
                            public visio::ApplicationSettings,
                            public visio::Document,
                            public visio::Pages {
  public:
    explicit ScriptedApplication(EngineScript& script) : script_(script) {}
    qint32 WindowHandle32() const override { return 0; }
    std::shared_ptr<visio::Documents> Documents() override { return part<visio::Documents>(); }
    std::shared_ptr<visio::Document> Open(const QString& path) override {
        script_.calls << QStringLiteral("Open %1").arg(path);
        const auto found = script_.drawings.find(path);
        if (found == script_.drawings.end())
            throw VbError(-2032465766, QStringLiteral("File not found: ") + path);
        path_ = path;
        open_ = found->second;
        return part<visio::Document>();
    }
    std::shared_ptr<visio::Document> ActiveDocument() override {
        if (!open_) throw VbError(-1, QStringLiteral("No document is open"));
        return part<visio::Document>();
    }
    std::shared_ptr<visio::Pages> Pages() override { return part<visio::Pages>(); }
    int Count() const override { return static_cast<int>(open_->pages.size()); }
    std::shared_ptr<visio::Page> Item(int index) override {
        return std::make_shared<ScriptedSheet>(open_->pages.at(index - 1), open_->cellError);
    }
    void PrintOut(qint16 range, qint16 from, qint16 to, bool scale, const QString& printer,
                  bool toFile, const QString& outputFile, qint16 copies, bool collate,
                  bool colorAsBlack) override {
        if (open_->printError) throw *open_->printError;
        script_.prints << QString::asprintf(
            "%s %d %d-%d scale=%d %s toFile=%d '%s' x%d collate=%d black=%d", qUtf8Printable(path_),
            range, from, to, scale, qUtf8Printable(printer), toFile, qUtf8Printable(outputFile),
            copies, collate, colorAsBlack);
    }
    void Close() override {
        script_.calls << QStringLiteral("Close %1 alert=%2").arg(path_).arg(script_.alertResponse);
        if (open_->closeError) throw *open_->closeError;
    }
    qint16 AlertResponse() const override { return script_.alertResponse; }
    void SetAlertResponse(qint16 response) override { script_.alertResponse = response; }
    qint16 ScreenUpdating() const override { return script_.screenUpdating; }
    void SetScreenUpdating(qint16 value) override { restore(script_.screenUpdating, value); }
    std::shared_ptr<visio::ApplicationSettings> Settings() override {
        return part<visio::ApplicationSettings>();
    }
    qint16 ShowFileOpenWarnings() const override { return script_.showFileOpenWarnings; }
    void SetShowFileOpenWarnings(qint16 value) override {
        restore(script_.showFileOpenWarnings, value);
    }
    void Quit() override {
        script_.calls << QStringLiteral("Quit");
        if (script_.failToQuit) throw VbError(-1, QStringLiteral("engine gone"));
    }

  private:
    template <class Part>
    std::shared_ptr<Part> part() {
        return std::shared_ptr<Part>(std::shared_ptr<void>(), this);
    }
    // Switching a setting off always works; switching it back on fails when scripted so.
    void restore(qint16& setting, qint16 value) {
        if (script_.failToRestoreSettings && value != 0)
            throw VbError(-1, QStringLiteral("engine gone"));
        setting = value;
    }
    EngineScript& script_;
    QString path_;
    std::optional<ScriptedDrawing> open_;
};

inline std::unique_ptr<visio::Application> EngineScript::CreateObject(const QString& programId) {
    programIds << programId;
    if (failToStart) return nullptr;
    return std::make_unique<ScriptedApplication>(*this);
}

// Records "Display", every step text with its value, and "Unload" when destroyed.
class RecordingStatusWindow : public StatusWindow {
  public:
    explicit RecordingStatusWindow(std::vector<std::pair<QString, qint32>>& events)
        : events_(events) {}
    ~RecordingStatusWindow() override { events_.emplace_back(QStringLiteral("Unload"), -1); }
    void Display() override { events_.emplace_back(QStringLiteral("Display"), -1); }
    void Value(const QString& text, qint32 value) override { events_.emplace_back(text, value); }

  private:
    std::vector<std::pair<QString, qint32>>& events_;
};

class FakeView : public BatchPrintView {
  public:
    QStringList paths, statuses;
    QString copies = QStringLiteral("1"), printer = QStringLiteral("Office");
    QString header = QStringLiteral("Batch of today");
    bool firstOnly = false, summary = false;
    std::vector<bool> buttonStates;
    std::vector<std::pair<QString, qint32>> statusEvents;  // of every status window it opened

    void add(const QString& path) {
        paths << path;
        statuses << QString();
    }
    int rowCount() const override { return static_cast<int>(paths.size()) + 1; }
    QString cellText(int row, int column) const override {
        return column == 0 ? paths.at(row - 1) : statuses.at(row - 1);
    }
    void setOutcome(int row, const EntryOutcome& outcome) override {
        statuses[row - 1] = StatusText(outcome);
    }
    QString copiesText() const override { return copies; }
    bool copiesLeftToPrinter() const override { return false; }
    QString printerText() const override { return printer; }
    bool firstPageOnly() const override { return firstOnly; }
    bool summaryPageChecked() const override { return summary; }
    QString summaryHeader() const override { return header; }
    void setPrintAndCloseEnabled(bool enabled) override { buttonStates.push_back(enabled); }
    std::unique_ptr<StatusWindow> openStatusWindow() override {
        return std::make_unique<RecordingStatusWindow>(statusEvents);
    }
};

// The text of a printed document (pages end in form feeds), ligatures turned back into letters.
inline QString textOf(const printers::PrintJob& job) {
    return toolOutput(QStringLiteral("pdftotext"), {"-layout", "-", "-"}, job.pdf)
        .normalized(QString::NormalizationForm_KC);
}

// Installs the fake platform with the scripted engine and the fake printers for the life of a
// test; the view's status windows record into `status`.
class RunFixture {
  public:
    RunFixture() {
        printers.names = {QStringLiteral("Office"), QStringLiteral("Plotter")};
        printers.defaultName = QStringLiteral("Office");
    }

    // A drawing that opens and prints, listed in the view.
    ScriptedDrawing& addDrawing(const QString& path) {
        view.add(path);
        return script.drawings[path];
    }

    ScopedFakePlatform fake;
    EngineScript script;
    FakePrinters printers;
    ScopedPrintServices services{{&printers, &script}};
    FakeView view;
    std::vector<std::pair<QString, qint32>>& status = view.statusEvents;
};

}  // namespace pbp::test
