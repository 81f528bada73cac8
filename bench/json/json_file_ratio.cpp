// The whole-file rows without Google Benchmark, so that they also run in
// the Windows build:
//  - vxorder check, compact and format against a RapidJSON, an nlohmann
//    and (natively) a simdjson program doing the same work, on the two
//    generated order files and the three other shapes; each run is a
//    process of its own, the programs take turns in every round, and the
//    table gives median times, peak memory and their ratios, and then the
//    size of each program's output, which shows that they wrote the same
//    document (each in its library's way);
//  - the same work done by the model and by RapidJSON in this process,
//    where no program's start counts;
//  - the hostile shapes against benign texts of the same size and depth,
//    loaded in this process, as a factor.
// Each program's start (reading and writing a tiny order) is measured too,
// and the memory ratios are also given net of it: under wine vxorder.exe
// starts slower and larger than the peers because its other commands need
// more DLLs, which has nothing to do with the work on the file. There a
// start also varies more than the work takes, hence the rows in one
// process for time.
// A child's peak memory counts what its parent held when it was started
// (POSIX starts it from the parent's memory), so this process stays small
// while it starts programs: a run of itself writes each file, and outputs
// are compared piece by piece.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "child_process.h"
#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "json_files.h"
#include "order_files.h"
#include "peer_file.h"
#include "rapidjson_pretty.h"
#include "support/errors.h"

namespace vx::bench {
namespace {

const char kUsage[] =
    "usage: json_file_ratio --vxorder PATH --rapidjson PATH [--nlohmann PATH] [--simdjson PATH] [--rounds N]\n"
    "                       [--folder DIR] [--orders small|all]\n"
    "       json_file_ratio --write-file N FILE\n"
    "  --simdjson PATH   a program without format (simdjson has no pretty writer)\n"
    "  --rounds N        runs of each program per row (default 5)\n"
    "  --folder DIR      where the files are written (default: a folder in the temporary folder)\n"
    "  --orders small    of the order files only the one of 10000 positions (default all: also the\n"
    "                    attachments)\n"
    "  --write-file N    writes the Nth file of the rows (from 0), for a run of this program itself\n";

struct TProgram {
  std::string Name;
  std::string Path;
  bool Formats = true;  // knows the format command
};

struct TOptions {
  std::string Self;
  std::vector<TProgram> Programs;  // vxorder first, then the peers
  int Rounds = 5;
  std::string Folder;
  bool AllOrders = true;
};

bool ParseOptions(int argc, char** argv, TOptions& options) {
  options.Self = argv[0];
  std::string vxorder, rapidjson, nlohmann, simdjson;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--vxorder") {
      vxorder = value;
    } else if (option == "--rapidjson") {
      rapidjson = value;
    } else if (option == "--nlohmann") {
      nlohmann = value;
    } else if (option == "--simdjson") {
      simdjson = value;
    } else if (option == "--folder") {
      options.Folder = value;
    } else if (option == "--orders" && (value == "small" || value == "all")) {
      options.AllOrders = value == "all";
    } else if (option == "--rounds") {
      options.Rounds = std::atoi(value.c_str());
      if (options.Rounds < 1 || options.Rounds > 1000) return false;
    } else {
      return false;
    }
  }
  if (argc % 2 == 0 || vxorder.empty() || rapidjson.empty()) return false;
  options.Programs = {{"vxorder", vxorder}, {"RapidJSON", rapidjson}};
  if (!nlohmann.empty()) options.Programs.push_back({"nlohmann", nlohmann});
  if (!simdjson.empty()) options.Programs.push_back({"simdjson", simdjson, false});
  if (options.Folder.empty()) options.Folder = (std::filesystem::temp_directory_path() / "vx-json-ratio").string();
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw Exception("cannot write " + name);
}

// True when both files hold the same bytes.
bool SameBytes(const std::string& first, const std::string& second) {
  std::ifstream a(first, std::ios::binary);
  std::ifstream b(second, std::ios::binary);
  std::vector<char> blockA(1 << 16);
  std::vector<char> blockB(1 << 16);
  while (a && b) {
    a.read(blockA.data(), static_cast<std::streamsize>(blockA.size()));
    b.read(blockB.data(), static_cast<std::streamsize>(blockB.size()));
    if (a.gcount() != b.gcount() || !std::equal(blockA.begin(), blockA.begin() + a.gcount(), blockB.begin())) {
      return false;
    }
  }
  return a.eof() && b.eof();
}

