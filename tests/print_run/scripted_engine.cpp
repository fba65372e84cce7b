#include "tests/print_run/scripted_engine.h"

namespace pbp::test {

namespace {
class ScriptedCell : public visio::Cell {
  public:
    ScriptedCell(EngineScript& script, QString path, QString* formula, double result)
        : script_(script), path_(std::move(path)), formula_(formula), result_(result) {}
    QString Formula() const override { return formula_ ? *formula_ : QString::number(result_); }
    void SetFormula(const QString& formula) override {
        script_.calls << QStringLiteral("SetFormula %1 %2").arg(path_, formula);
        *formula_ = formula;
    }
    double ResultIU() const override { return result_; }

  private:
    EngineScript& script_;
    QString path_;
    QString* formula_;
    double result_;
};

class ScriptedSheet : public visio::Shape {
  public:
    ScriptedSheet(EngineScript& script, QString path, ScriptedPage& page)
        : script_(script), path_(std::move(path)), page_(page) {}
    std::shared_ptr<visio::Cell> Cells(const QString& name) override {
        if (name == QLatin1String("PageWidth"))
            return std::make_shared<ScriptedCell>(script_, path_, nullptr, page_.width);
        if (name == QLatin1String("PageHeight"))
            return std::make_shared<ScriptedCell>(script_, path_, nullptr, page_.height);
        return std::make_shared<ScriptedCell>(script_, path_, &page_.orientation, 0);
    }

  private:
    EngineScript& script_;
    QString path_;
    ScriptedPage& page_;
};

class ScriptedPageObject : public visio::Page {
  public:
    ScriptedPageObject(EngineScript& script, QString path, ScriptedPage& page)
        : script_(script), path_(std::move(path)), page_(page) {}
    qint16 Background() const override { return page_.background; }
    std::shared_ptr<visio::Shape> PageSheet() override {
        return std::make_shared<ScriptedSheet>(script_, path_, page_);
    }

  private:
    EngineScript& script_;
    QString path_;
    ScriptedPage& page_;
};

// The opened copy of a scripted drawing: changes stay here and vanish with it.
class ScriptedDocument : public visio::Document,
                         public visio::Pages,
                         public std::enable_shared_from_this<ScriptedDocument> {
  public:
    ScriptedDocument(EngineScript& script, QString path, ScriptedDrawing drawing)
        : script_(script), path_(std::move(path)), drawing_(std::move(drawing)) {}
    std::shared_ptr<visio::Pages> Pages() override {
        return std::shared_ptr<visio::Pages>(shared_from_this(), this);
    }
    int Count() const override { return static_cast<int>(drawing_.pages.size()); }
    std::shared_ptr<visio::Page> Item(int index) override {
        return std::make_shared<ScriptedPageObject>(script_, path_, drawing_.pages.at(index - 1));
    }
    void PrintOut(qint16 range, qint16 from, qint16 to, bool scale, const QString& printer,
                  bool toFile, const QString& outputFile, qint16 copies, bool collate,
                  bool colorAsBlack) override {
        if (drawing_.printError) throw *drawing_.printError;
        QStringList orientations;
        for (const ScriptedPage& page : drawing_.pages) orientations << page.orientation;
        script_.prints.push_back({path_, range, from, to, scale, printer, toFile, outputFile,
                                  copies, collate, colorAsBlack, orientations});
    }
    void Close() override {
        script_.calls << QStringLiteral("Close %1 alert=%2").arg(path_).arg(script_.alertResponse);
    }

  private:
    EngineScript& script_;
    QString path_;
    ScriptedDrawing drawing_;
};

class ScriptedDocuments : public visio::Documents {
  public:
    ScriptedDocuments(EngineScript& script, std::shared_ptr<ScriptedDocument>& active)
        : script_(script), active_(active) {}
    std::shared_ptr<visio::Document> Open(const QString& path) override {
        script_.calls << QStringLiteral("Open %1").arg(path);
        if (script_.onOpen) script_.onOpen(path);
        const auto found = script_.drawings.find(path);
        if (found == script_.drawings.end())
            throw VbError(-2032465766, QStringLiteral("File not found: ") + path);
        active_ = std::make_shared<ScriptedDocument>(script_, path, found->second);
        return active_;
    }

  private:
    EngineScript& script_;
    std::shared_ptr<ScriptedDocument>& active_;
};

class ScriptedSettings : public visio::ApplicationSettings {
  public:
    explicit ScriptedSettings(EngineScript& script) : script_(script) {}
    qint16 ShowFileOpenWarnings() const override { return script_.showFileOpenWarnings; }
    void SetShowFileOpenWarnings(qint16 value) override {
        if (script_.failToRestoreSettings && value != 0)
            throw VbError(-1, QStringLiteral("engine gone"));
        script_.showFileOpenWarnings = value;
    }

  private:
    EngineScript& script_;
};

class ScriptedApplication : public visio::Application {
  public:
    explicit ScriptedApplication(EngineScript& script) : script_(script) {}
    qint32 WindowHandle32() const override { return 0; }
    std::shared_ptr<visio::Documents> Documents() override {
        return std::make_shared<ScriptedDocuments>(script_, active_);
    }
    std::shared_ptr<visio::Document> ActiveDocument() override {
        if (!active_) throw VbError(-1, QStringLiteral("No document is open"));
        return active_;
    }
    qint16 AlertResponse() const override { return script_.alertResponse; }
    void SetAlertResponse(qint16 response) override { script_.alertResponse = response; }
    qint16 ScreenUpdating() const override { return script_.screenUpdating; }
    void SetScreenUpdating(qint16 value) override {
        if (script_.failToRestoreSettings && value != 0)
            throw VbError(-1, QStringLiteral("engine gone"));
        script_.screenUpdating = value;
    }
    std::shared_ptr<visio::ApplicationSettings> Settings() override {
        return std::make_shared<ScriptedSettings>(script_);
    }
    void Quit() override {
        script_.calls << QStringLiteral("Quit");
        if (script_.failToQuit) throw VbError(-1, QStringLiteral("engine gone"));
    }

  private:
    EngineScript& script_;
    std::shared_ptr<ScriptedDocument> active_;
};
}  // namespace

std::unique_ptr<visio::Application> ScriptedEngineFactory::CreateObject(const QString& programId) {
    script_.programIds << programId;
    if (script_.failToStart) return nullptr;
    return std::make_unique<ScriptedApplication>(script_);
}

}  // namespace pbp::test
