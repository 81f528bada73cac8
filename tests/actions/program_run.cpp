#include "actions/program_run.h"

#include <filesystem>

#include "process/child_process.h"
#include "support/file_contents.h"
#include "support/guid.h"

namespace vx::testing {

TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  // Standard output and error go to files of their own, read once the
  // program ended: the temporary folder's root, not the exchange's folder
  // below it, which the doctor looks through.
  const std::filesystem::path stem =
      std::filesystem::temp_directory_path() / ("vx-program-run-" + std::to_string(NewGuidHash()));
  TChildOptions options;
  options.EmptyInput = true;
  options.OutputFile = stem.string() + ".out";
  options.ErrorFile = stem.string() + ".err";
  std::vector<std::string> args = {program};
  args.insert(args.end(), arguments.begin(), arguments.end());
  TProgramRun run;
  run.ExitCode = TChildProcess(args, options).Wait();
  run.Output = ReadFileBytes(options.OutputFile);
  run.Errors = ReadFileBytes(options.ErrorFile);
  std::error_code ignored;
  std::filesystem::remove(options.OutputFile, ignored);
  std::filesystem::remove(options.ErrorFile, ignored);
  return run;
}

}  // namespace vx::testing
