// Parse, compact write and formatted write of order-shaped documents, with
// the JSON model, nlohmann::json and RapidJSON doing the same work in the
// same run. Throughput is counted in bytes of JSON text read or written.
//
//   Orders:      one order with 10 000 positions of realistic texts.
//   Attachments: one order with 200 positions, each with a base64 "L2"
//                attachment of 50 KB to 1 MB.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "support/streams.h"

namespace {

using namespace vx;

// A small deterministic generator, so that every run measures the same text.
class TRandom {
 public:
  uint32_t Next() {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(FState >> 33);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint64_t FState = 0x9E3779B97F4A7C15ULL;
};

const char* const kWords[] = {"Schraube", "M\xfc" "ller", "Gewinde", "verzinkt", "Edelstahl", "Lieferung", "Montage",
                              "Stra\xdf" "e",  "Gr\xf6\xdf" "e", "Zubeh\xf6r", "Ersatzteil", "Pr\xfc" "fung", "Kabel",
                              "DIN 933",  "\x80 netto", "f\xfcr", "Au\xdf" "enbereich", "und", "mit", "ohne"};

std::string Words(TRandom& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kWords[random.Below(static_cast<int>(std::size(kWords)))];
  }
  return text;
}

std::string Base64(TRandom& random, size_t bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes + 2) / 3 * 4);
  for (size_t i = 0; i < (bytes + 2) / 3 * 4; ++i) text += kAlphabet[random.Next() & 63];
  return text;
}

std::string MakeOrder(int positions, bool attachments) {
  TRandom random;
  TFastJSON json;
  TJsonObject& order = json.Values("Order").AsArray().Add().AsObject();
  order.Values("PrintName").SetAsString("Auftrag");
  order.Values("PrintUID").SetAsString("20240315");
  TJsonObject& adress = order.Values("Adress").AsArray().Add().AsObject();
  adress.Values("CustomerNumber").SetAsString("10042");
  adress.Values("AdressSmart").SetAsString("M\xfcller GmbH, Hauptstra\xdf" "e 1, 80331 M\xfcnchen");
  TJsonArray& parts = order.Values("Parts").AsArray();
  for (int i = 0; i < positions; ++i) {
    TJsonObject& part = parts.Add().AsObject();
    part.Values("Intern").SetAsString(std::to_string(100000 + i));
    part.Values("Position").SetAsString(std::to_string(i + 1));
    part.Values("TypLine").SetAsString("0");
    part.Values("Number").SetAsString("ART-" + std::to_string(random.Below(99999)));
    part.Values("Description1").SetAsString(Words(random, 4));
    part.Values("Description2").SetAsString(Words(random, 3));
    part.Values("LongText").SetAsString(Words(random, 12 + random.Below(20)) + "\r\n" + Words(random, 8));
    part.Values("Unit").SetAsString("Stk");
    part.Values("DeliverNumber").SetAsString("");
    part.Values("SerialNumber").SetAsString("");
    part.Values("DeleteL2").SetAsBoolean(attachments);
    part.Values("L2").SetAsString(attachments ? "base64:" + Base64(random, 50 * 1024 + random.Below(974 * 1024)) : "");
    // Numbers come only from parsing.
    part.Values("Quantity").Parse(std::to_string(1 + random.Below(100)));
    part.Values("Price").Parse(std::to_string(random.Below(100000)) + "." + std::to_string(random.Below(100)));
    part.Values("TaxRate").Parse("19");
    part.Values("Rabatt").Parse(random.Below(4) == 0 ? "2.5" : "0");
  }
  json.Values("NettoPrices").SetAsBoolean(true);
  json.Values("UID").SetAsString("VX Datei Zwischenablage 2024-03-15T10:00:00.000Z 123456");
  return json.Stringify();
}

const std::string& Input(int which) {
  static const std::string orders = MakeOrder(10000, false);
  static const std::string attachments = MakeOrder(200, true);
  return which == 0 ? orders : attachments;
}

