// The setting of an action test: a private temporary folder and client
// root, the exchange simulator on a thread of the test, a fake user
// interface and the window's document and temporary files.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "actions/fake_user_interface.h"
#include "actions/order_actions.h"
#include "documents/client_root.h"
#include "documents/file_name_template.h"
#include "documents/import_document.h"
#include "hostlink/host_commands.h"
#include "hostlink/temp_root.h"
#include "simulator_thread.h"
#include "support/file_contents.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/pause.h"
#include "support/string_list.h"
#include "support/temp_folder.h"

namespace vx::testing {

class TActionHost {
 public:
  TActionHost() {
    PointClientRootAt(Root);
    FPreviousPause = SetPauseFunction(&NoPause);
    SetServerName("");
    Options.Name = vx::test::UniquePipeName("vx-actions");
    Options.OutDir = Folder.File("outdata");
    FTemplateFile = GetTemplateFileName();
    FOldTemplate = FileIsPresent(FTemplateFile) ? ReadFileBytes(FTemplateFile) : std::string();
    // What an earlier test of this process left behind must not count here.
    for (const std::string& fileName : HostTemporaryFiles()) DeleteFileIfPresent(fileName);
  }
  ~TActionHost() {
    StopSimulator();
    SetServerName("");
    SetPauseFunction(FPreviousPause);
    TJSON::ResetImportDocument();
    // Windows keeps the client root in the shared documents: leave it as found.
    WriteFileBytes(FTemplateFile, FOldTemplate);
    for (const std::string& fileName : TempFiles.Lines()) DeleteFileIfPresent(fileName);
  }
  TActionHost(const TActionHost&) = delete;
  TActionHost& operator=(const TActionHost&) = delete;

  void StartSimulator() {
    FSimulator = std::make_unique<sim::TSimulatorThread>(Options, Folder.File("simulator.log"));
    SetServerName(Options.Name);
  }
  void StopSimulator() { FSimulator.reset(); }

  // The host's order: the file the simulator copies for every "GETJSON".
  void HostOrder(const std::string& text) {
    Options.OrderFile = Folder.File("host-order.json");
    WriteFileBytes(Options.OrderFile, text);
  }
  void UseTemplate(const std::string& line) {
    EnsureFileFolder(FTemplateFile);
    WriteFileBytes(FTemplateFile, line + "\r\n");
  }

  TOrderActionContext Context() {
    return TOrderActionContext{UI, Document.get(), TempFiles, [this] { ++CaptionUpdates; }};
  }

  // The documents the host received, in order.
  std::vector<std::string> OutData() const {
    std::vector<std::string> documents;
    for (int n = 1;; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "outdata-%04d.json", n);
      const std::string fileName = AddPathDelim(Options.OutDir) + name;
      if (!FileIsPresent(fileName)) return documents;
      documents.push_back(ReadFileBytes(fileName));
    }
  }

  // The host's temporary order files that are still there.
  static std::vector<std::string> HostTemporaryFiles() {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(GetTempFolder(), ignored)) {
      if (entry.is_regular_file() && entry.path().extension() == ".json") names.push_back(entry.path().string());
    }
    return names;
  }

  const std::string Root = vx::test::UsePrivateTempRoot();
  TTempFolder Folder;
  sim::TSimOptions Options;
  TFakeUserInterface UI;
  TOrderDocumentPtr Document = NewOrderDocument();
  TStringList TempFiles;
  int CaptionUpdates = 0;

 private:
  static void NoPause(int) {}

  std::unique_ptr<sim::TSimulatorThread> FSimulator;
  TPauseFunction FPreviousPause = nullptr;
  std::string FTemplateFile;
  std::string FOldTemplate;
};

}  // namespace vx::testing
