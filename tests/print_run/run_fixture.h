#pragma once

// The pieces a print-run test stands on: a batch window stand-in, printers "Office" (default)
// and "Plotter" that keep what they are given, a status window that records its texts, and the
// scripted engine installed.

#include "printing/run/batch_print_view.h"
#include "printing/run/print_services.h"
#include "tests/common/fake_platform.h"
#include "tests/common/fake_printers.h"
#include "tests/print_run/program_run.h"
#include "tests/print_run/scripted_engine.h"

namespace pbp::test {

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
    int runsStarted = 0;
    std::vector<int> rowsStarted;
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
    void runStarting() override { ++runsStarted; }
    void entryStarting(int row) override { rowsStarted.push_back(row); }
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
