#pragma once

#include "support/platform.h"

namespace pbp {

// Messages for a run without windows: each goes to standard error as one "TITLE: TEXT" line
// (CR LF line ends as LF), questions are answered Yes, and the beep is left out.
class StandardErrorMessages : public MessageService {
  public:
    void show(const QString& title, const QString& text, MessageIcon icon) override;
    void beep() override {}
};

}  // namespace pbp
