#include "hostlink/message_framing.h"

#include <algorithm>
#include <vector>

namespace vx {

namespace {

bool ReadInt64(TPipeStream& stream, int64_t& value) {
  unsigned char bytes[8];
  if (!ReadExact(stream, bytes, 8)) return false;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  value = static_cast<int64_t>(bits);
  return true;
}

bool ReadGrowing(TPipeStream& stream, int64_t length, std::string& text) {
  text.clear();
  std::vector<char> buffer(kPipeTransferSize);
  while (length > 0) {
    const int64_t wanted = std::min<int64_t>(length, kPipeTransferSize);
    if (!ReadExact(stream, buffer.data(), wanted)) return false;
    text.append(buffer.data(), static_cast<size_t>(wanted));
    length -= wanted;
  }
  return true;
}

}  // namespace

std::string Int64Bytes(int64_t value) {
  auto bits = static_cast<uint64_t>(value);
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return bytes;
}

TMessageRead ReadRawMessage(TPipeStream& stream, std::string& id, std::string& data) {
  int64_t idLength = 0;
  int64_t dataSize = 0;
  if (!ReadInt64(stream, idLength)) return TMessageRead::Failed;
  if (idLength == -1) return TMessageRead::EndMarker;
  if (!ReadGrowing(stream, idLength, id) || !ReadInt64(stream, dataSize) || !ReadGrowing(stream, dataSize, data)) {
    return TMessageRead::Failed;
  }
  return TMessageRead::Message;
}

bool WriteRawMessage(TPipeStream& stream, const std::string& id, const std::string& data) {
  const std::string head = Int64Bytes(static_cast<int64_t>(id.size())) + id;
  if (!stream.Write(head.data(), static_cast<int64_t>(head.size()))) return false;
  if (!stream.Write(Int64Bytes(static_cast<int64_t>(data.size())).data(), 8)) return false;
  for (size_t at = 0; at < data.size(); at += kPipeTransferSize) {
    const size_t piece = std::min<size_t>(kPipeTransferSize, data.size() - at);
    if (!stream.Write(data.data() + at, static_cast<int64_t>(piece))) return false;
  }
  return true;
}

}  // namespace vx
