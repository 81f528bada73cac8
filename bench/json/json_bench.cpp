// Parse, compact write and formatted write of the order files and of the
// documents of other shapes (json_files.h), with the JSON model, RapidJSON,
// nlohmann::json and simdjson doing the same work in the same run, in
// memory and through files; and the hostile texts against benign ones of
// the same size and depth. Rows are named "Operation/Library/Case", so
// that bench/ratio_table.py pairs them. simdjson has no pretty writer, so
// it has no formatted rows.
//
// Each library makes a new document for each parse, simdjson a new parser
// (which holds its document): a parser kept from one parse to the next
// would save simdjson the allocation that the others pay.
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
#include <simdjson.h>

#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "json_files.h"
#include "order_files.h"
#include "peer_file.h"
#include "rapidjson_pretty.h"
#include "support/streams.h"

namespace vx::bench {
namespace {

constexpr size_t kFiles = std::size(kJsonFiles);

// kJsonFiles[which]'s text, made once.
const std::string& FileText(int which) {
  static std::string texts[kFiles];
  std::string& text = texts[which];
  if (text.empty()) text = kJsonFiles[which].Make();
  return text;
}

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("vx_json_bench_" + name)).string();
}

// kJsonFiles[which] on disk, written once.
const std::string& FilePath(int which) {
  static std::string names[kFiles];
  std::string& name = names[which];
  if (name.empty()) {
    name = TempFile("file-" + std::to_string(which) + ".json");
    std::ofstream out(name, std::ios::binary);
    out << FileText(which);
  }
  return name;
}

using TRun = void (*)(benchmark::State&, int);

void Register(const char* operation, const char* library, TRun run) {
  for (size_t which = 0; which < kFiles; ++which) {
    const std::string name = std::string(operation) + "/" + library + "/" + kJsonFiles[which].Label;
    benchmark::RegisterBenchmark(name.c_str(), run, static_cast<int>(which))->Unit(benchmark::kMillisecond);
  }
}

void CountBytes(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// In memory

void ParseFastJSON(benchmark::State& state, int which) {
  const std::string& text = FileText(which);
  for (auto _ : state) {
    TFastJSON json;
    json.Parse(text);
    benchmark::DoNotOptimize(json.JsonObject());
  }
  CountBytes(state, text.size());
}

void ParseRapidJSON(benchmark::State& state, int which) {
  const std::string& text = FileText(which);
  for (auto _ : state) {
    rapidjson::Document json;
    json.Parse(text.c_str(), text.size());
    if (json.HasParseError()) state.SkipWithError("RapidJSON parse error");
    benchmark::DoNotOptimize(json.IsObject());
  }
  CountBytes(state, text.size());
}

void ParseNlohmann(benchmark::State& state, int which) {
  const std::string& text = FileText(which);
  for (auto _ : state) {
    nlohmann::json json = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(json.size());
  }
  CountBytes(state, text.size());
}

// From a copy of the text with the padding behind it that the parser needs.
void ParseSimdjson(benchmark::State& state, int which) {
  const simdjson::padded_string text(FileText(which));
  for (auto _ : state) {
    simdjson::dom::parser parser;
    simdjson::dom::element json;
    if (parser.parse(text).get(json)) state.SkipWithError("simdjson parse error");
    benchmark::DoNotOptimize(json.is_object());
  }
  CountBytes(state, text.size());
}

void CompactFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(FileText(which));
  for (auto _ : state) benchmark::DoNotOptimize(json.Stringify().size());
  CountBytes(state, FileText(which).size());
}

void CompactRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(FileText(which).c_str(), FileText(which).size());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetSize());
  }
  CountBytes(state, FileText(which).size());
}

void CompactNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(FileText(which));
  for (auto _ : state) benchmark::DoNotOptimize(json.dump().size());
  CountBytes(state, FileText(which).size());
}

// The parser holds the document it wrote.
void CompactSimdjson(benchmark::State& state, int which) {
  simdjson::dom::parser parser;
  const simdjson::dom::element json = parser.parse(FileText(which));
  for (auto _ : state) benchmark::DoNotOptimize(simdjson::minify(json).size());
  CountBytes(state, FileText(which).size());
}

// The stream layout of saved order files, into memory.
void FormattedFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(FileText(which));
  for (auto _ : state) {
    TMemoryStream stream;
    TJSONFormatter formatter("\r\n", 2);
    json.WriteTo(stream, &formatter);
    benchmark::DoNotOptimize(stream.Size());
  }
  CountBytes(state, FileText(which).size());
}

void FormattedRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(FileText(which).c_str(), FileText(which).size());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetSize());
  }
  CountBytes(state, FileText(which).size());
}

void FormattedNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(FileText(which));
  for (auto _ : state) benchmark::DoNotOptimize(json.dump(2).size());
  CountBytes(state, FileText(which).size());
}

// Through files: the file is read whole and the document made; the
// compact text is made and written to a file; the formatted text is
// written to a file as it is made.

