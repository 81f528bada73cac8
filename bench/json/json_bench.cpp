// Parse, compact write and formatted write of order-shaped documents, with
// the JSON model, nlohmann::json and RapidJSON doing the same work in the
// same run, in memory and through files; and the hostile texts against
// benign ones of the same size and depth. Rows are named
// "Operation/Library/Case", so that bench/ratio_table.py pairs them.
//
//   10000 positions: one order with 10 000 positions of realistic texts.
//   200 attachments: one order with 200 positions, each with a base64 "L2"
//                    attachment of 50 KB to 1 MB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "order_files.h"
#include "peer_file.h"
#include "rapidjson_pretty.h"
#include "support/streams.h"

namespace vx::bench {
namespace {

const std::string& OrderText(int which) {
  static const std::string texts[] = {MakeOrderText(kOrderFiles[0].Positions, kOrderFiles[0].Attachments),
                                      MakeOrderText(kOrderFiles[1].Positions, kOrderFiles[1].Attachments)};
  return texts[which];
}

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("vx_json_bench_" + name)).string();
}

// The order file on disk, written once.
const std::string& OrderFile(int which) {
  static const std::string names[] = {TempFile("orders.json"), TempFile("attachments.json")};
  static bool written[2] = {false, false};
  if (!written[which]) {
    std::ofstream out(names[which], std::ios::binary);
    out << OrderText(which);
    written[which] = true;
  }
  return names[which];
}

using TRun = void (*)(benchmark::State&, int);

void Register(const char* operation, const char* library, TRun run) {
  for (int which = 0; which < 2; ++which) {
    const std::string name = std::string(operation) + "/" + library + "/" + kOrderFiles[which].Label;
    benchmark::RegisterBenchmark(name.c_str(), run, which)->Unit(benchmark::kMillisecond);
  }
}

void CountBytes(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// In memory

void ParseFastJSON(benchmark::State& state, int which) {
  const std::string& text = OrderText(which);
  for (auto _ : state) {
    TFastJSON json;
    json.Parse(text);
    benchmark::DoNotOptimize(json.JsonObject());
  }
  CountBytes(state, text.size());
}

void ParseRapidJSON(benchmark::State& state, int which) {
  const std::string& text = OrderText(which);
  for (auto _ : state) {
    rapidjson::Document json;
    json.Parse(text.c_str(), text.size());
    if (json.HasParseError()) state.SkipWithError("RapidJSON parse error");
    benchmark::DoNotOptimize(json.IsObject());
  }
  CountBytes(state, text.size());
}

void ParseNlohmann(benchmark::State& state, int which) {
  const std::string& text = OrderText(which);
  for (auto _ : state) {
    nlohmann::json json = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(json.size());
  }
  CountBytes(state, text.size());
}

void CompactFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(OrderText(which));
  for (auto _ : state) benchmark::DoNotOptimize(json.Stringify().size());
  CountBytes(state, OrderText(which).size());
}

void CompactRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(OrderText(which).c_str(), OrderText(which).size());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetSize());
  }
  CountBytes(state, OrderText(which).size());
}

void CompactNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(OrderText(which));
  for (auto _ : state) benchmark::DoNotOptimize(json.dump().size());
  CountBytes(state, OrderText(which).size());
}

// The stream layout of saved order files, into memory.
void FormattedFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(OrderText(which));
  for (auto _ : state) {
    TMemoryStream stream;
    TJSONFormatter formatter("\r\n", 2);
    json.WriteTo(stream, &formatter);
    benchmark::DoNotOptimize(stream.Size());
  }
  CountBytes(state, OrderText(which).size());
}

void FormattedRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(OrderText(which).c_str(), OrderText(which).size());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetSize());
  }
  CountBytes(state, OrderText(which).size());
}

void FormattedNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(OrderText(which));
  for (auto _ : state) benchmark::DoNotOptimize(json.dump(2).size());
  CountBytes(state, OrderText(which).size());
}

// Through files: the file is read whole and the document made; the
// compact text is made and written to a file; the formatted text is
// written to a file as it is made.

void LoadFileFastJSON(benchmark::State& state, int which) {
  const std::string& file = OrderFile(which);
  for (auto _ : state) {
    TFastJSON json;
    json.LoadFromFile(file, false, true);
    benchmark::DoNotOptimize(json.JsonObject());
  }
  CountBytes(state, OrderText(which).size());
}

