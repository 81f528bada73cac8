// Helpers of the settings tests: a fresh folder per test and retry pauses
// that take no time.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_store.h"
#include "support/folders.h"
#include "support/guid.h"
#include "support/pause.h"

namespace vx {

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

// The settings store keeps its file in the test's folder.
class TSettingsStoreTest : public TSettingsTest {
 protected:
  void SetUp() override {
    TSettingsTest::SetUp();
    SetSettingsFolder(Folder);
  }
  void TearDown() override {
    SetSettingsFolder("");
    TSettingsTest::TearDown();
  }
};

}  // namespace vx
