// What the command groups of vxorder share: output, usage errors and the
// report of a failed command.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace vx::vxorder {

// Writes the bytes unchanged and flushes them, so that standard output and
// standard error keep their order; false when either fails.
bool WriteBytes(std::FILE* out, const std::string& bytes);
// The bytes and a line end.
bool WriteLine(std::FILE* out, const std::string& bytes);

// The message (the error's text as the model raised it) on a line of its
// own on standard error; returns exit code 1.
int Fail(const std::string& message);

// "usage: vxorder NAME USAGE" on standard error; returns exit code 2.
int WrongArguments(const char* name, const char* usage);

// Runs a command's work; an error it raises ends the command as Fail.
int RunReportingErrors(const std::function<int()>& work);

// Starts the exchange trace when the window's settings (or VX_TRACE=1)
// switch it on, so that the tool's requests go to the window's log too.
// For the commands that talk to the host.
void StartExchangeTraceOfWindow();

}  // namespace vx::vxorder
