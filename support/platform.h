#pragma once

#include <QString>
#include <QUrl>

namespace pbp {

class FileDialogService;  // support/file_dialog_service.h

enum class MessageIcon { Information, Exclamation, Critical };

// Message boxes with an OK button, questions with Yes and No, and the standard beep.
class MessageService {
  public:
    virtual ~MessageService() = default;
    virtual void show(const QString& title, const QString& text, MessageIcon icon) = 0;
    // True when the answer is Yes. A service that cannot ask (no display) answers Yes.
    virtual bool ask(const QString& /*title*/, const QString& /*text*/) { return true; }
    virtual void beep() = 0;
};

// Hands a document or web address to the desktop's default handler.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    virtual bool open(const QUrl& url) = 0;
};

// Ends the process at once with an exit code (no further event handling, no closing steps).
// A replacement used by tests may return; callers return straight after calling it.
class ProcessEnder {
  public:
    virtual ~ProcessEnder() = default;
    virtual void endProcess(int exitCode) = 0;
};

// The platform pieces the program talks to. Production wires the real ones in main();
// tests install fakes. None of the pointers is owned here.
struct Platform {
    MessageService* messages = nullptr;
    FileDialogService* fileDialogs = nullptr;
    UrlOpener* urls = nullptr;
    ProcessEnder* process = nullptr;
    QString appTitle;       // the title of the program's messages
    QString registryFile;   // the settings store file
    QString programFolder;  // folder of the program file (help files live here)
};

Platform& platform();
void setPlatform(const Platform& replacement);

// $XDG_CONFIG_HOME (default ~/.config) + "/PlenBatchPrint/settings.ini".
QString defaultRegistryFile();

// True when the program shows no windows: the application runs on Qt's offscreen platform
// (no display, or one that cannot be reached); before the application exists, when neither
// DISPLAY nor WAYLAND_DISPLAY is set.
bool isHeadless();

}  // namespace pbp
