// Handing files and links to the system shell.
#pragma once

#include <string>

namespace vx {

// Opens the file's folder in the shell's folder window with the file
// selected. False when the path cannot be turned into a shell item or the
// shell refused; nothing is reported.
bool ShowFileSelected(const std::string& path);

// Asks the shell to open the target with the verb "open"; false when it
// refused.
bool ShellOpen(const std::string& target);

}  // namespace vx
