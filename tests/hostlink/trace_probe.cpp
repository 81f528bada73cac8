// Started several at a time by a test: waits until the file argv[4] is
// there, so that all start together, then adds argv[2] lines to the
// exchange trace argv[1], each naming the server argv[3] and numbered in
// its bytes out.
#include <chrono>
#include <string>
#include <thread>

#include "hostlink/exchange_trace.h"
#include "support/folders.h"

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!vx::FileIsPresent(argv[4])) {
    if (std::chrono::steady_clock::now() > giveUp) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  vx::SetExchangeTraceFile(argv[1]);
  vx::TExchangeRecord record;
  record.ServerName = argv[3];
  record.Command = "DBPATH";
  record.AnswerReceived = true;
  const int count = std::stoi(argv[2]);
  for (int i = 0; i < count; ++i) {
    record.BytesOut = i;
    vx::TraceExchange(record);
  }
  return 0;
}
