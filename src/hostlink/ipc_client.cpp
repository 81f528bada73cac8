#include "hostlink/ipc_client.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "hostlink/exchange_trace.h"
#include "hostlink/message_framing.h"

namespace vx {

namespace {

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
    FPipe = FConnector->Open(FPipePath, Deadline, &error);
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
    if (!FConnector->WaitForInstance(FPipePath, remaining, &error)) {
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

bool TIPCClient::RefuseTooLarge(const char* what, int64_t cap) {
  FErrorDesc = std::string("IPC client refused message ") + what + " of more than " + std::to_string(cap) + " bytes";
  FErrorCode = kErrorMessageTooLarge;
  return false;
}

// The request goes out, the answer comes back in the same layout. An
// answer exists once the whole request was written; it holds what arrived
// even when reading it failed.
TMessageRef TIPCClient::Exchange(const TMessageRef& request) {
  FAnswerReceived = false;
  FErrorCode = 0;
  if (!WriteRequest(*request)) return nullptr;
  TMessageRef answer = TMessageData::Create();
  FAnswerReceived = ReadAnswer(*answer);
  return answer;
}

bool TIPCClient::WriteRequest(IMessageData& request) {
  switch (WriteMessage(*FPipe, request.ID(), request.Data().Bytes())) {
    case TMessageWrite::Written:
      return true;
    case TMessageWrite::FailedId:
      return Failed("WriteFile failed while writing message ID");
    case TMessageWrite::FailedDataSize:
      return Failed("WriteFile failed while writing message data size");
    case TMessageWrite::FailedPiece:
      return Failed("WriteFile failed while writing message chunk");
  }
  return false;
}

bool TIPCClient::ReadAnswer(IMessageData& answer) {
  const TMessageLimits limits{kMaxAnswerIdSize, gAnswerDataCap.load(), false};
  std::string id;
  std::string data;
  const TMessageRead read = ReadMessage(*FPipe, limits, id, data);
  answer.SetID(id);
  answer.Data().SetBytes(std::move(data));
  switch (read) {
    case TMessageRead::Message:
    case TMessageRead::EndMarker:  // not for an answer: its -1 is a negative length
      return true;
    case TMessageRead::FailedIdLength:
      return Failed("ReadFile failed while reading message ID length");
    case TMessageRead::IdTooLarge:
      return RefuseTooLarge("ID", limits.MaxIdSize);
    case TMessageRead::FailedId:
      return Failed("ReadFile failed while reading message ID");
    case TMessageRead::FailedDataSize:
      return Failed("ReadFile failed while reading message data size");
    case TMessageRead::DataTooLarge:
      return RefuseTooLarge("data", limits.MaxDataSize);
    case TMessageRead::FailedData:
      return Failed("ReadFile failed while reading message data");
  }
  return false;
}

void TIPCClient::ClosePipe() {
  if (!FPipe) return;
  // The server waits for this marker before it lets go of its instance.
  WriteEndMarker(*FPipe);
  FPipe.reset();
  FConnected = false;
}

}  // namespace vx