void Label(benchmark::State& state) {
  state.SetLabel(state.range(0) == 0 ? "10000 positions" : "200 attachments");
}

// Parse

void BM_Parse_FastJSON(benchmark::State& state) {
  const std::string& text = Input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TFastJSON json;
    json.Parse(text);
    benchmark::DoNotOptimize(json.JsonObject());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  Label(state);
}

void BM_Parse_Nlohmann(benchmark::State& state) {
  const std::string& text = Input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    nlohmann::json json = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(json.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  Label(state);
}

void BM_Parse_RapidJSON(benchmark::State& state) {
  const std::string& text = Input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    rapidjson::Document json;
    json.Parse(text.c_str(), text.size());
    if (json.HasParseError()) state.SkipWithError("RapidJSON parse error");
    benchmark::DoNotOptimize(json.IsObject());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  Label(state);
}

// Compact write

void BM_Compact_FastJSON(benchmark::State& state) {
  TFastJSON json;
  json.Parse(Input(static_cast<int>(state.range(0))));
  int64_t bytes = 0;
  for (auto _ : state) {
    const std::string text = json.Stringify();
    bytes += static_cast<int64_t>(text.size());
  }
  state.SetBytesProcessed(bytes);
  Label(state);
}

void BM_Compact_Nlohmann(benchmark::State& state) {
  const nlohmann::json json = nlohmann::json::parse(Input(static_cast<int>(state.range(0))));
  int64_t bytes = 0;
  for (auto _ : state) {
    const std::string text = json.dump();
    bytes += static_cast<int64_t>(text.size());
  }
  state.SetBytesProcessed(bytes);
  Label(state);
}

void BM_Compact_RapidJSON(benchmark::State& state) {
  const std::string& input = Input(static_cast<int>(state.range(0)));
  rapidjson::Document json;
  json.Parse(input.c_str(), input.size());
  int64_t bytes = 0;
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    bytes += static_cast<int64_t>(buffer.GetSize());
  }
  state.SetBytesProcessed(bytes);
  Label(state);
}

// Formatted write: the stream layout of saved order files, into memory.

void BM_Formatted_FastJSON(benchmark::State& state) {
  TFastJSON json;
  json.Parse(Input(static_cast<int>(state.range(0))));
  int64_t bytes = 0;
  for (auto _ : state) {
    TMemoryStream stream;
    TJSONFormatter formatter("\r\n", 2);
    json.WriteTo(stream, &formatter);
    bytes += stream.Size();
  }
  state.SetBytesProcessed(bytes);
  Label(state);
}

void BM_Formatted_Nlohmann(benchmark::State& state) {
  const nlohmann::json json = nlohmann::json::parse(Input(static_cast<int>(state.range(0))));
  int64_t bytes = 0;
  for (auto _ : state) {
    const std::string text = json.dump(2);
    bytes += static_cast<int64_t>(text.size());
  }
  state.SetBytesProcessed(bytes);
  Label(state);
}

void BM_Formatted_RapidJSON(benchmark::State& state) {
  const std::string& input = Input(static_cast<int>(state.range(0)));
  rapidjson::Document json;
  json.Parse(input.c_str(), input.size());
  int64_t bytes = 0;
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    bytes += static_cast<int64_t>(buffer.GetSize());
  }
  state.SetBytesProcessed(bytes);
  Label(state);
}

}  // namespace

#define VX_JSON_BENCH(name) BENCHMARK(name)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
VX_JSON_BENCH(BM_Parse_FastJSON);
VX_JSON_BENCH(BM_Parse_Nlohmann);
VX_JSON_BENCH(BM_Parse_RapidJSON);
VX_JSON_BENCH(BM_Compact_FastJSON);
VX_JSON_BENCH(BM_Compact_Nlohmann);
VX_JSON_BENCH(BM_Compact_RapidJSON);
VX_JSON_BENCH(BM_Formatted_FastJSON);
VX_JSON_BENCH(BM_Formatted_Nlohmann);
VX_JSON_BENCH(BM_Formatted_RapidJSON);

BENCHMARK_MAIN();
