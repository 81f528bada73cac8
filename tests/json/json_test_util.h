// Helpers shared by the JSON model's tests.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "json/fast_json.h"

namespace vx::testing {

// The message of the exception that action raises, or "(no error)".
template <typename TAction>
std::string ErrorText(TAction action) {
  try {
    action();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "(no error)";
}

// The compact text of the parsed document, or the parse error's text.
inline std::string ParseResult(std::string_view text) {
  TFastJSON json;
  try {
    json.Parse(text);
  } catch (const std::exception& error) {
    return std::string("error ") + error.what();
  }
  return json.Stringify();
}

// A folder of its own for each test, removed afterwards.
class TTempFolder {
 public:
  TTempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    FPath = std::filesystem::temp_directory_path() /
            (std::string("vx_json_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

inline std::string ReadBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Sets the model's decimal separator for one test and puts the old one back.
class TDecimalPointScope {
 public:
  explicit TDecimalPointScope(char separator) : FOld(JsonDecimalPoint()) { SetJsonDecimalPoint(separator); }
  ~TDecimalPointScope() { SetJsonDecimalPoint(FOld); }

 private:
  char FOld;
};

}  // namespace vx::testing
