// A settings file of 100 000 lines in 200 sections: load, 10 000 reads,
// 1 000 writes of existing keys and one save, against inih's INIReader for
// loading and lookup. And a file of 200 000 small sections whose names all
// share one bucket of the section index, loaded by both.
#include <INIReader.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "settings/fast_ini_file.h"
#include "support/folders.h"

namespace vx {
namespace {

constexpr int kSections = 200;
constexpr int kLinesPerSection = 500;
constexpr int kReads = 10000;
constexpr int kWrites = 1000;

struct TBenchFile {
  std::string Name;
  std::string SavedName;
  std::vector<std::pair<std::string, std::string>> Reads;
  std::vector<std::pair<std::string, std::string>> Writes;
};

std::string SectionName(int s) { return "Section" + std::to_string(s); }
std::string KeyName(int k) { return "Key" + std::to_string(k); }

const TBenchFile& File() {
  static const TBenchFile file = [] {
    TBenchFile result;
    result.Name = GetTempFolder("settings-bench") + "Big.INI";
    result.SavedName = GetTempFolder("settings-bench") + "Saved.INI";
    std::ofstream out(result.Name, std::ios::binary | std::ios::trunc);
    for (int s = 0; s < kSections; ++s) {
      out << "[" << SectionName(s) << "]\r\n";
      // A comment line every 50 lines, as hand-edited files have.
      for (int k = 0; k < kLinesPerSection - 1; ++k) {
        if (k % 50 == 49) {
          out << "; note " << k << "\r\n";
        } else {
          out << KeyName(k) << " = value " << s << "/" << k << " for this key\r\n";
        }
      }
    }
    std::mt19937 random(42);
    std::uniform_int_distribution<int> section(0, kSections - 1);
    std::uniform_int_distribution<int> key(0, 47);
    for (int i = 0; i < kReads; ++i) result.Reads.emplace_back(SectionName(section(random)), KeyName(key(random)));
    for (int i = 0; i < kWrites; ++i) result.Writes.emplace_back(SectionName(section(random)), KeyName(key(random)));
    return result;
  }();
  return file;
}

void BM_FastIniLoad(benchmark::State& state) {
  const TBenchFile& file = File();
  for (auto _ : state) {
    TFastIniFile ini(file.Name);
    benchmark::DoNotOptimize(ini.ReadString(file.Reads[0].first, file.Reads[0].second, ""));
  }
}

void BM_InihLoad(benchmark::State& state) {
  const TBenchFile& file = File();
  for (auto _ : state) {
    INIReader reader(file.Name);
    benchmark::DoNotOptimize(reader.Get(file.Reads[0].first, file.Reads[0].second, ""));
  }
}

void BM_FastIniLoadAndRead(benchmark::State& state) {
  const TBenchFile& file = File();
  for (auto _ : state) {
    TFastIniFile ini(file.Name);
    for (const auto& [section, key] : file.Reads) benchmark::DoNotOptimize(ini.ReadString(section, key, ""));
  }
}

void BM_InihLoadAndRead(benchmark::State& state) {
  const TBenchFile& file = File();
  for (auto _ : state) {
    INIReader reader(file.Name);
    for (const auto& [section, key] : file.Reads) benchmark::DoNotOptimize(reader.Get(section, key, ""));
  }
}

void BM_FastIniReadWriteSave(benchmark::State& state) {
  const TBenchFile& file = File();
  int round = 0;
  for (auto _ : state) {
    TFastIniFile ini(file.Name);
    for (const auto& [section, key] : file.Reads) benchmark::DoNotOptimize(ini.ReadString(section, key, ""));
    const std::string value = "changed " + std::to_string(++round);
    for (const auto& [section, key] : file.Writes) ini.WriteString(section, key, value);
    // Saved under another name so that every round starts from the same file.
    ini.Items().SaveToFile(file.SavedName);
    ini.Clear();
  }
}

// The low byte of a name's hash comes from its last four letters only.
const std::string& OneBucketFile() {
  static const std::string name = [] {
    const std::string result = GetTempFolder("settings-bench") + "OneBucket.INI";
    std::ofstream out(result, std::ios::binary | std::ios::trunc);
    char section[40];
    for (int s = 0; s < 200000; ++s) {
      std::snprintf(section, sizeof section, "[%08dZZZZ]\r\nk=%d\r\n", s, s);
      out << section;
    }
    return result;
  }();
  return name;
}

void BM_FastIniLoadOneBucket(benchmark::State& state) {
  for (auto _ : state) {
    TFastIniFile ini(OneBucketFile());
    benchmark::DoNotOptimize(ini.ReadString("00199999ZZZZ", "k", ""));
  }
}

void BM_InihLoadOneBucket(benchmark::State& state) {
  for (auto _ : state) {
    INIReader reader(OneBucketFile());
    benchmark::DoNotOptimize(reader.Get("00199999ZZZZ", "k", ""));
  }
}

BENCHMARK(BM_FastIniLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InihLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastIniLoadAndRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InihLoadAndRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastIniReadWriteSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastIniLoadOneBucket)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InihLoadOneBucket)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vx
