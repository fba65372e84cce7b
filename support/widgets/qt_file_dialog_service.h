#pragma once

#include "support/file_dialog_service.h"

namespace pbp {

// File dialogs on QFileDialog, modal to the request's owner. An open dialog takes existing
// files (several when allowed); a save dialog takes any name and never asks before an existing
// file is chosen.
class QtFileDialogService : public FileDialogService {
  public:
    FileDialogAnswer run(const FileDialogRequest& request) override;
};

}  // namespace pbp