struct TMeasure {
  std::vector<double> Seconds;
  std::vector<double> Megabytes;
};

bool Knows(const TProgram& program, const std::string& command) { return command != "format" || program.Formats; }

// Where a program's run writes: standard output to Output(...) + ".txt",
// format's file to Output(...) + ".json".
std::string Output(const TOptions& options, const TProgram& program) {
  return options.Folder + "/out-" + program.Name;
}

// One row: the command on one file, every program that knows it in turn,
// each round starting with another one so that a drift of the machine
// favours none. A program that does not know the command has no measures.
std::vector<TMeasure> RunRow(const TOptions& options, const std::string& command, const std::string& file) {
  std::vector<TMeasure> measures(options.Programs.size());
  for (int round = 0; round < options.Rounds; ++round) {
    for (size_t turn = 0; turn < options.Programs.size(); ++turn) {
      const size_t index = (turn + static_cast<size_t>(round)) % options.Programs.size();
      const TProgram& program = options.Programs[index];
      if (!Knows(program, command)) continue;
      std::vector<std::string> arguments = {program.Path, command, file};
      if (command == "format") arguments.push_back(Output(options, program) + ".json");
      const TChildRun run = RunChild(arguments, Output(options, program) + ".txt");
      if (run.ExitCode != 0) throw Exception(program.Name + " " + command + " failed on " + file);
      measures[index].Seconds.push_back(run.Seconds);
      measures[index].Megabytes.push_back(run.PeakMegabytes);
    }
  }
  return measures;
}

// Medians of a program's runs of one command; none for a program that does
// not know it.
struct TRow {
  bool Measured = false;
  double Seconds = 0;
  double Megabytes = 0;
};

std::vector<TRow> Medians(const std::vector<TMeasure>& measures) {
  std::vector<TRow> rows;
  for (const TMeasure& measure : measures) {
    rows.push_back(measure.Seconds.empty() ? TRow() : TRow{true, Median(measure.Seconds), Median(measure.Megabytes)});
  }
  return rows;
}

const char* const kCommands[] = {"check", "compact", "format"};

// Each program's run of each command on a tiny order.
std::vector<std::vector<TRow>> MeasureStarts(const TOptions& options) {
  const std::string tiny = options.Folder + "/tiny-order.json";
  WriteFile(tiny, "{\"Order\":[{\"Adress\":[{}],\"Parts\":[]}]}");
  std::vector<std::vector<TRow>> starts;
  for (const char* command : kCommands) starts.push_back(Medians(RunRow(options, command, tiny)));
  return starts;
}

// Stands where a program does not know the command. It takes three bytes
// of UTF-8 and one column, so its fields are two bytes wider.
const char kDash[] = "\xe2\x80\x93";

void PrintTableHead(const TOptions& options, const std::vector<TRow>& checkStarts) {
  std::printf("Whole-file runs, median of %d rounds: milliseconds and peak memory in MB; vxorder's ratio to\n",
              options.Rounds);
  std::printf("each peer for time and memory, and for memory net of each program's start on a tiny order\n");
  std::printf("(below 1.00: vxorder needs less; %s: the peer has no such command)\n\n", kDash);
  std::printf("start:  ");
  for (size_t program = 0; program < options.Programs.size(); ++program) {
    std::printf("  %s %.1f ms %.1f MB", options.Programs[program].Name.c_str(), checkStarts[program].Seconds * 1000,
                checkStarts[program].Megabytes);
  }
  std::printf("  (check)\n\n");
  std::printf("%-8s %-16s %8s %6s", "command", "file", "vxorder", "MB");
  for (size_t peer = 1; peer < options.Programs.size(); ++peer) {
    std::printf(" | %9s %6s %5s %5s %5s", options.Programs[peer].Name.c_str(), "MB", "time", "mem", "net m");
  }
  std::printf("\n");
}

void PrintRow(const char* command, const char* label, const std::vector<TRow>& rows, const std::vector<TRow>& starts) {
  const TRow& ours = rows[0];
  std::printf("%-8s %-16s %8.1f %6.1f", command, label, ours.Seconds * 1000, ours.Megabytes);
  for (size_t peer = 1; peer < rows.size(); ++peer) {
    const TRow& theirs = rows[peer];
    if (!theirs.Measured) {
      std::printf(" | %11s %8s %7s %7s %7s", kDash, kDash, kDash, kDash, kDash);
      continue;
    }
    const double netMegabytes = (ours.Megabytes - starts[0].Megabytes) / (theirs.Megabytes - starts[peer].Megabytes);
    std::printf(" | %9.1f %6.1f %5.2f %5.2f %5.2f", theirs.Seconds * 1000, theirs.Megabytes,
                ours.Seconds / theirs.Seconds, ours.Megabytes / theirs.Megabytes, netMegabytes);
  }
  std::printf("\n");
  std::fflush(stdout);
}

