#include "doctor.h"

#include "json/fast_json.h"

namespace vx::vxorder {

namespace {

const char* StatusText(TCheckStatus status) {
  switch (status) {
    case TCheckStatus::Ok:
      return "OK";
    case TCheckStatus::Warn:
      return "WARN";
    case TCheckStatus::Fail:
      return "FAIL";
  }
  return "";
}

std::string JsonText(const std::string& text) { return "\"" + EncodeJsonText(text) + "\""; }

}  // namespace

void TDoctorReport::Add(const std::string& check, TCheckStatus status, const std::string& found) {
  FResults.push_back({check, status, found});
}

bool TDoctorReport::Failed() const {
  for (const TCheckResult& result : FResults) {
    if (result.Status == TCheckStatus::Fail) return true;
  }
  return false;
}

std::string TDoctorReport::Text() const {
  std::string text;
  for (const TCheckResult& result : FResults) {
    const std::string status = StatusText(result.Status);
    text += status + std::string(5 - status.size(), ' ') + result.Check + ": " + result.Found + "\n";
  }
  return text;
}

std::string TDoctorReport::Json() const {
  std::string json = "{\"checks\":[";
  int failed = 0;
  for (size_t i = 0; i < FResults.size(); ++i) {
    const TCheckResult& result = FResults[i];
    if (result.Status == TCheckStatus::Fail) ++failed;
    json += (i ? ",{" : "{") + std::string("\"check\":") + JsonText(result.Check) +
            ",\"status\":" + JsonText(StatusText(result.Status)) + ",\"found\":" + JsonText(result.Found) + "}";
  }
  return json + "],\"failed\":" + std::to_string(failed) + "}\n";
}

}  // namespace vx::vxorder
