// How a pipe message travels, the same in both directions, and its reading
// and writing for both ends: the client (TIPCClient), the exchange
// simulator and the tests' servers.
//
//   ID length   int64, little-endian    0 for an empty ID
//   ID          ID length bytes         Windows-1252
//   data size   int64, little-endian
//   data        data size bytes         the TStreamStorage block
//
// Writes are grouped so that a reader in message mode sees the same
// messages in both directions: the ID length with the ID; the data size;
// each piece of the data, at most kPipeTransferSize bytes. After its
// request the client writes the end marker in the place of an ID length
// and closes its end.
#pragma once

#include <cstdint>
#include <string>

#include "hostlink/pipe_transport.h"

namespace vx {

// Pieces of the data block, in both directions, are at most this long.
constexpr int kPipeTransferSize = 65536;

// The ID length that ends a connection: eight bytes 0xFF.
constexpr int64_t kEndMarker = -1;

// An ID length or data size as it travels.
std::string LengthBytes(int64_t length);

// A whole message as its bytes travel, for a server or test that writes
// them in a grouping of its own.
std::string MessageBytes(const std::string& id, const std::string& data);

// Which write of a message failed, if one did.
enum class TMessageWrite { Written, FailedId, FailedDataSize, FailedPiece };

// Writes one message in the grouping above; it stops at the first write
// that fails (the stream's ErrorCode tells why).
TMessageWrite WriteMessage(TPipeStream& stream, const std::string& id, const std::string& data);

// Writes the end marker in one write; false when that failed.
bool WriteEndMarker(TPipeStream& stream);

// What a reader takes. Announced lengths are not trusted: one past its cap
// ends the read before a byte of it is read, and below the cap the ID and
// the data grow only by the bytes that really arrive, so a hostile length
// cannot claim the memory up front. Negative lengths count as 0.
struct TMessageLimits {
  int64_t MaxIdSize = INT64_MAX;
  int64_t MaxDataSize = INT64_MAX;
  // The end marker in the place of an ID length ends the read; otherwise
  // it is a negative length like any other.
  bool EndMarkerEnds = false;
};

// A server reads requests without caps: its transport bounds each read in
// time, and the end marker ends the client's connection.
constexpr TMessageLimits kRequestLimits{INT64_MAX, INT64_MAX, true};

// How a read ended: a whole message, the end marker, or the step that
// failed or was refused.
enum class TMessageRead {
  Message,
  EndMarker,
  FailedIdLength,
  IdTooLarge,
  FailedId,
  FailedDataSize,
  DataTooLarge,
  FailedData,
};

// Reads one message. id holds the ID once it arrived whole, else nothing;
// data holds what arrived of the data block, also when a read in it
// failed. After a failed read the stream's ErrorCode tells why.
TMessageRead ReadMessage(TPipeStream& stream, const TMessageLimits& limits, std::string& id, std::string& data);

}  // namespace vx
