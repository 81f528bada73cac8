// Started by the exchange simulator in a test: writes the server it finds
// through its parent process, and that parent's id, to the file argv[1].
#include <fstream>

#include "hostlink/host_commands.h"
#include "hostlink/parent_process.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string server = vx::LocateExchangeServer();
  std::ofstream(argv[1], std::ios::binary) << server << "\n" << vx::GetParentProcessId() << "\n";
  return server.empty() ? 1 : 0;
}
