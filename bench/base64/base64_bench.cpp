// Base64 throughput of the attachment codec against a plain one-character-
// per-lookup codec, on the sizes attachments have (a few KiB to megabytes).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "documents/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string PlainEncode(const std::string& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = (uint32_t{static_cast<uint8_t>(bytes[i])} << 16) |
                       (uint32_t{static_cast<uint8_t>(bytes[i + 1])} << 8) | static_cast<uint8_t>(bytes[i + 2]);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i < bytes.size()) {
    uint32_t v = uint32_t{static_cast<uint8_t>(bytes[i])} << 16;
    if (i + 1 < bytes.size()) v |= uint32_t{static_cast<uint8_t>(bytes[i + 1])} << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::array<int, 256> PlainDecodeTable() {
  std::array<int, 256> table{};
  table.fill(-1);
  for (int v = 0; v < 64; ++v) table[static_cast<uint8_t>(kAlphabet[v])] = v;
  return table;
}

std::string PlainDecode(const std::string& text) {
  static const std::array<int, 256> table = PlainDecodeTable();
  std::string out;
  out.reserve(text.size() / 4 * 3 + 2);
  uint32_t bits = 0;
  int pending = 0;
  for (char c : text) {
    const int v = table[static_cast<uint8_t>(c)];
    if (v < 0) continue;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    if (++pending == 4) {
      out += static_cast<char>(bits >> 16);
      out += static_cast<char>(bits >> 8);
      out += static_cast<char>(bits);
      bits = 0;
      pending = 0;
    }
  }
  if (pending == 3) {
    out += static_cast<char>(bits >> 10);
    out += static_cast<char>(bits >> 2);
  } else if (pending == 2) {
    out += static_cast<char>(bits >> 4);
  }
  return out;
}

std::string RandomBytes(size_t size) {
  std::mt19937 random(42);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

template <std::string (*Encode)(const std::string&)>
void RunEncode(benchmark::State& state) {
  const std::string bytes = RandomBytes(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(Encode(bytes));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

template <std::string (*Decode)(const std::string&)>
void RunDecode(benchmark::State& state) {
  const std::string text = vx::EncodeBase64(RandomBytes(static_cast<size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(Decode(text));
  // Counted in decoded bytes, as for the encoder.
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

std::string FastEncode(const std::string& bytes) { return vx::EncodeBase64(bytes); }
std::string FastDecode(const std::string& text) { return vx::DecodeBase64(text); }

// An order file written by another tool may wrap its base64 text in lines.
void DecodeWrapped(benchmark::State& state) {
  std::string text = vx::EncodeBase64(RandomBytes(static_cast<size_t>(state.range(0))));
  std::string wrapped;
  for (size_t i = 0; i < text.size(); i += 76) wrapped += text.substr(i, 76) + "\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(vx::DecodeBase64(wrapped));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(RunEncode<PlainEncode>)->Name("Encode/plain")->Arg(64 << 10)->Arg(4 << 20);
BENCHMARK(RunEncode<FastEncode>)->Name("Encode/fast")->Arg(64 << 10)->Arg(4 << 20);
BENCHMARK(RunDecode<PlainDecode>)->Name("Decode/plain")->Arg(64 << 10)->Arg(4 << 20);
BENCHMARK(RunDecode<FastDecode>)->Name("Decode/fast")->Arg(64 << 10)->Arg(4 << 20);
BENCHMARK(DecodeWrapped)->Name("Decode/fast_wrapped76")->Arg(4 << 20);
