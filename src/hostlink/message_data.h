// One pipe message: an ID text and a named-value data block. Messages are
// shared between the client and its caller; the last holder frees them.
#pragma once

#include <memory>
#include <string>

#include "hostlink/stream_storage.h"

namespace vx {

class IMessageData {
 public:
  virtual ~IMessageData() = default;
  virtual const std::string& ID() const = 0;
  virtual TStreamStorage& Data() = 0;
  virtual void SetID(const std::string& id) = 0;
};

// Shared ownership with atomic counts.
using TMessageRef = std::shared_ptr<IMessageData>;

class TMessageData : public IMessageData {
 public:
  // Empty ID, empty storage.
  static TMessageRef Create();

  const std::string& ID() const override { return FID; }
  TStreamStorage& Data() override { return FData; }
  void SetID(const std::string& id) override { FID = id; }

 private:
  std::string FID;
  TStreamStorage FData;
};

}  // namespace vx
