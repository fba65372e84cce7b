#pragma once

#include "support/platform.h"

namespace pbp {

// Message boxes on screen; with no display the text goes to standard error and the run goes
// on as if OK had been pressed.
class QtMessageService : public MessageService {
  public:
    void show(const QString& title, const QString& text, MessageIcon icon) override;
    bool ask(const QString& title, const QString& text) override;
    void beep() override;
};

class QtUrlOpener : public UrlOpener {
  public:
    bool open(const QUrl& url) override;
};

// Flushes the standard streams and ends the process without running any further Qt code.
class QtProcessEnder : public ProcessEnder {
  public:
    void endProcess(int exitCode) override;
};

}  // namespace pbp
