// The main window's caption, which tells the user whether the host's
// database can be reached.
#pragma once

#include <string>

namespace vx {

// "Datenbank: " + the path shortened to 30 characters, or
// "Keine Datenbank erreichbar" for an empty "DBPATH" answer.
std::string DatabaseCaption(const std::string& databasePath);

}  // namespace vx
