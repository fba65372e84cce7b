#pragma once

// A drawing engine that plays a script: which drawings open, their pages, which calls fail.
// It records every call so that tests can check what the print run asked for.

#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "printing/engine/visio.h"

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
};

struct EngineScript {
    std::map<QString, ScriptedDrawing> drawings;  // a path not listed fails to open
    bool failToStart = false, failToQuit = false, failToRestoreSettings = false;
    QStringList programIds;
    QStringList calls;  // "Open p", "SetFormula p 2", "Close p alert=7", "Quit"
    // One line per PrintOut: "path range from-to scale=.. printer toFile=.. 'outputFile' xcopies
    // collate=.. black=.. [orientation of every page at that moment]".
    QStringList prints;
    qint16 alertResponse = 3, screenUpdating = -1, showFileOpenWarnings = 1;
    std::function<void(const QString& path)> onOpen;  // runs inside Open, before it succeeds
};

class ScriptedEngineFactory : public visio::EngineFactory {
  public:
    explicit ScriptedEngineFactory(EngineScript& script) : script_(script) {}
    std::unique_ptr<visio::Application> CreateObject(const QString& programId) override;

  private:
    EngineScript& script_;
};

}  // namespace pbp::test
