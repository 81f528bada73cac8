#include "hostlink/ipc_client.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "hostlink/exchange_trace.h"
#include "hostlink/message_framing.h"

namespace vx {

namespace {

constexpr int64_t kEndMarker = -1;

int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

int64_t MillisecondsUntil(TDeadline deadline) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
}

std::atomic<int> gExchangeTimeoutMs{kExchangeTimeoutMs};
std::atomic<int64_t> gAnswerDataCap{kMaxAnswerDataSize};

}  // namespace

int64_t SetAnswerDataCap(int64_t bytes) { return gAnswerDataCap.exchange(bytes); }

int SetExchangeTimeout(int milliseconds) { return gExchangeTimeoutMs.exchange(milliseconds); }

TDeadline ExchangeDeadline() {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(gExchangeTimeoutMs.load());
}

TIPCClient::TIPCClient() : TIPCClient(CreatePipeConnector()) {}

TIPCClient::TIPCClient(std::unique_ptr<TPipeConnector> connector)
    : Deadline(ExchangeDeadline()), FConnector(std::move(connector)) {}

TIPCClient::~TIPCClient() { ClosePipe(); }

void TIPCClient::SetServerName(const std::string& name) {
  FServerName = name;
  FPipePath = "\\\\" + FComputerName + "\\pipe\\" + name;
}

TMessageRef TIPCClient::Request(const TMessageRef& request, int timeoutMs) {
  const auto start = std::chrono::steady_clock::now();
  TMessageRef answer = OpenExchangeAndClose(request, timeoutMs);
  if (!ExchangeTraceFile().empty()) Trace(request, answer, MillisecondsSince(start));
  return answer;
}

TMessageRef TIPCClient::OpenExchangeAndClose(const TMessageRef& request, int timeoutMs) {
  struct TCloser {
    TIPCClient* Client;
    ~TCloser() { Client->ClosePipe(); }
  } closer{this};
  OpenPipe(timeoutMs);
  if (!FConnected) return nullptr;
  return Exchange(request);
}

void TIPCClient::Trace(const TMessageRef& request, const TMessageRef& answer, int64_t roundTripMs) {
  TExchangeRecord record;
  record.ServerName = FServerName;
  record.Command = request->Data().FindText("COMMAND");
  record.BytesOut = request->Data().Size();
  record.BytesIn = answer ? answer->Data().Size() : 0;
  record.RoundTripMs = roundTripMs;
  record.AnswerReceived = FAnswerReceived;
  record.ErrorDesc = FErrorDesc;
  record.ErrorCode = FErrorCode;
  TraceExchange(record);
}

void TIPCClient::OpenPipe(int timeoutMs) {
  FPipe.reset();
  FConnected = false;
  FErrorDesc.clear();
  FErrorCode = 0;
  // The open is part of the exchange's time: it ends at the deadline too.
  timeoutMs = static_cast<int>(std::clamp<int64_t>(MillisecondsUntil(Deadline), 0, timeoutMs));
  const auto start = std::chrono::steady_clock::now();
  while (MillisecondsSince(start) < timeoutMs) {
    int error = 0;
    FPipe = FConnector->Open(FPipePath, Deadline, error);
    if (FPipe) {
      FConnected = true;
      return;
    }
    if (error != kErrorFileNotFound && error != kErrorPipeBusy) {
      FErrorDesc = "CreateFile failed while creating new pipe handle";
      FErrorCode = error;
      return;
    }
    const int remaining = static_cast<int>(std::max<int64_t>(0, timeoutMs - MillisecondsSince(start)));
    if (!FConnector->WaitForInstance(FPipePath, remaining, error)) {
      FErrorDesc = "WaitNamedPipe failed while wating for the pipe";
      FErrorCode = error;
      return;
    }
  }
  FErrorDesc = "IPC client failed with WAIT timeout";
  FErrorCode = kWaitTimeout;
}

