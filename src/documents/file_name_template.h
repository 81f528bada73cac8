// The user-editable template from which the save action proposes an order
// file name: one line with placeholders in square brackets.
#pragma once

#include <string>

namespace vx {

// What the placeholders stand for, read from the order document.
struct TFileNameValues {
  std::string AdressName;      // address "AdressSmart"
  std::string CustomerNumber;  // address "CustomerNumber"
  std::string PrintName;       // order "PrintName"
  std::string PrintUID;        // order "PrintUID" as text
};

struct TCalendarDate {
  int Year = 0;
  int Month = 0;
  int Day = 0;
};

// The template's content when the file is missing or blank.
extern const char kDefaultFileNameTemplate[];

// The program's own folder: client root folder + kProgramKey +
// delimiter. The window keeps its settings and the template there.
std::string GetProgramDataFolder();

// GetProgramDataFolder() + "TemplateFileName.txt".
std::string GetTemplateFileName();

// The template as one line: leading and trailing blanks and control
// characters removed, lines joined without a separator. A missing or blank
// file is first written with the default. Read and write failures raise
// the file error after the retries.
std::string LoadFileNameTemplate();
// The same without writing: "" for a missing or blank file.
std::string ReadFileNameTemplate();

// The file name proposed for an order: "[AdressName]", "[CustomerNumber]",
// "[PrintName]", "[PrintUID]" and "[CurrentDate]" replaced in this order,
// every occurrence, ignoring letter case; then made safe for a file name
// (blanks kept). A print UID that is no whole number above 0 gives "Neu";
// the date is written "[dd.mm.yyyy]", brackets kept. Other bracketed text
// stays. No extension is added.
std::string ProposeOrderFileName(const std::string& fileNameTemplate, const TFileNameValues& values,
                                 const TCalendarDate& today);

}  // namespace vx
