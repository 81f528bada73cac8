#include "roundtrip_rig.h"

#include <filesystem>

#include "hostlink/host_commands.h"
#include "hostlink/ipc_client.h"
#include "hostlink/message_framing.h"
#include "hostlink/stream_storage.h"
#include "support/errors.h"
#include "support/folders.h"
#include "support/guid.h"

namespace vx {

const char* const kBenchDbPath = "C:\\VX\\Daten\\Mandant1\\VX.FDB";

namespace {


std::string RequestBlock() {
  TStreamStorage storage;
  storage.AddText("COMMAND", "DBPATH");
  storage.AddInteger("INDEX", -1);
  storage.AddBoolean("SYNC", true);
  return storage.Bytes();
}

std::string AnswerBlock() {
  TStreamStorage storage;
  storage.AddText("DATA", kBenchDbPath);
  return storage.Bytes();
}

// Windows pipe names are machine-wide, so every run takes names of its own.
std::string UniqueName(const std::string& prefix) { return prefix + "-" + std::to_string(NewGuidHash()); }

}  // namespace

// Answers each connection with fixed bytes, in the same writes as the
// framed server and, like the simulator, on a thread per connection: no
// parsing, no storage, no conversion.
class TPingPongServer {
 public:
  explicit TPingPongServer(const std::string& name)
      : FServer(name, kPipeIoTimeoutMs),
        FRequestSize(MessageBytes("", RequestBlock()).size()),
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
    const std::string head = LengthBytes(0);
    const std::string size = LengthBytes(static_cast<int64_t>(FAnswerBlock.size()));
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

TRoundTripRig::TTempRoot::TTempRoot() : Folder(GetTempFolder("hostlink-bench-" + std::to_string(NewGuidHash()))) {
  PointTempFolderAt(Folder);
}

TRoundTripRig::TTempRoot::~TTempRoot() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

TRoundTripRig::TRoundTripRig()
    : FRequest(MessageBytes("", RequestBlock())),
      FMarker(LengthBytes(kEndMarker)),
      FAnswer(MessageBytes("", AnswerBlock()).size(), '\0') {
  sim::TSimOptions options;
  options.Name = UniqueName("vx-bench-sim");
  options.DbPath = kBenchDbPath;
  FSimulator = std::make_unique<sim::TSimulatorThread>(options, FRoot.Folder + "sim.log");
  const std::string pingPongName = UniqueName("vx-bench-pingpong");
  FPingPong = std::make_unique<TPingPongServer>(pingPongName);
  FPingPongPath = "\\\\.\\pipe\\" + pingPongName;
  SetServerName(options.Name);
}

TRoundTripRig::~TRoundTripRig() {
  FPingPong.reset();
  FSimulator.reset();
}

bool TRoundTripRig::FramedRoundTrip() { return ReadIPCValueSync("DBPATH") == kBenchDbPath; }

bool TRoundTripRig::BareRoundTrip() {
  int error = 0;
  std::unique_ptr<TPipeStream> pipe = CreatePipeConnector()->Open(FPingPongPath, ExchangeDeadline(), &error);
  if (!pipe) return false;
  pipe->Write(FRequest.data(), 8);
  pipe->Write(FRequest.data() + 8, 8);
  pipe->Write(FRequest.data() + 16, static_cast<int64_t>(FRequest.size() - 16));
  const bool answered = ReadExact(*pipe, &FAnswer[0], static_cast<int64_t>(FAnswer.size()));
  pipe->Write(FMarker.data(), 8);
  return answered;
}

}  // namespace vx
