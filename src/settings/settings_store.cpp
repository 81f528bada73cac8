#include "settings/settings_store.h"

#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"

namespace vx {

namespace {

const char kSettingsFileName[] = "UserMode.INI";
const char kModeSection[] = "MODE";

std::string& CurrentFolder() {
  static std::string folder;
  return folder;
}

std::string SettingsFileOf(const std::string& folder) { return AddPathDelim(folder) + kSettingsFileName; }

}  // namespace

void SetSettingsFolder(const std::string& folder) {
  if (folder == CurrentFolder()) return;
  const std::string target = SettingsFileOf(folder.empty() ? ProgramFolder() : folder);
  const std::string source = SettingsFileOf(ProgramFolder());
  try {
    if (!FileIsPresent(target) && FileIsPresent(source)) CopyFileOnce(source, target);
  } catch (const std::exception&) {
    // Without the copy the settings start from their defaults, which is no
    // reason to hold up the window's start with further attempts.
  }
  CurrentFolder() = folder;
}

std::string SettingsFolder() { return CurrentFolder(); }

std::unique_ptr<TFastIniFile> OpenSettingsFile(const std::string& folder) {
  std::string chosen = folder.empty() ? CurrentFolder() : folder;
  if (chosen.empty()) chosen = ProgramFolder();
  return std::make_unique<TFastIniFile>(SettingsFileOf(chosen));
}

std::string ExtractQuotedText(const std::string& text) {
  if (text.empty() || text[0] != '"') return text;
  std::string result;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '"') {
      if (i + 1 >= text.size() || text[i + 1] != '"') break;
      ++i;
    }
    result += text[i];
  }
  return result;
}

std::string QuoteText(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    result += c;
    if (c == '"') result += '"';
  }
  return result + "\"";
}

std::string ReadModeString(const std::string& key, const std::string& def, const std::string& folder,
                           bool writeBack) {
  if (key.empty()) return "";
  std::string result = def;
  try {
    std::unique_ptr<TFastIniFile> file = OpenSettingsFile(folder);
    file->StripQuotes = false;
    result = ExtractQuotedText(file->ReadString(kModeSection, key, def));
  } catch (const std::exception&) {
    result = def;
  }
  if (writeBack) WriteModeString(key, result, folder);
  return result;
}

void WriteModeString(const std::string& key, const std::string& value, const std::string& folder) {
  WriteModeValues({{key, QuoteText(value)}}, folder);
}

void WriteModeValues(const std::vector<TModeValue>& values, const std::string& folder) {
  try {
    std::unique_ptr<TFastIniFile> file = OpenSettingsFile(folder);
    for (const TModeValue& value : values) {
      if (!value.Key.empty()) file->WriteString(kModeSection, value.Key, value.StoredText);
    }
    file->UpdateFile();
  } catch (const std::exception&) {
    // The settings are simply not remembered.
  }
}

int ReadModeInteger(const std::string& key, int def, const std::string& folder, bool writeBack) {
  if (key.empty()) return def;
  int result = def;
  try {
    result = OpenSettingsFile(folder)->ReadInteger(kModeSection, key, def);
  } catch (const std::exception&) {
    result = def;
  }
  if (writeBack) WriteModeInteger(key, result, folder);
  return result;
}

void WriteModeInteger(const std::string& key, int value, const std::string& folder) {
  WriteModeValues({{key, std::to_string(value)}}, folder);
}

}  // namespace vx
