// What the command groups of vxorder share: output, usage errors and the
// report of a failed command. Every line the tool prints goes through
// WriteBytes, so a console window shows it right whatever its code page.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace vx::vxorder {

// Writes the bytes and flushes them, so that standard output and standard
// error keep their order; unchanged to a file or a pipe, as UTF-16 to a
// console window (WriteConsoleText). False when either fails.
bool WriteBytes(std::FILE* out, const std::string& bytes);
// The bytes and a line end.
bool WriteLine(std::FILE* out, const std::string& bytes);
// Text taken from a file, a file name or a server on a line of its own,
// its control bytes escaped (EscapeControlBytes), so that it can neither
// steer a terminal nor pass for a line of its own.
bool WriteTextLine(std::FILE* out, const std::string& text);

// The message (the error's text as the model raised it) on a line of its
// own on standard error, escaped as WriteTextLine does; returns exit code 1.
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
