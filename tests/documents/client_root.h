// Points the program's client root folder at a folder of the test where
// the platform allows it, so that tests do not touch the user's files.
#pragma once

#include <string>

namespace vx {

// POSIX: the client root moves below dataFolder. Windows: the shared
// documents folder cannot be moved; tests there keep and restore what they
// touch.
void PointClientRootAt(const std::string& dataFolder);

}  // namespace vx
