#include "support/errors.h"

namespace vx {

namespace {

std::string ReplaceFirstPlaceholder(const std::string& format, const std::string& value) {
  for (size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] == '%' && (format[i + 1] == 's' || format[i + 1] == 'd')) {
      return format.substr(0, i) + value + format.substr(i + 2);
    }
  }
  return format;
}

}  // namespace

std::string FormatText(const std::string& format, const std::string& arg) {
  return ReplaceFirstPlaceholder(format, arg);
}

std::string FormatText(const std::string& format, long long arg) {
  return ReplaceFirstPlaceholder(format, std::to_string(arg));
}

ENotRegularFile NotRegularFileError(const std::string& fileName) {
  // Windows-1252: 0xE4 is the a with diaeresis.
  return ENotRegularFile(FormatText("Datei %s ist keine regul\xe4re Datei", fileName));
}

std::string CannotCreateFileText(const std::string& fileName) {
  return FormatText("Datei %s kann nicht erstellt werden", fileName);
}

std::string CannotOpenFileText(const std::string& fileName, const std::string& reason) {
  return "Cannot open file \"" + fileName + "\". " + reason;
}

std::string CannotReadFileText(const std::string& fileName, const std::string& reason) {
  return "Cannot read file \"" + fileName + "\". " + reason;
}

EStringListError ListIndexError(long long index) {
  // The text is Windows-1252: 0xFC is the u with diaeresis.
  return EStringListError(FormatText("Der Index der Liste \xfc" "berschreitet das Maximum (%d)", index));
}

}  // namespace vx
