// The deep copy of the JSON model: Assign of every node class.
#include "json/fast_json.h"

#include <string>

#include "json/json_error.h"
#include "json/json_node_access.h"
#include "json/json_stored_text.h"

namespace vx {

namespace {

using TTextFlags = TJsonTextFlags;

// True when node is ancestor or lies below it.
bool IsWithin(const TJsonBase* node, const TJsonBase* ancestor) {
  for (; node != nullptr; node = node->Owner()) {
    if (node == ancestor) return true;
  }
  return false;
}

template <typename TCopy, typename TNode>
void AssignFrom(TNode& target, const TJsonBase& source) {
  TCopy copy;
  copy.Assign(&source);
  target.Assign(&copy);
}

// Assigns target from a copy of source, which lies inside target: target
// empties itself first and would destroy its own source.
template <typename TNode>
void AssignThroughCopy(TNode& target, const TJsonBase& source) {
  switch (source.Kind()) {
    case TJsonBase::TKind::Object: return AssignFrom<TJsonObject>(target, source);
    case TJsonBase::TKind::Array: return AssignFrom<TJsonArray>(target, source);
    case TJsonBase::TKind::Pair: return AssignFrom<TJsonPair>(target, source);
    case TJsonBase::TKind::Value: return AssignFrom<TJsonValue>(target, source);
    case TJsonBase::TKind::Document: break;  // a document lies inside nothing
  }
}

[[noreturn]] void RaiseAssignError(const TJsonBase& node, const TJsonBase* source) {
  throw EJsonError(JsonErrorText(node.ClassName(), std::string("assign error: ") +
                                                       (source ? source->ClassName() : "nil") + " to " +
                                                       node.ClassName()));
}

}  // namespace

void TJsonValue::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) return AssignThroughCopy(*this, *source);
  Clear();
  if (source == nullptr) RaiseAssignError(*this, source);
  switch (source->Kind()) {
    case TKind::Object:
      AsObject().Assign(source);
      return;
    case TKind::Array:
      AsArray().Assign(source);
      return;
    case TKind::Value: {
      const auto& value = static_cast<const TJsonValue&>(*source);
      if (value.FValueType == jvObject) {
        AsObject().Assign(value.FData.Object);
      } else if (value.FValueType == jvArray) {
        AsArray().Assign(value.FData.Array);
      } else if (value.FValueType == jvString) {
        // The text is copied as it stands, escapes and all.
        const TJsonStoredText copy =
            MakeStoredText(value.RawText(), value.TextFlags() & (TTextFlags::kEscaped | TTextFlags::kCanonical), true);
        FValueType = jvString;
        SetText(copy.Data, copy.Length, copy.Flags);
      } else {
        FValueType = value.FValueType;
        FData.Number = value.FData.Number;
        FFlags = static_cast<uint8_t>(FFlags | (value.FFlags & kTrue));
      }
      return;
    }
    default:
      RaiseAssignError(*this, source);
  }
}

void TJsonArray::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) return AssignThroughCopy(*this, *source);
  Clear();
  if (source == nullptr || source->Kind() != TKind::Array) RaiseAssignError(*this, source);
  const auto& array = static_cast<const TJsonArray&>(*source);
  FItems.Reserve(this, array.FItems.Count());
  array.FItems.ForEach([this](const TJsonItem& item) { Add().Assign(&item); });
}

void TJsonPair::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) return AssignThroughCopy(*this, *source);
  FreeName();
  FValue.Clear();
  if (source == nullptr || source->Kind() != TKind::Pair) RaiseAssignError(*this, source);
  const auto& pair = static_cast<const TJsonPair&>(*source);
  const std::string_view name = pair.RawName();
  SetNameText(name.data(), name.size(),
              static_cast<uint8_t>(pair.FNameFlags & (TTextFlags::kEscaped | TTextFlags::kCanonical)));
  FValue.Assign(&pair.FValue);
}

void TJsonObject::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) return AssignThroughCopy(*this, *source);
  Clear();
  if (source == nullptr || source->Kind() != TKind::Object) RaiseAssignError(*this, source);
  const auto& object = static_cast<const TJsonObject&>(*source);
  FItems.Reserve(this, object.FItems.Count());
  object.FItems.ForEach([this](const TJsonPair& pair) { Add(std::string_view()).Assign(&pair); });
}

void TFastJSON::Assign(const TJsonBase* source) {
  if (source && source != this && IsWithin(source, this)) return AssignThroughCopy(*this, *source);
  if (source == this) return;
  Clear();
  const TJsonBase* root = source;
  if (source && source->Kind() == TKind::Document) {
    const auto& document = static_cast<const TFastJSON&>(*source);
    root = document.FJsonArray ? static_cast<const TJsonBase*>(document.FJsonArray) : document.FJsonObject;
    if (root == nullptr) return;  // an empty source gives an empty document
  } else if (source && source->Kind() == TKind::Value) {
    const auto& value = static_cast<const TJsonValue&>(*source);
    if (value.ArrayValue()) {
      root = value.ArrayValue();
    } else if (value.ObjectValue()) {
      root = value.ObjectValue();
    }
  }
  if (root && root->Kind() == TKind::Array) {
    NewArray();
    FJsonArray->Assign(root);
  } else if (root && root->Kind() == TKind::Object) {
    NewObject();
    FJsonObject->Assign(root);
  } else {
    RaiseAssignError(*this, source);
  }
}

}  // namespace vx