void LoadFileRapidJSON(benchmark::State& state, int which) {
  const std::string& file = OrderFile(which);
  for (auto _ : state) {
    std::string text;
    ReadWholeFile(file, &text);
    rapidjson::Document json;
    json.Parse(text.data(), text.size());
    benchmark::DoNotOptimize(json.IsObject());
  }
  CountBytes(state, OrderText(which).size());
}

void LoadFileNlohmann(benchmark::State& state, int which) {
  const std::string& file = OrderFile(which);
  for (auto _ : state) {
    std::string text;
    ReadWholeFile(file, &text);
    nlohmann::json json = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(json.size());
  }
  CountBytes(state, OrderText(which).size());
}

void WriteBytes(const std::string& name, const char* bytes, size_t size) {
  std::FILE* out = std::fopen(name.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(bytes, 1, size, out);
  std::fclose(out);
}

void SaveCompactFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(OrderText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    const std::string text = json.Stringify();
    WriteBytes(out, text.data(), text.size());
  }
  CountBytes(state, OrderText(which).size());
}

void SaveCompactRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(OrderText(which).c_str(), OrderText(which).size());
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    WriteBytes(out, buffer.GetString(), buffer.GetSize());
  }
  CountBytes(state, OrderText(which).size());
}

void SaveCompactNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(OrderText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    const std::string text = json.dump();
    WriteBytes(out, text.data(), text.size());
  }
  CountBytes(state, OrderText(which).size());
}

void SaveFormattedFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(OrderText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) json.SaveToFile(out, false, TJSONFormatter::Create);
  CountBytes(state, OrderText(which).size());
}

void SaveFormattedRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(OrderText(which).c_str(), OrderText(which).size());
  const std::string out = TempFile("out.json");
  for (auto _ : state) WriteRapidJSONPretty(json, out);
  CountBytes(state, OrderText(which).size());
}

void SaveFormattedNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(OrderText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    std::ofstream file(out, std::ios::binary);
    file << std::setw(2) << json;
  }
  CountBytes(state, OrderText(which).size());
}

// Hostile texts: the time to load one, error or not.
void Load(benchmark::State& state, const std::string& text) {
  for (auto _ : state) LoadIgnoringErrors(text);
  CountBytes(state, text.size());
}

void RegisterHostileShapes() {
  static const std::vector<TJsonShape> shapes = MakeHostileShapes(8 << 20, 999);
  for (const TJsonShape& shape : shapes) {
    const std::string name = std::string("Hostile/") + shape.Label + " (8 MB, 999 levels)/";
    benchmark::RegisterBenchmark((name + "hostile").c_str(), Load, shape.Hostile)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "benign").c_str(), Load, shape.Benign)->Unit(benchmark::kMillisecond);
  }
}

void RegisterAll() {
  const std::pair<const char*, TRun> libraries[][3] = {
      {{"FastJSON", ParseFastJSON}, {"RapidJSON", ParseRapidJSON}, {"nlohmann", ParseNlohmann}},
      {{"FastJSON", CompactFastJSON}, {"RapidJSON", CompactRapidJSON}, {"nlohmann", CompactNlohmann}},
      {{"FastJSON", FormattedFastJSON}, {"RapidJSON", FormattedRapidJSON}, {"nlohmann", FormattedNlohmann}},
      {{"FastJSON", LoadFileFastJSON}, {"RapidJSON", LoadFileRapidJSON}, {"nlohmann", LoadFileNlohmann}},
      {{"FastJSON", SaveCompactFastJSON}, {"RapidJSON", SaveCompactRapidJSON}, {"nlohmann", SaveCompactNlohmann}},
      {{"FastJSON", SaveFormattedFastJSON},
       {"RapidJSON", SaveFormattedRapidJSON},
       {"nlohmann", SaveFormattedNlohmann}},
  };
  const char* const operations[] = {"Parse", "Compact", "Formatted", "LoadFile", "SaveCompactFile", "SaveFormattedFile"};
  for (size_t operation = 0; operation < std::size(operations); ++operation) {
    for (const auto& [library, run] : libraries[operation]) Register(operations[operation], library, run);
  }
  RegisterHostileShapes();
}

}  // namespace
}  // namespace vx::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  vx::bench::RegisterAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
