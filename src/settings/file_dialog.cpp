#include "settings/file_dialog.h"

#include <algorithm>

#include "settings/settings_store.h"
#include "support/folders.h"

namespace vx {

namespace {

const char kKeyPrefix[] = "OSOpenSaveFile.";

std::string SizeKeyBase(const std::string& dialogKey) {
  return kKeyPrefix + (dialogKey.empty() ? std::string("Default") : dialogKey);
}

}  // namespace

std::string FilterIndexKey(const std::string& dialogKey) { return kKeyPrefix + dialogKey + ".FI"; }

std::string DialogFolderKey(const std::string& folderKey) { return kKeyPrefix + folderKey; }

std::string DialogWidthKey(const std::string& dialogKey) { return SizeKeyBase(dialogKey) + ".SWidth"; }

// The key's spelling is the one the settings files already hold.
std::string DialogHeightKey(const std::string& dialogKey) { return SizeKeyBase(dialogKey) + ".SHeigth"; }

void ResetDialogFilterIndex(const std::string& dialogKey) {
  if (!dialogKey.empty()) WriteModeInteger(FilterIndexKey(dialogKey), 1);
}

int FilterPairCount(const std::string& filter) {
  return (static_cast<int>(std::count(filter.begin(), filter.end(), '|')) + 1) / 2;
}

std::string SystemFilterText(const std::string& filter) {
  std::string text = filter;
  std::replace(text.begin(), text.end(), '|', '\0');
  text.append(2, '\0');
  return text;
}

int InitialFilterIndex(const std::string& dialogKey, const std::string& filter) {
  if (dialogKey.empty()) return 1;
  const int index = ReadModeInteger(FilterIndexKey(dialogKey), 1);
  return index > FilterPairCount(filter) ? 1 : index;
}

std::string InitialDialogFolder(const std::string& folderKey, const std::string& defaultFolder, bool save) {
  const std::string folder =
      folderKey.empty() ? defaultFolder : ReadModeString(DialogFolderKey(folderKey), defaultFolder);
  if (folder.empty()) return folder;
  if (save && !FolderIsPresent(folder)) CreateFolderTree(folder);
  return AddBackslash(folder);
}

void RememberDialogOutcome(const std::string& dialogKey, const std::string& folderKey,
                           const TDialogOutcome& outcome) {
  std::vector<TModeValue> values;
  if (outcome.SizeKnown) {
    values.push_back({DialogWidthKey(dialogKey), std::to_string(outcome.Width)});
    values.push_back({DialogHeightKey(dialogKey), std::to_string(outcome.Height)});
  }
  if (outcome.Confirmed && !folderKey.empty()) {
    values.push_back({DialogFolderKey(folderKey), QuoteText(ExtractFilePath(outcome.FileName))});
  }
  if (outcome.Confirmed && !dialogKey.empty()) {
    values.push_back({FilterIndexKey(dialogKey), std::to_string(outcome.FilterIndex)});
  }
  if (!values.empty()) WriteModeValues(values);
}

std::vector<std::string> SplitDialogResult(std::string_view buffer) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < buffer.size() && buffer[start] != '\0') {
    const size_t end = std::min(buffer.find('\0', start), buffer.size());
    parts.emplace_back(buffer.substr(start, end - start));
    start = end + 1;
  }
  if (parts.size() <= 1) return parts;
  std::vector<std::string> names;
  const std::string folder = AddBackslash(parts[0]);
  for (size_t i = 1; i < parts.size(); ++i) names.push_back(folder + parts[i]);
  return names;
}

void PlaceOnMonitor(const TScreenRect& monitor, int width, int height, int* left, int* top) {
  *left = monitor.Left + (monitor.Right - monitor.Left - width) / 2;
  *top = monitor.Top + (monitor.Bottom - monitor.Top - height) / 3;
}

}  // namespace vx