bool TIPCClient::Failed(const char* errorDesc) {
  FErrorDesc = errorDesc;
  FErrorCode = FPipe->ErrorCode();
  return false;
}

bool TIPCClient::WritePiece(const void* data, int64_t count, const char* errorDesc) {
  return FPipe->Write(data, count) || Failed(errorDesc);
}

void TIPCClient::RefuseTooLarge(const char* what, int64_t cap) {
  FErrorDesc = std::string("IPC client refused message ") + what + " of more than " + std::to_string(cap) + " bytes";
  FErrorCode = kErrorMessageTooLarge;
}

bool TIPCClient::ReadLength(int64_t& value, const char* errorDesc) {
  unsigned char bytes[8];
  if (!ReadExact(*FPipe, bytes, 8)) return Failed(errorDesc);
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  value = static_cast<int64_t>(bits);
  return true;
}

TMessageRef TIPCClient::Exchange(const TMessageRef& request) {
  FAnswerReceived = false;
  FErrorCode = 0;
  const std::string head = Int64Bytes(static_cast<int64_t>(request->ID().size())) + request->ID();
  if (!WritePiece(head.data(), static_cast<int64_t>(head.size()), "WriteFile failed while writing message ID")) {
    return nullptr;
  }
  TStreamStorage& data = request->Data();
  const std::string size = Int64Bytes(data.Size());
  if (!WritePiece(size.data(), 8, "WriteFile failed while writing message data size")) return nullptr;

  // One transfer buffer for every piece in both directions.
  std::vector<char> buffer(kPipeTransferSize);
  if (data.Size() > 0) {
    data.Rewind();
    for (int64_t n; (n = data.Read(buffer.data(), kPipeTransferSize)) > 0;) {
      if (!WritePiece(buffer.data(), n, "WriteFile failed while writing message chunk")) return nullptr;
    }
  }

  // Announced lengths are not trusted: one past its cap ends the exchange
  // before anything of it is read, and below the cap the answer grows only
  // by the bytes that really arrive, so a hostile length cannot claim the
  // memory up front. Negative lengths count as 0.
  TMessageRef answer = TMessageData::Create();
  int64_t idLength = 0;
  if (!ReadLength(idLength, "ReadFile failed while reading message ID length")) return answer;
  if (idLength > kMaxAnswerIdSize) {
    RefuseTooLarge("ID", kMaxAnswerIdSize);
    return answer;
  }
  if (idLength > 0) {
    std::string id;
    for (int64_t missing = idLength; missing > 0;) {
      const int64_t wanted = std::min<int64_t>(missing, kPipeTransferSize);
      if (!ReadExact(*FPipe, buffer.data(), wanted)) {
        Failed("ReadFile failed while reading message ID");
        return answer;
      }
      id.append(buffer.data(), static_cast<size_t>(wanted));
      missing -= wanted;
    }
    answer->SetID(id);
  }
  int64_t dataSize = 0;
  if (!ReadLength(dataSize, "ReadFile failed while reading message data size")) return answer;
  const int64_t dataCap = gAnswerDataCap.load();
  if (dataSize > dataCap) {
    RefuseTooLarge("data", dataCap);
    return answer;
  }
  for (int64_t missing = dataSize; missing > 0;) {
    int64_t done = 0;
    const bool ok = FPipe->Read(buffer.data(), std::min<int64_t>(missing, kPipeTransferSize), done);
    answer->Data().Append(buffer.data(), done);
    if (!ok) {
      Failed("ReadFile failed while reading message data");
      return answer;
    }
    missing -= done;
  }
  answer->Data().Rewind();
  FAnswerReceived = true;
  return answer;
}

void TIPCClient::ClosePipe() {
  if (!FPipe) return;
  // The server waits for this marker before it lets go of its instance.
  const std::string marker = Int64Bytes(kEndMarker);
  FPipe->Write(marker.data(), 8);
  FPipe.reset();
  FConnected = false;
}

}  // namespace vx
