#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <vector>

#include "support/platform.h"
#include "tests/common/test_paths.h"

namespace pbp::test {

// Where the program keeps its settings in the settings store.
inline const QString kSettingsKey =
    QStringLiteral("Software\\Corvane\\PlenTools_2003\\PlenBatchPrint 2003");

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon;
};

// Records message boxes and questions instead of showing them; questions are answered from
// `answers` in turn, Yes when it runs out.
class FakeMessageService : public MessageService {
  public:
    void show(const QString& title, const QString& text, MessageIcon icon) override {
        shown.push_back({title, text, icon});
    }
    bool ask(const QString& /*title*/, const QString& text) override {
        asked << text;
        return answers.isEmpty() || answers.takeFirst();
    }
    QStringList asked;
    QList<bool> answers;
    void beep() override { ++beeps; }
    std::vector<ShownMessage> shown;
    int beeps = 0;
};

// Records the addresses handed over; `handlerInstalled` false plays a desktop without one.
class FakeUrlOpener : public UrlOpener {
  public:
    bool open(const QUrl& url) override {
        opened.push_back(url);
        return handlerInstalled;
    }
    std::vector<QUrl> opened;
    bool handlerInstalled = true;
};

// Records the exit code instead of ending the test process.
class FakeProcessEnder : public ProcessEnder {
  public:
    void endProcess(int exitCode) override { exitCodes.push_back(exitCode); }
    std::vector<int> exitCodes;
};

// Installs fake platform pieces and a registry file in a fresh temporary folder for the life
// of the object; restores the previous platform afterwards.
// Tests may point the remaining member (file dialogs) at fakes of their own.
class ScopedFakePlatform {
  public:
    ScopedFakePlatform();
    ~ScopedFakePlatform();
    ScopedFakePlatform(const ScopedFakePlatform&) = delete;
    ScopedFakePlatform& operator=(const ScopedFakePlatform&) = delete;

    Platform& get() { return platform(); }
    QString tempPath(const QString& name) const { return dir.filePath(name); }
    // A file in the temporary folder holding `bytes`; its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        return test::writeFile(tempPath(name), bytes);
    }

    FakeMessageService messages;
    FakeUrlOpener urls;
    FakeProcessEnder process;
    QTemporaryDir dir;

  private:
    Platform previous_;
};

}  // namespace pbp::test
