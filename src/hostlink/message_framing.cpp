#include "hostlink/message_framing.h"

#include <algorithm>

#include "support/byte_order.h"

namespace vx {

namespace {

bool ReadLength(TPipeStream& stream, int64_t& length) {
  unsigned char bytes[8];
  if (!ReadExact(stream, bytes, 8)) return false;
  length = FromLittleEndian<int64_t>(bytes);
  return true;
}

// Appends length bytes to text as they arrive, reading at most
// kPipeTransferSize at a time straight into its end; false when a read
// fails, after keeping what that read delivered.
bool ReadPieces(TPipeStream& stream, int64_t length, std::string& text) {
  for (int64_t missing = length; missing > 0;) {
    const size_t at = text.size();
    const int64_t wanted = std::min<int64_t>(missing, kPipeTransferSize);
    text.resize(at + static_cast<size_t>(wanted));
    int64_t done = 0;
    const bool ok = stream.Read(&text[at], wanted, done);
    text.resize(at + static_cast<size_t>(done));
    if (!ok) return false;
    missing -= done;
  }
  return true;
}

}  // namespace

std::string LengthBytes(int64_t length) { return LittleEndianBytes(length); }

std::string MessageBytes(const std::string& id, const std::string& data) {
  return LengthBytes(static_cast<int64_t>(id.size())) + id + LengthBytes(static_cast<int64_t>(data.size())) + data;
}

TMessageWrite WriteMessage(TPipeStream& stream, const std::string& id, const std::string& data) {
  const std::string head = LengthBytes(static_cast<int64_t>(id.size())) + id;
  if (!stream.Write(head.data(), static_cast<int64_t>(head.size()))) return TMessageWrite::FailedId;
  const std::string size = LengthBytes(static_cast<int64_t>(data.size()));
  if (!stream.Write(size.data(), 8)) return TMessageWrite::FailedDataSize;
  for (size_t at = 0; at < data.size(); at += kPipeTransferSize) {
    const size_t piece = std::min<size_t>(kPipeTransferSize, data.size() - at);
    if (!stream.Write(data.data() + at, static_cast<int64_t>(piece))) return TMessageWrite::FailedPiece;
  }
  return TMessageWrite::Written;
}

bool WriteEndMarker(TPipeStream& stream) { return stream.Write(LengthBytes(kEndMarker).data(), 8); }

TMessageRead ReadMessage(TPipeStream& stream, const TMessageLimits& limits, std::string& id, std::string& data) {
  id.clear();
  data.clear();
  int64_t idLength = 0;
  if (!ReadLength(stream, idLength)) return TMessageRead::FailedIdLength;
  if (idLength == kEndMarker && limits.EndMarkerEnds) return TMessageRead::EndMarker;
  if (idLength > limits.MaxIdSize) return TMessageRead::IdTooLarge;
  std::string received;
  if (!ReadPieces(stream, idLength, received)) return TMessageRead::FailedId;
  id = std::move(received);
  int64_t dataSize = 0;
  if (!ReadLength(stream, dataSize)) return TMessageRead::FailedDataSize;
  if (dataSize > limits.MaxDataSize) return TMessageRead::DataTooLarge;
  if (!ReadPieces(stream, dataSize, data)) return TMessageRead::FailedData;
  return TMessageRead::Message;
}

}  // namespace vx