// The size of what each program wrote for one command on one file, in MB;
// below 0 for a program that does not know the command.
struct TOutputSizes {
  const char* Command;
  const char* Label;
  std::vector<double> Megabytes;
};

TOutputSizes MeasureOutputs(const TOptions& options, const char* command, const char* label) {
  TOutputSizes sizes{command, label, {}};
  const char* ending = std::string(command) == "format" ? ".json" : ".txt";
  for (const TProgram& program : options.Programs) {
    double megabytes = -1;
    if (Knows(program, command)) {
      megabytes = static_cast<double>(std::filesystem::file_size(Output(options, program) + ending)) / (1 << 20);
    }
    sizes.Megabytes.push_back(megabytes);
  }
  return sizes;
}

void PrintOutputSizes(const TOptions& options, const std::vector<TOutputSizes>& outputs) {
  std::printf("\nWhat each program wrote, MB: the same document, each in its library's way (the model\n");
  std::printf("escapes the bytes above 0x7F and the slash, writes 15 significant digits and an integer\n");
  std::printf("of more than 15 digits as 1.23456789012346E17)\n\n");
  std::printf("%-8s %-16s", "command", "file");
  for (const TProgram& program : options.Programs) std::printf(" %10s", program.Name.c_str());
  std::printf("\n");
  for (const TOutputSizes& sizes : outputs) {
    std::printf("%-8s %-16s", sizes.Command, sizes.Label);
    for (const double megabytes : sizes.Megabytes) {
      if (megabytes < 0) {
        std::printf(" %12s", kDash);
      } else {
        std::printf(" %10.2f", megabytes);
      }
    }
    std::printf("\n");
  }
}

// The files of the rows, as indexes into kJsonFiles.
std::vector<size_t> FileIndexes(const TOptions& options) {
  std::vector<size_t> indexes;
  for (size_t index = 0; index < std::size(kJsonFiles); ++index) {
    if (options.AllOrders || !kJsonFiles[index].Large) indexes.push_back(index);
  }
  return indexes;
}

// Where the whole-file rows write kJsonFiles[index], which the rows in
// this process read again.
std::string JsonFileName(const TOptions& options, size_t index) {
  return options.Folder + "/file-" + std::to_string(index) + ".json";
}

void PrintWholeFileRows(const TOptions& options) {
  const std::vector<std::vector<TRow>> starts = MeasureStarts(options);
  PrintTableHead(options, starts[0]);
  std::vector<TOutputSizes> outputs;
  for (const size_t index : FileIndexes(options)) {
    const TJsonFile& json = kJsonFiles[index];
    const std::string file = JsonFileName(options, index);
    const TChildRun written =
        RunChild({options.Self, "--write-file", std::to_string(index), file}, options.Folder + "/out-write.txt");
    if (written.ExitCode != 0) throw Exception("cannot write " + file);
    for (size_t c = 0; c < std::size(kCommands); ++c) {
      const std::string command = kCommands[c];
      PrintRow(kCommands[c], json.Label, Medians(RunRow(options, command, file)), starts[c]);
      if (command != "check") outputs.push_back(MeasureOutputs(options, kCommands[c], json.Label));
      // The order files are vxorder's own compact text, which compact must
      // give back byte for byte.
      if (command == "compact" && json.OwnCompactText &&
          !SameBytes(Output(options, options.Programs[0]) + ".txt", file)) {
        throw Exception("vxorder compact changed the bytes of " + file);
      }
    }
  }
  PrintOutputSizes(options, outputs);
}

template <typename TWork>
double Milliseconds(TWork work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The median milliseconds of first and of second, which take turns at
// going first.
std::pair<double, double> InterleavedMedians(const std::function<void()>& first, const std::function<void()>& second,
                                             int rounds) {
  std::vector<double> firstTimes;
  std::vector<double> secondTimes;
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      firstTimes.push_back(Milliseconds(first));
      secondTimes.push_back(Milliseconds(second));
    } else {
      secondTimes.push_back(Milliseconds(second));
      firstTimes.push_back(Milliseconds(first));
    }
  }
  return {Median(firstTimes), Median(secondTimes)};
}

