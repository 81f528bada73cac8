// Points the program's temporary folder (and so the local exchange-service
// file and, off Windows, the pipe sockets) at a folder of this test run.
#pragma once

#include <string>

namespace vx::test {

// Creates the private folder once per process and returns it.
std::string UsePrivateTempRoot();

// A pipe name no other test run uses.
std::string UniquePipeName(const std::string& prefix);

// Sets the variable in the process's environment.
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace vx::test
