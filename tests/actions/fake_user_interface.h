// A user interface that records what the actions show, ask and put, and
// answers the file dialogs from a script and every question alike.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "support/errors.h"
#include "ui/user_interface.h"

namespace vx::testing {

class TFakeUserInterface : public TUserInterface {
 public:
  struct TClipboardPut {
    std::string FormatName;
    std::string Block;
    int BusyDepth = 0;  // busy cursors shown at that moment
  };

  void ShowHtmlMessage(const std::string& message) override { Messages.push_back(message); }

  // Recorded and answered with QuestionAnswer.
  bool ShowHtmlQuestion(const std::string& question) override {
    Questions.push_back(question);
    return QuestionAnswer;
  }

  // The next scripted answer; a dialog without one is cancelled.
  std::vector<std::string> ExecuteFileDialog(const TFileDialogRequest& request) override {
    Dialogs.push_back(request);
    if (DialogAnswers.empty()) return {};
    std::vector<std::string> answer = DialogAnswers.front();
    DialogAnswers.pop_front();
    return answer;
  }

  void PutOnClipboard(const std::string& formatName, const std::string& block) override {
    if (ClipboardRefuses) throw Exception("Clipboard cannot be opened");
    Clipboard.push_back({formatName, block, BusyDepth});
  }

  void PlayWave() override { ++Waves; }
  void BeginBusyCursor() override { ++BusyDepth; }
  void EndBusyCursor() override { --BusyDepth; }
  void ShowException(const std::exception_ptr& error) override { Exceptions.push_back(error); }

  std::deque<std::vector<std::string>> DialogAnswers;
  bool QuestionAnswer = false;
  bool ClipboardRefuses = false;

  std::vector<std::string> Messages;
  std::vector<std::string> Questions;
  std::vector<TFileDialogRequest> Dialogs;
  std::vector<TClipboardPut> Clipboard;
  std::vector<std::exception_ptr> Exceptions;
  int Waves = 0;
  int BusyDepth = 0;
};

}  // namespace vx::testing