void LoadFileFastJSON(benchmark::State& state, int which) {
  const std::string& file = FilePath(which);
  for (auto _ : state) {
    TFastJSON json;
    json.LoadFromFile(file, false, true);
    benchmark::DoNotOptimize(json.JsonObject());
  }
  CountBytes(state, FileText(which).size());
}

void LoadFileRapidJSON(benchmark::State& state, int which) {
  const std::string& file = FilePath(which);
  for (auto _ : state) {
    std::string text;
    ReadWholeFile(file, &text);
    rapidjson::Document json;
    json.Parse(text.data(), text.size());
    benchmark::DoNotOptimize(json.IsObject());
  }
  CountBytes(state, FileText(which).size());
}

void LoadFileNlohmann(benchmark::State& state, int which) {
  const std::string& file = FilePath(which);
  for (auto _ : state) {
    std::string text;
    ReadWholeFile(file, &text);
    nlohmann::json json = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(json.size());
  }
  CountBytes(state, FileText(which).size());
}

// The parser reads the file into a buffer of its own, padded as it needs.
void LoadFileSimdjson(benchmark::State& state, int which) {
  const std::string& file = FilePath(which);
  for (auto _ : state) {
    simdjson::dom::parser parser;
    simdjson::dom::element json;
    if (parser.load(file).get(json)) state.SkipWithError("simdjson load error");
    benchmark::DoNotOptimize(json.is_object());
  }
  CountBytes(state, FileText(which).size());
}

void WriteBytes(const std::string& name, const char* bytes, size_t size) {
  std::FILE* out = std::fopen(name.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(bytes, 1, size, out);
  std::fclose(out);
}

void SaveCompactFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(FileText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    const std::string text = json.Stringify();
    WriteBytes(out, text.data(), text.size());
  }
  CountBytes(state, FileText(which).size());
}

void SaveCompactRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(FileText(which).c_str(), FileText(which).size());
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    WriteBytes(out, buffer.GetString(), buffer.GetSize());
  }
  CountBytes(state, FileText(which).size());
}

void SaveCompactNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(FileText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    const std::string text = json.dump();
    WriteBytes(out, text.data(), text.size());
  }
  CountBytes(state, FileText(which).size());
}

// The minifier writes its text into the stream as it is, without the copy
// that simdjson::minify makes.
void SaveCompactSimdjson(benchmark::State& state, int which) {
  simdjson::dom::parser parser;
  const simdjson::dom::element json = parser.parse(FileText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    std::ofstream file(out, std::ios::binary);
    file << json;
  }
  CountBytes(state, FileText(which).size());
}

void SaveFormattedFastJSON(benchmark::State& state, int which) {
  TFastJSON json;
  json.Parse(FileText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) json.SaveToFile(out, false, TJSONFormatter::Create);
  CountBytes(state, FileText(which).size());
}

void SaveFormattedRapidJSON(benchmark::State& state, int which) {
  rapidjson::Document json;
  json.Parse(FileText(which).c_str(), FileText(which).size());
  const std::string out = TempFile("out.json");
  for (auto _ : state) WriteRapidJSONPretty(json, out);
  CountBytes(state, FileText(which).size());
}

void SaveFormattedNlohmann(benchmark::State& state, int which) {
  const nlohmann::json json = nlohmann::json::parse(FileText(which));
  const std::string out = TempFile("out.json");
  for (auto _ : state) {
    std::ofstream file(out, std::ios::binary);
    file << std::setw(2) << json;
  }
  CountBytes(state, FileText(which).size());
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
  struct TOperation {
    const char* Name;
    std::vector<std::pair<const char*, TRun>> Libraries;
  };
  const TOperation operations[] = {
      {"Parse",
       {{"FastJSON", ParseFastJSON},
        {"RapidJSON", ParseRapidJSON},
        {"nlohmann", ParseNlohmann},
        {"simdjson", ParseSimdjson}}},
      {"Compact",
       {{"FastJSON", CompactFastJSON},
        {"RapidJSON", CompactRapidJSON},
        {"nlohmann", CompactNlohmann},
        {"simdjson", CompactSimdjson}}},
      {"Formatted", {{"FastJSON", FormattedFastJSON}, {"RapidJSON", FormattedRapidJSON}, {"nlohmann", FormattedNlohmann}}},
      {"LoadFile",
       {{"FastJSON", LoadFileFastJSON},
        {"RapidJSON", LoadFileRapidJSON},
        {"nlohmann", LoadFileNlohmann},
        {"simdjson", LoadFileSimdjson}}},
      {"SaveCompactFile",
       {{"FastJSON", SaveCompactFastJSON},
        {"RapidJSON", SaveCompactRapidJSON},
        {"nlohmann", SaveCompactNlohmann},
        {"simdjson", SaveCompactSimdjson}}},
      {"SaveFormattedFile",
       {{"FastJSON", SaveFormattedFastJSON}, {"RapidJSON", SaveFormattedRapidJSON}, {"nlohmann", SaveFormattedNlohmann}}},
  };
  for (const TOperation& operation : operations) {
    for (const auto& [library, run] : operation.Libraries) Register(operation.Name, library, run);
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