void WriteBytes(const std::string& name, const char* bytes, size_t size) {
  std::FILE* out = std::fopen(name.c_str(), "wb");
  if (out == nullptr) throw Exception("cannot write " + name);
  std::fwrite(bytes, 1, size, out);
  std::fclose(out);
}

// The work of one command on a file, done by the model and by RapidJSON.
struct TWork {
  const char* Command;
  std::function<void()> Model;
  std::function<void()> RapidJSON;
};

std::vector<TWork> MakeWork(const std::string& file, const std::string& out, const TFastJSON& model,
                            const rapidjson::Document& rapid) {
  return {
      {"load",
       [&file] {
         TFastJSON json;
         json.LoadFromFile(file, false, true);
       },
       [&file] {
         std::string text;
         ReadWholeFile(file, &text);
         rapidjson::Document json;
         json.Parse(text.data(), text.size());
       }},
      {"compact",
       [&out, &model] {
         const std::string text = model.Stringify();
         WriteBytes(out, text.data(), text.size());
       },
       [&out, &rapid] {
         rapidjson::StringBuffer buffer;
         rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
         rapid.Accept(writer);
         WriteBytes(out, buffer.GetString(), buffer.GetSize());
       }},
      {"format", [&out, &model] { model.SaveToFile(out, false, TJSONFormatter::Create); },
       [&out, &rapid] {
         if (!WriteRapidJSONPretty(rapid, out)) throw Exception("cannot write " + out);
       }},
  };
}

void PrintInProcessRows(const TOptions& options) {
  std::printf("\nThe same work in this process (no program's start), median of %d rounds: milliseconds\n\n",
              options.Rounds);
  std::printf("%-8s %-16s %9s %10s %6s\n", "work", "file", "model", "RapidJSON", "ratio");
  for (const size_t index : FileIndexes(options)) {
    const std::string file = JsonFileName(options, index);
    TFastJSON model;
    model.LoadFromFile(file, false, true);
    std::string text;
    ReadWholeFile(file, &text);
    rapidjson::Document rapid;
    rapid.Parse(text.data(), text.size());
    text = std::string();
    const std::string out = options.Folder + "/out-in-process.json";
    for (const TWork& work : MakeWork(file, out, model, rapid)) {
      const auto [modelTime, rapidTime] = InterleavedMedians(work.Model, work.RapidJSON, options.Rounds);
      std::printf("%-8s %-16s %9.1f %10.1f %6.2f\n", work.Command, kJsonFiles[index].Label, modelTime, rapidTime,
                  modelTime / rapidTime);
      std::fflush(stdout);
    }
  }
}

void PrintHostileRows(const TOptions& options) {
  std::printf("\nHostile texts loaded against benign ones of the same size and depth, median of %d rounds\n\n",
              options.Rounds);
  std::printf("%-32s %6s %7s %12s %12s %7s\n", "shape", "MB", "levels", "hostile ms", "benign ms", "factor");
  for (const size_t megabytes : {8, 20}) {
    const int depth = 999;
    for (const TJsonShape& shape : MakeHostileShapes(megabytes << 20, depth)) {
      const auto [hostile, benign] = InterleavedMedians([&shape] { LoadIgnoringErrors(shape.Hostile); },
                                                        [&shape] { LoadIgnoringErrors(shape.Benign); }, options.Rounds);
      std::printf("%-32s %6zu %7d %12.1f %12.1f %7.2f\n", shape.Label, megabytes, depth, hostile, benign,
                  hostile / benign);
      std::fflush(stdout);
    }
  }
}

}  // namespace
}  // namespace vx::bench

int main(int argc, char** argv) {
  vx::bench::TOptions options;
  const bool writing = argc == 4 && std::string(argv[1]) == "--write-file";
  if (!writing && !vx::bench::ParseOptions(argc, argv, options)) {
    std::fputs(vx::bench::kUsage, stderr);
    return 2;
  }
  try {
    if (writing) {
      const size_t index = static_cast<size_t>(std::atoi(argv[2]));
      if (index >= std::size(vx::bench::kJsonFiles)) throw vx::Exception(std::string("no file ") + argv[2]);
      vx::bench::WriteFile(argv[3], vx::bench::kJsonFiles[index].Make());
      return 0;
    }
    std::filesystem::create_directories(options.Folder);
    vx::bench::PrintWholeFileRows(options);
    vx::bench::PrintInProcessRows(options);
    vx::bench::PrintHostileRows(options);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
