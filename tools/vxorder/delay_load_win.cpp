// What vxorder does when a DLL that it loads on first use (see
// CMakeLists.txt) cannot be loaded or lacks the function: it says so and
// ends as a failed command. The loading helper would otherwise raise an
// exception that nothing catches, and the program would crash.
#include <windows.h>

#include <delayimp.h>

#include <string>

#include "command_support.h"
#include "support/errors.h"

namespace vx::vxorder {
namespace {

std::string FunctionName(const DelayLoadProc& function) {
  return function.fImportByName ? function.szProcName : "#" + std::to_string(function.dwOrdinal);
}

// Called in the middle of a command, on the first call of a function, by
// code that can pass no error on to the command: so the message is
// written and the program ends here.
FARPROC WINAPI DelayLoadFailed(unsigned notification, PDelayLoadInfo info) {
  const std::string reason = SysErrorMessage(static_cast<int>(info->dwLastError));
  const std::string dll = info->szDll;
  if (notification == dliFailLoadLib) {
    Fail("Cannot load " + dll + ": " + reason);
  } else {
    Fail("Cannot find " + FunctionName(info->dlp) + " in " + dll + ": " + reason);
  }
  ExitProcess(1);
}

}  // namespace
}  // namespace vx::vxorder

// MSVC's delayimp.h declares the hook const, fixed when the program is
// linked; mingw-w64's declares a variable.
extern "C" {
#ifdef _MSC_VER
const PfnDliHook __pfnDliFailureHook2 = vx::vxorder::DelayLoadFailed;
#else
PfnDliHook __pfnDliFailureHook2 = vx::vxorder::DelayLoadFailed;
#endif
}
