// The whole-file rows without Google Benchmark, so that they also run in
// the Windows build:
//  - vxorder check, compact and format against a RapidJSON and an nlohmann
//    program doing the same work, on the two generated order files; each
//    run is a process of its own, the programs take turns in every round,
//    and the table gives median times, peak memory and their ratios;
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
// while it starts programs: a run of itself writes the order files, and
// outputs are compared piece by piece.
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
#include "order_files.h"
#include "peer_file.h"
#include "rapidjson_pretty.h"
#include "support/errors.h"

namespace vx::bench {
namespace {

const char kUsage[] =
    "usage: json_file_ratio --vxorder PATH --rapidjson PATH [--nlohmann PATH] [--rounds N] [--folder DIR]\n"
    "                       [--orders small|all]\n"
    "       json_file_ratio --write-order POSITIONS ATTACHMENTS(0|1) FILE\n"
    "  --rounds N        runs of each program per row (default 5)\n"
    "  --folder DIR      where the order files are written (default: a folder in the temporary folder)\n"
    "  --orders small    only the file of 10000 positions (default all: also the attachments)\n";

struct TOptions {
  std::string Self;
  std::vector<std::string> Programs;  // vxorder first, then the peers
  std::vector<std::string> Names;
  int Rounds = 5;
  std::string Folder;
  bool AllOrders = true;
};

bool ParseOptions(int argc, char** argv, TOptions& options) {
  options.Self = argv[0];
  std::string vxorder, rapidjson, nlohmann;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--vxorder") {
      vxorder = value;
    } else if (option == "--rapidjson") {
      rapidjson = value;
    } else if (option == "--nlohmann") {
      nlohmann = value;
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
  options.Programs = {vxorder, rapidjson};
  options.Names = {"vxorder", "RapidJSON"};
  if (!nlohmann.empty()) {
    options.Programs.push_back(nlohmann);
    options.Names.push_back("nlohmann");
  }
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

// One row: the command on one file, every program in turn, each round
// starting with another one so that a drift of the machine favours none.
std::vector<TMeasure> RunRow(const TOptions& options, const std::string& command, const std::string& file) {
  std::vector<TMeasure> measures(options.Programs.size());
  for (int round = 0; round < options.Rounds; ++round) {
    for (size_t turn = 0; turn < options.Programs.size(); ++turn) {
      const size_t program = (turn + static_cast<size_t>(round)) % options.Programs.size();
      const std::string out = options.Folder + "/out-" + options.Names[program];
      std::vector<std::string> arguments = {options.Programs[program], command, file};
      if (command == "format") arguments.push_back(out + ".json");
      const TChildRun run = RunChild(arguments, out + ".txt");
      if (run.ExitCode != 0) throw Exception(options.Names[program] + " " + command + " failed on " + file);
      measures[program].Seconds.push_back(run.Seconds);
      measures[program].Megabytes.push_back(run.PeakMegabytes);
    }
  }
  return measures;
}

std::string OrderFileName(const TOptions& options, const TOrderFile& order) {
  return options.Folder + "/orders-" + std::to_string(order.Positions) + (order.Attachments ? "-attachments" : "") +
         ".json";
}

// Medians of each program's runs of one command.
struct TRow {
  std::vector<double> Seconds;
  std::vector<double> Megabytes;
};

std::vector<TRow> Medians(const std::vector<TMeasure>& measures) {
  std::vector<TRow> rows;
  for (const TMeasure& measure : measures) rows.push_back({{Median(measure.Seconds)}, {Median(measure.Megabytes)}});
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

void PrintOrderRows(const TOptions& options) {
  const std::vector<std::vector<TRow>> starts = MeasureStarts(options);
  std::printf("Whole-file runs, median of %d rounds: milliseconds and peak memory in MB; vxorder's ratio to\n",
              options.Rounds);
  std::printf("each peer for time and memory, and for memory net of each program's start on a tiny order\n");
  std::printf("(below 1.00: vxorder needs less)\n\n");
  std::printf("start:  ");
  for (size_t program = 0; program < options.Names.size(); ++program) {
    std::printf("  %s %.1f ms %.1f MB", options.Names[program].c_str(), starts[0][program].Seconds[0] * 1000,
                starts[0][program].Megabytes[0]);
  }
  std::printf("  (check)\n\n");
  std::printf("%-8s %-16s %8s %6s", "command", "file", "vxorder", "MB");
  for (size_t peer = 1; peer < options.Names.size(); ++peer) {
    std::printf(" | %9s %6s %5s %5s %5s", options.Names[peer].c_str(), "MB", "time", "mem", "net m");
  }
  std::printf("\n");
  for (const TOrderFile& order : kOrderFiles) {
    if (order.Attachments && !options.AllOrders) continue;
    const std::string file = OrderFileName(options, order);
    const TChildRun written = RunChild({options.Self, "--write-order", std::to_string(order.Positions),
                                        order.Attachments ? "1" : "0", file},
                                       options.Folder + "/out-write.txt");
    if (written.ExitCode != 0) throw Exception("cannot write " + file);
    for (size_t c = 0; c < std::size(kCommands); ++c) {
      const char* command = kCommands[c];
      const std::vector<TRow> rows = Medians(RunRow(options, command, file));
      const std::vector<TRow>& start = starts[c];
      const double vxSeconds = rows[0].Seconds[0];
      const double vxMegabytes = rows[0].Megabytes[0];
      std::printf("%-8s %-16s %8.1f %6.1f", command, order.Label, vxSeconds * 1000, vxMegabytes);
      for (size_t peer = 1; peer < rows.size(); ++peer) {
        const double seconds = rows[peer].Seconds[0];
        const double megabytes = rows[peer].Megabytes[0];
        const double netMegabytes =
            (vxMegabytes - start[0].Megabytes[0]) / (megabytes - start[peer].Megabytes[0]);
        std::printf(" | %9.1f %6.1f %5.2f %5.2f %5.2f", seconds * 1000, megabytes, vxSeconds / seconds,
                    vxMegabytes / megabytes, netMegabytes);
      }
      std::printf("\n");
      std::fflush(stdout);
      // The generated files are vxorder's own compact text, which compact
      // must give back byte for byte.
      if (std::string(command) == "compact" && !SameBytes(options.Folder + "/out-vxorder.txt", file)) {
        throw Exception("vxorder compact changed the bytes of " + file);
      }
    }
  }
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
  for (const TOrderFile& order : kOrderFiles) {
    if (order.Attachments && !options.AllOrders) continue;
    const std::string file = OrderFileName(options, order);
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
      std::printf("%-8s %-16s %9.1f %10.1f %6.2f\n", work.Command, order.Label, modelTime, rapidTime,
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
  if (argc == 5 && std::string(argv[1]) == "--write-order") {
    vx::bench::WriteFile(argv[4], vx::bench::MakeOrderText(std::atoi(argv[2]), std::string(argv[3]) == "1"));
    return 0;
  }
  vx::bench::TOptions options;
  if (!vx::bench::ParseOptions(argc, argv, options)) {
    std::fputs(vx::bench::kUsage, stderr);
    return 2;
  }
  try {
    std::filesystem::create_directories(options.Folder);
    vx::bench::PrintOrderRows(options);
    vx::bench::PrintInProcessRows(options);
    vx::bench::PrintHostileRows(options);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
