// vxorder doctor: every check the window depends on, one line each, for
// support staff who must find out why the window cannot reach the host or
// a button seems to do nothing.
#pragma once

#include <string>
#include <vector>

namespace vx::vxorder {

enum class TCheckStatus { Ok, Warn, Fail };

struct TCheckResult {
  std::string Check;  // what was looked at, e.g. "settings folder"
  TCheckStatus Status = TCheckStatus::Ok;
  std::string Found;
};

class TDoctorReport {
 public:
  void Add(const std::string& check, TCheckStatus status, const std::string& found);
  const std::vector<TCheckResult>& Results() const { return FResults; }
  bool Failed() const;

  // One line per check: "OK  ", "WARN" or "FAIL", a blank, the check, ": "
  // and what was found.
  std::string Text() const;
  // The same as one JSON object: {"checks":[{"check":...,"status":...,
  // "found":...},...],"failed":N}, on one line.
  std::string Json() const;

 private:
  std::vector<TCheckResult> FResults;
};

// The checks only Windows has (the clipboard format, the window's place in
// the work area for the host's "OFFICEMETRICS" answer); none elsewhere.
void AddPlatformChecks(TDoctorReport& report, const std::string& officeMetrics);

// The command: "doctor [--json]".
int Doctor(const std::vector<std::string>& args);

}  // namespace vx::vxorder
