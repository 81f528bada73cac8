// Error kinds of the program. Every failure is an exception carrying a
// message text; texts are Windows-1252 byte strings.
#pragma once

#include <stdexcept>
#include <string>

namespace vx {

// The general error: a message text and nothing else.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Input/output error with a numeric code (for example 3 when a folder
// cannot be created).
class EInOutError : public Exception {
 public:
  EInOutError(int code, const std::string& message) : Exception(message), ErrorCode(code) {}
  int ErrorCode;
};

// A file could not be created or opened for writing.
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};

// An index outside a list.
class EStringListError : public Exception {
 public:
  using Exception::Exception;
};

// A file stream failed; the text names the file and the system's reason.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// A pipe, device or folder stands where a file was expected. Reading one
// could wait for ever, and waiting never makes it a file, so no retry
// loop tries it again.
class ENotRegularFile : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// "Datei <fileName> ist keine reguläre Datei".
ENotRegularFile NotRegularFileError(const std::string& fileName);

// Replaces each "%s" / "%d" in turn by the next argument; the fixed German
// and English message formats of the program only use these two.
std::string FormatText(const std::string& format, const std::string& arg);
std::string FormatText(const std::string& format, long long arg);

// "Der Index der Liste überschreitet das Maximum (<index>)".
EStringListError ListIndexError(long long index);

// The texts of the file and folder errors that reach the user, each built
// in this one place (the window's message list names them all).
// "Datei <fileName> kann nicht erstellt werden".
std::string CannotCreateFileText(const std::string& fileName);
// "Cannot open file "<fileName>". <reason>", and the same for reading.
std::string CannotOpenFileText(const std::string& fileName, const std::string& reason);
std::string CannotReadFileText(const std::string& fileName, const std::string& reason);
// An empty folder name given to be created.
constexpr char kCannotCreateFolderText[] = "Verzeichnis kann nicht erstellt werden";
// A file the one-block readers (mapped or whole) cannot open or read.
constexpr char kOsErrorText[] = "OSError";
// Before the system's reason when Windows names no public documents folder.
constexpr char kSystemErrorPrefix[] = "Systemfehler:\r\n";

// The system's description of an OS error code (GetLastError / errno).
std::string SysErrorMessage(int code);

// The calling thread's last OS error code, read at once.
int LastOsError();

}  // namespace vx
