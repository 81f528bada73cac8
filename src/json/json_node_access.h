// The inside of the JSON model's nodes, for the model's own code: the
// builders of the parser, the writer, the deep copy, and a node that
// reaches into a node of another kind. Each node class names
// TJsonNodeAccess as its friend, and everything that is not the node
// itself goes through here, so that what the nodes lay open is listed in
// one place. Nothing outside src/json includes this header.
#pragma once

#include <cstdint>
#include <new>
#include <string_view>
#include <utility>

#include "json/fast_json.h"
#include "json/json_list.h"
#include "json/json_stored_text.h"

namespace vx {

// An element of an array: a value that knows its array.
class TJsonItem final : public TJsonValue {
 public:
  static constexpr uint32_t kMaxSegmentItems = UINT32_MAX;

  TJsonItem(TJsonArray* array, uint32_t /*index*/) : TJsonValue(kInArray), Array(array) {}
  TJsonItem(TJsonItem&& source, uint32_t /*index*/) : TJsonValue(std::move(source), kInArray), Array(source.Array) {}

  TJsonArray* const Array;
};

// Frees an object or array that a value or document owns: owned means it
// was allocated on its own, else its memory belongs to a document's arena
// and only its destructor runs.
template <typename TNode>
void DestroyJsonNode(TNode* node, bool owned) {
  if (owned) {
    delete node;
  } else {
    node->~TNode();
  }
}

class TJsonNodeAccess {
 public:
  // Values. The flag bits a builder gives a value: a true boolean, an
  // object or array allocated on its own (not in an arena), and the place
  // of the text's TJsonTextFlags.
  static constexpr uint8_t kValueTrue = TJsonValue::kTrue;
  static constexpr uint8_t kValueChildOwned = TJsonValue::kChildOwned;
  static constexpr uint8_t kValueTextShift = TJsonValue::kTextShift;

  // A string value's text as stored, and its TJsonTextFlags.
  static std::string_view RawText(const TJsonValue& value) {
    return StoredTextView(value.FData.Text, value.FLength, value.TextFlags());
  }
  static uint8_t TextFlags(const TJsonValue& value) { return value.TextFlags(); }

  // Gives an empty value its content: the type, the flag bits above, and
  // the text's length and the data as the type wants them. An object or
  // array in data gets the value as its owner; a text becomes the value's.
  static void Fill(TJsonValue& value, TJsonValueType type, uint8_t flags, uint32_t length, TJsonValueData data) {
    value.FValueType = type;
    value.FFlags = static_cast<uint8_t>((value.FFlags & (TJsonValue::kInPair | TJsonValue::kInArray)) | flags);
    value.FLength = length;
    value.FData = data;
    if (type == jvObject) data.Object->FOwner = &value;
    if (type == jvArray) data.Array->FOwner = &value;
  }

  // Arrays and objects: a new empty one on the heap, or made at place (in
  // an arena), with its owner; or a new owner for one.
  template <typename TContainer>
  static TContainer* New(TJsonBase* owner) {
    return new TContainer(owner);
  }
  template <typename TContainer>
  static TContainer* NewAt(void* place, TJsonBase* owner) {
    return new (place) TContainer(owner);
  }
  template <typename TContainer>
  static void SetOwner(TContainer& container, TJsonBase* owner) {
    container.FOwner = owner;
  }

  // Their items, made from the tape first when they are pending.
  static TJsonList<TJsonItem>& Items(const TJsonArray& array) {
    array.BuildItems();
    return array.FItems;
  }
  static TJsonList<TJsonPair>& Items(const TJsonObject& object) {
    object.BuildItems();
    return object.FItems;
  }
  // The items of a new, empty one wait on a tape (json_tape.h) until they
  // are asked for.
  template <typename TContainer>
  static void SetPending(TContainer& container, const TJsonPending& pending) {
    container.FPending = pending;
  }
  // The list of a container whose items a builder makes: empty, and not
  // pending.
  static TJsonList<TJsonItem>& ItemsToFill(TJsonArray& array) { return array.FItems; }
  static TJsonList<TJsonPair>& ItemsToFill(TJsonObject& object) { return object.FItems; }
  // Where an array's or object's items wait; its Record is null once they
  // are made.
  template <typename TContainer>
  static const TJsonPending& Pending(const TContainer& container) {
    return container.FPending;
  }

  // Pairs. The most pairs one segment of an object holds.
  static constexpr uint32_t kMaxPairsPerSegment = TJsonPair::kMaxSegmentItems;

  // A pair's name as stored, and its TJsonTextFlags.
  static std::string_view RawName(const TJsonPair& pair) {
    return StoredTextView(pair.FName, pair.FNameLength, NameFlags(pair));
  }
  static uint8_t NameFlags(const TJsonPair& pair) {
    return static_cast<uint8_t>(pair.FNameFlags & TJsonTextFlags::kMask);
  }
  // A pair of an object, made at place, the index-th item of its segment,
  // with a name that becomes the pair's.
  static TJsonPair* NewPairAt(void* place, const TJsonStoredText& name, uint32_t index) {
    return new (place) TJsonPair(name.Data, name.Length, name.Flags, index);
  }
  // Gives a pair a name that becomes the pair's, in place of its own.
  static void AdoptName(TJsonPair& pair, const TJsonStoredText& name) {
    pair.FreeName();
    pair.FName = name.Data;
    pair.FNameLength = name.Length;
    pair.FNameFlags = static_cast<uint8_t>((pair.FNameFlags & TJsonPair::kInObject) | name.Flags);
  }
  // The pair that holds a value; only for a value that lies in a pair.
  static const TJsonPair& PairOf(const TJsonValue& value) { return TJsonPair::OfValue(value); }

  // Documents: a parsed root for an empty document, which takes it over;
  // inArena tells where its memory lies.
  static void SetRoot(TFastJSON& document, TJsonArray* root, bool inArena) {
    root->FOwner = &document;
    document.FJsonArray = root;
    document.FStructType = jsArray;
    document.FRootInArena = inArena;
  }
  static void SetRoot(TFastJSON& document, TJsonObject* root, bool inArena) {
    root->FOwner = &document;
    document.FJsonObject = root;
    document.FStructType = jsObject;
    document.FRootInArena = inArena;
  }

  // TFastJSON::Parse with the splitting rules alone.
  static void ParseSplitting(TFastJSON& document, std::string_view text) {
    document.Clear();
    document.ParseKeptTextSplitting(document.KeepText(text));
  }

  // Errors: "<" + the node's class + ">" + message.
  [[noreturn]] static void RaiseJsonError(const TJsonBase& node, std::string_view message) {
    node.RaiseJsonError(message);
  }
};

}  // namespace vx
