#include "hostlink/message_data.h"

namespace vx {

TMessageRef TMessageData::Create() { return std::make_shared<TMessageData>(); }

}  // namespace vx
