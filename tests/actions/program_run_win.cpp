#include <windows.h>

#include "actions/program_run.h"
#include "support/folders.h"

namespace vx::testing {

namespace {

// Closes the handle when it goes.
struct THandleOwner {
  HANDLE Handle = nullptr;
  ~THandleOwner() {
    if (Handle && Handle != INVALID_HANDLE_VALUE) CloseHandle(Handle);
  }
};

}  // namespace

// Beside the test programs in the build folder.
std::string VxorderProgram() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ExtractFilePath(path) + "..\\..\\tools\\vxorder\\vxorder.exe";
}

TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  TProgramRun run;
  std::string commandLine = "\"" + program + "\"";
  for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  THandleOwner readEnd;
  THandleOwner writeEnd;
  THandleOwner nul;
  THandleOwner errors;
  if (!CreatePipe(&readEnd.Handle, &writeEnd.Handle, &inherit, 0)) return run;
  SetHandleInformation(readEnd.Handle, HANDLE_FLAG_INHERIT, 0);
  nul.Handle = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  // Standard error goes to a file of its own, read once the program ended.
  char folder[MAX_PATH] = "";
  char errorFile[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "vxr", 0, errorFile);
  errors.Handle = CreateFileA(errorFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul.Handle;
  startup.hStdOutput = writeEnd.Handle;
  startup.hStdError = errors.Handle;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    return run;
  }
  THandleOwner process{info.hProcess};
  THandleOwner thread{info.hThread};
  // Only the child may hold the write end now, so the reads end with it.
  CloseHandle(writeEnd.Handle);
  writeEnd.Handle = nullptr;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(readEnd.Handle, buffer, sizeof buffer, &count, nullptr) && count > 0) run.Output.append(buffer, count);
  WaitForSingleObject(process.Handle, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process.Handle, &code)) run.ExitCode = static_cast<int>(code);
  SetFilePointer(errors.Handle, 0, nullptr, FILE_BEGIN);
  while (ReadFile(errors.Handle, buffer, sizeof buffer, &count, nullptr) && count > 0) run.Errors.append(buffer, count);
  return run;
}

std::vector<std::string> PlatformDoctorChecks() { return {"clipboard format", "work area"}; }

}  // namespace vx::testing
