// The server's half of the message framing, for the exchange simulator and
// for test servers: a message is read as the client writes it, and written
// with the client's grouping (ID length with ID; data size; pieces of
// 64 KiB), so a message-mode reader sees the same messages in both
// directions.
#pragma once

#include <string>

#include "hostlink/pipe_transport.h"

namespace vx {

// Pieces of the data block, in both directions, are at most this long.
constexpr int kPipeTransferSize = 65536;

enum class TMessageRead { Message, EndMarker, Failed };

// Reads one message into id and data; EndMarker when the other end sent
// the end marker instead. Lengths are not trusted: id and data grow only
// by the bytes that arrive. Negative lengths count as 0.
TMessageRead ReadRawMessage(TPipeStream& stream, std::string& id, std::string& data);

// Writes one message; false when a write failed.
bool WriteRawMessage(TPipeStream& stream, const std::string& id, const std::string& data);

// The eight little-endian bytes of value.
std::string Int64Bytes(int64_t value);

}  // namespace vx
