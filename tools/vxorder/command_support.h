// What the command groups of vxorder share: output, usage errors and the
// report of a failed command. Every line the tool prints goes through
// WriteBytes, so a console window shows it right whatever its code page.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "support/streams.h"

namespace vx::vxorder {

// Writes the bytes and flushes them, so that standard output and standard
// error keep their order; unchanged to a file or a pipe, as UTF-16 to a
// console window (WriteConsoleText). False when either fails.
bool WriteBytes(std::FILE* out, const std::string& bytes);
// The bytes and a line end.
bool WriteLine(std::FILE* out, const std::string& bytes);

// A stream onto out for output made in pieces (a document written block by
// block): each piece goes out with WriteBytes as it comes. After a write
// failed it takes every byte without writing it, so that the writer runs
// to its end, and Failed tells.
class TOutputStream : public TStream {
 public:
  explicit TOutputStream(std::FILE* out) : FOut(out) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // The position cannot move: it stays where the bytes written end.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return FWritten; }

  bool Failed() const { return FFailed; }

 private:
  std::FILE* const FOut;
  int64_t FWritten = 0;
  bool FFailed = false;
};
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
