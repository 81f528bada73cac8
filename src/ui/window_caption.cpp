#include "ui/window_caption.h"

#include "support/text_utils.h"

namespace vx {

std::string DatabaseCaption(const std::string& databasePath) {
  constexpr int kCaptionPathLength = 30;
  if (databasePath.empty()) return "Keine Datenbank erreichbar";
  return "Datenbank: " + ShortenPath(databasePath, kCaptionPathLength);
}

}  // namespace vx
