// The program's remembered settings: the section "MODE" of "UserMode.INI"
// in a settings folder chosen at start-up. Each call opens, reads or writes
// and frees the file, so no settings object lives between calls. A settings
// file that cannot be read or written never disturbs the caller: the
// readers then give their default and the writers do nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "settings/fast_ini_file.h"

namespace vx {

// The folder of the running program file, with a trailing delimiter.
std::string ProgramFolder();

// Makes folder the settings folder. When its "UserMode.INI" is missing and
// the program's folder has one, that file is copied there first; a failed
// copy is ignored. Setting the current folder again does nothing; an empty
// folder falls back to the program's folder.
void SetSettingsFolder(const std::string& folder);
std::string SettingsFolder();

// The settings file of folder, else of the settings folder, else of the
// program's folder. The caller owns the result; destroying it writes
// pending changes. Nothing is read before the first access.
std::unique_ptr<TFastIniFile> OpenSettingsFile(const std::string& folder = "");

// An empty key gives "". A value stored in double quotes comes back without
// them, each doubled quote inside as one. With writeBack the result is
// written back.
std::string ReadModeString(const std::string& key, const std::string& def = "", const std::string& folder = "",
                           bool writeBack = false);
// Stores the value in double quotes, inner quotes doubled. Nothing for an
// empty key.
void WriteModeString(const std::string& key, const std::string& value, const std::string& folder = "");

// An empty key, or a stored value that is no number, gives def; "$" and
// "0x" introduce hexadecimal.
int ReadModeInteger(const std::string& key, int def, const std::string& folder = "", bool writeBack = false);
void WriteModeInteger(const std::string& key, int value, const std::string& folder = "");

// A key and its value as the file holds it: QuoteText of a text, the
// decimal text of a number.
struct TModeValue {
  std::string Key;
  std::string StoredText;
};
// Writes the values in this order with one save of the settings file, so
// a file that cannot be written costs one failure, not one per key. Empty
// keys are left out.
void WriteModeValues(const std::vector<TModeValue>& values, const std::string& folder = "");

// The text between the double quote at its start and the closing one, each
// doubled quote inside as one; a text that does not start with a double
// quote comes back unchanged.
std::string ExtractQuotedText(const std::string& text);
// The text in double quotes, inner double quotes doubled.
std::string QuoteText(const std::string& text);

}  // namespace vx
