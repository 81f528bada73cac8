// Helpers of the settings tests: a fresh folder per test, whole-file bytes,
// and retry pauses that take no time.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/folders.h"
#include "support/guid.h"
#include "support/pause.h"

namespace vx {

inline std::string ReadBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Counts the retry pauses instead of sleeping.
class TSettingsTest : public ::testing::Test {
 public:
  static inline int Pauses = 0;

 protected:
  void SetUp() override {
    Pauses = 0;
    FPrevious = SetPauseFunction([](int) { ++Pauses; });
    Folder = GetTempFolder("settings-tests") + std::to_string(NewGuidHash()) + kPathDelim;
    CreateFolderTree(Folder);
  }
  void TearDown() override { SetPauseFunction(FPrevious); }

  std::string Folder;

 private:
  TPauseFunction FPrevious = nullptr;
};

}  // namespace vx
