// One "DBPATH" read through the whole host link against the simulator,
// beside a bare ping-pong of the same bytes over the same transport with
// no framing code: the difference is what the framing costs.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "exchange_simulator.h"
#include "hostlink/host_commands.h"
#include "hostlink/message_io.h"
#include "hostlink/pipe_transport.h"
#include "hostlink/stream_storage.h"
#include "support/folders.h"
#include "support/guid.h"

namespace vx {
namespace {

const std::string kDbPath = "C:\\VX\\Daten\\Mandant1\\VX.FDB";

std::string Framed(const std::string& block) { return Int64Bytes(0) + Int64Bytes(static_cast<int64_t>(block.size())) + block; }

std::string RequestBlock() {
  TStreamStorage storage;
  storage.AddText("COMMAND", "DBPATH");
  storage.AddInteger("INDEX", -1);
  storage.AddBoolean("SYNC", true);
  return storage.Bytes();
}

std::string AnswerBlock() {
  TStreamStorage storage;
  storage.AddText("DATA", kDbPath);
  return storage.Bytes();
}

// Answers each connection with fixed bytes, in the same writes as the
// framed server and, like the simulator, on a thread per connection: no
// parsing, no storage, no conversion.
class TPingPongServer {
 public:
  explicit TPingPongServer(const std::string& name)
      : FServer(name, kPipeIoTimeoutMs),
        FRequestSize(Framed(RequestBlock()).size()),
        FAnswerBlock(AnswerBlock()),
        FThread([this] { Serve(); }) {}
  ~TPingPongServer() {
    FServer.Stop();
    FThread.join();
  }

 private:
  void Serve() {
    while (std::shared_ptr<TPipeStream> client = FServer.Accept()) {
      std::thread([this, client] { Answer(*client); }).join();
    }
  }

  // The request, then the answer, then the end marker.
  void Answer(TPipeStream& client) {
    std::string buffer(FRequestSize, '\0');
    const std::string head = Int64Bytes(0);
    const std::string size = Int64Bytes(static_cast<int64_t>(FAnswerBlock.size()));
    if (!ReadExact(client, &buffer[0], static_cast<int64_t>(FRequestSize))) return;
    client.Write(head.data(), 8);
    client.Write(size.data(), 8);
    client.Write(FAnswerBlock.data(), static_cast<int64_t>(FAnswerBlock.size()));
    ReadExact(client, &buffer[0], 8);
  }

  TPipeServer FServer;
  size_t FRequestSize;
  std::string FAnswerBlock;
  std::thread FThread;
};

std::string gSimulatorName;
std::string gPingPongName;

void BM_ReadIPCValueSync(benchmark::State& state) {
  SetServerName(gSimulatorName);
  for (auto _ : state) {
    const std::string answer = ReadIPCValueSync("DBPATH");
    if (answer != kDbPath) state.SkipWithError("wrong answer");
  }
}
BENCHMARK(BM_ReadIPCValueSync);

void BM_BarePingPong(benchmark::State& state) {
  const std::string request = Framed(RequestBlock());
  const std::string marker = Int64Bytes(-1);
  const int64_t answerSize = static_cast<int64_t>(Framed(AnswerBlock()).size());
  std::string answer(static_cast<size_t>(answerSize), '\0');
  const std::string path = "\\\\.\\pipe\\" + gPingPongName;
  for (auto _ : state) {
    int error = 0;
    std::unique_ptr<TPipeStream> pipe = CreatePipeConnector()->Open(path, kPipeIoTimeoutMs, error);
    if (!pipe) {
      state.SkipWithError("open failed");
      break;
    }
    pipe->Write(request.data(), 8);
    pipe->Write(request.data() + 8, 8);
    pipe->Write(request.data() + 16, static_cast<int64_t>(request.size() - 16));
    ReadExact(*pipe, &answer[0], answerSize);
    pipe->Write(marker.data(), 8);
  }
}
BENCHMARK(BM_BarePingPong);

}  // namespace
}  // namespace vx

int main(int argc, char** argv) {
  using namespace vx;
  // A private temporary folder keeps the simulator's listing and sockets
  // away from the machine's real exchange-service file.
  const std::string root = GetTempFolder("hostlink-bench-" + std::to_string(NewGuidHash()));
  setenv("TMPDIR", root.c_str(), 1);
  gSimulatorName = "vx-bench-sim";
  gPingPongName = "vx-bench-pingpong";
  {
    sim::TSimOptions options;
    options.Name = gSimulatorName;
    options.DbPath = kDbPath;
    std::FILE* log = std::fopen((root + "sim.log").c_str(), "w");
    sim::TExchangeSimulator simulator(options, log);
    std::thread server([&] { simulator.Run(); });
    {
      TPingPongServer pingPong(gPingPongName);
      benchmark::Initialize(&argc, argv);
      benchmark::RunSpecifiedBenchmarks();
    }
    simulator.Stop();
    server.join();
    std::fclose(log);
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return 0;
}
