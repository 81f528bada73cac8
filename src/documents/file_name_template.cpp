#include "documents/file_name_template.h"

#include <cstdio>

#include "support/file_io.h"
#include "support/folders.h"
#include "support/string_list.h"
#include "support/text_utils.h"

namespace vx {

const char kDefaultFileNameTemplate[] = "[PrintName] [PrintUID] [AdressName] [CustomerNumber] [CurrentDate]";

namespace {

// Orders not yet saved in the host have no print number.
constexpr char kNoPrintNumber[] = "Neu";

// The whole-number reading of a print UID: optional blanks and sign, then
// decimal digits only; anything else, or a value beyond 32 bits, reads 0.
long long PrintNumberOf(const std::string& uid) {
  const std::string_view text = TrimView(uid);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) return 0;
  }
  return negative ? -value : (value > 2147483647LL ? 0 : value);
}

std::string FileNameDate(const TCalendarDate& date) {
  char text[48];
  std::snprintf(text, sizeof text, "[%02d.%02d.%04d]", date.Day, date.Month, date.Year);
  return text;
}

}  // namespace

std::string GetProgramDataFolder() { return GetClientRootFolder() + kProgramKey + kPathDelim; }

std::string GetTemplateFileName() { return GetProgramDataFolder() + "TemplateFileName.txt"; }

std::string LoadFileNameTemplate() {
  const std::string text = ReadFileNameTemplate();
  if (!text.empty()) return text;
  TStringList lines;
  lines.Add(kDefaultFileNameTemplate);
  SaveStringsRetry(lines, GetTemplateFileName());
  return kDefaultFileNameTemplate;
}

std::string ReadFileNameTemplate() {
  TStringList lines;
  LoadStringsRetry(lines, GetTemplateFileName());
  std::string result = Trim(lines.Text());
  ReplaceAllText(result, "\r\n", "");
  return result;
}

std::string ProposeOrderFileName(const std::string& fileNameTemplate, const TFileNameValues& values,
                                 const TCalendarDate& today) {
  const std::string uid = PrintNumberOf(values.PrintUID) > 0 ? values.PrintUID : kNoPrintNumber;
  // One after the other on the growing text, as the user's templates
  // have always been read.
  std::string name = fileNameTemplate;
  ReplaceAllText(name, "[AdressName]", values.AdressName);
  ReplaceAllText(name, "[CustomerNumber]", values.CustomerNumber);
  ReplaceAllText(name, "[PrintName]", values.PrintName);
  ReplaceAllText(name, "[PrintUID]", uid);
  ReplaceAllText(name, "[CurrentDate]", FileNameDate(today));
  return MakeFileNameSafe(name, false);
}

}  // namespace vx
