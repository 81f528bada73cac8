#include "app/busy_cursor.h"

#include <gtest/gtest.h>

#include <string>

#include "support/folders.h"
#include "ui/wave.h"

namespace vx {
namespace {

int AniFilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((folder + "*.ani").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 1;
  while (FindNextFileA(search, &found)) ++count;
  FindClose(search);
  return count;
}

// One test: the cursor is loaded once per process.
TEST(BusyCursor, EndFirstStillLoadsAndNoFileIsLeft) {
  const std::string folder = GetTempFolder("XCURSOR");
  const int before = AniFilesIn(folder);
  EndBusyCursor();
  EXPECT_EQ(ApplicationCursor(), nullptr);
  EXPECT_EQ(AniFilesIn(folder), before);
  BeginBusyCursor();
  EXPECT_NE(ApplicationCursor(), nullptr);
  EndBusyCursor();
  EXPECT_EQ(ApplicationCursor(), nullptr);
  FreeBusyCursor();
  BeginBusyCursor();
  EXPECT_EQ(ApplicationCursor(), nullptr);  // freed at program end, not loaded again
  EndBusyCursor();
}

TEST(Wave, StoredChimeIsAStereoWaveAndPlays) {
  HRSRC info = FindResourceA(nullptr, "WAVE1", MAKEINTRESOURCEA(10));
  ASSERT_NE(info, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
  TMemoryStream stream;
  stream.SetData(std::string(bytes, SizeofResource(nullptr, info)));
  TWave wave;
  wave.WaveData.ReadData(stream);
  const std::string& data = wave.WaveData.Data();
  ASSERT_EQ(data.size(), 227372u);
  EXPECT_EQ(data.substr(0, 4), "RIFF");
  EXPECT_EQ(data.substr(8, 4), "WAVE");
  EXPECT_EQ(data.substr(22, 2), std::string("\x02\x00", 2));  // channels
  EXPECT_EQ(data.substr(34, 2), std::string("\x10\x00", 2));  // bits per sample
  // Playing twice restarts the sound; neither call waits or reports.
  wave.Play();
  wave.Play();
}

}  // namespace
}  // namespace vx
