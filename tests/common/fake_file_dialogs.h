#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "support/file_dialog_service.h"

namespace pbp::test {

// Answers file dialogs from a queue of scripted answers and records every request.
// With the queue empty, a dialog is cancelled.
class FakeFileDialogService : public FileDialogService {
  public:
    void answerFiles(const QStringList& files) { answers.push_back({files}); }
    void answerCancel() { answers.push_back({}); }

    FileDialogAnswer run(const FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return {};
        FileDialogAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<FileDialogAnswer> answers;
    std::vector<FileDialogRequest> requests;
};

}  // namespace pbp::test
