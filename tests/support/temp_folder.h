// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "support/folders.h"
#include "support/guid.h"

namespace vx::testing {

class TTempFolder {
 public:
  TTempFolder() : FPath(GetTempFolder("tests") + std::to_string(NewGuidHash()) + kPathDelim) {
    CreateFolderTree(FPath);
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  // The folder, ending in the path delimiter.
  const std::string& Path() const { return FPath; }
  std::string File(const std::string& name) const { return FPath + name; }

 private:
  std::string FPath;
};

}  // namespace vx::testing
