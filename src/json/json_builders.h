// The builders that make the JSON model's nodes for the parser
// (json_parser.h): TJsonFastBuilder for its single pass and
// TJsonSplitBuilder for its splitting rules. The parser calls them once for
// every piece it reads, so they are defined here, where the calls can be
// inlined. For the model's own code only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "json/fast_json.h"
#include "json/json_arena.h"
#include "json/json_error.h"
#include "json/json_list.h"
#include "json/json_node_access.h"
#include "json/json_parser.h"
#include "json/json_stored_text.h"
#include "json/json_text_internal.h"

namespace vx {

// Builds the nodes of what the parser's single pass reads. What is read is
// kept as plain records on two lists until its array or object ends; then
// the container's items are made at once, in one segment of their final
// size. The nodes go to a document's arena when there is one, else to the
// heap. Texts point into the parsed text when it outlives the nodes (the
// document keeps it), else each is copied.
class TJsonFastBuilder {
 public:
  // target: the object or array the outermost container fills, or null
  // when it becomes a new node, found in Result.
  TJsonFastBuilder(TJsonArena* arena, bool textStays, TJsonBase* target = nullptr)
      : FArena(arena), FTextStays(textStays), FTarget(target) {}
  // Frees what was built when the pass gave up.
  ~TJsonFastBuilder() {
    for (const TPendingPair& pair : FPairs) {
      FreeStoredText(pair.Name, pair.NameFlags);
      Discard(pair.Value);
    }
    for (const TPendingValue& value : FValues) Discard(value);
    Discard(FResult);
  }
  TJsonFastBuilder(const TJsonFastBuilder&) = delete;
  TJsonFastBuilder& operator=(const TJsonFastBuilder&) = delete;

  bool Null() {
    Next().Type = jvNull;
    return true;
  }
  bool Boolean(bool flag) {
    TPendingValue& value = Next();
    value.Type = jvBoolean;
    value.Flags = flag ? TJsonNodeAccess::kValueTrue : 0;
    return true;
  }
  bool Number(double number) {
    TPendingValue& value = Next();
    value.Type = jvNumber;
    value.Data.Number = number;
    return true;
  }
  bool String(std::string_view text, const TJsonStringForm& form) {
    const TJsonStoredText stored = MakeStoredText(text, StoredTextFlags(form), !FTextStays);
    TPendingValue& value = Next();
    value.Type = jvString;
    value.Flags = static_cast<uint8_t>(stored.Flags << TJsonNodeAccess::kValueTextShift);
    value.Length = stored.Length;
    value.Data.Text = stored.Data;
    return true;
  }

  bool StartArray() {
    FOpen.push_back({false, FValues.size()});
    return true;
  }
  bool EndArray(size_t items) {
    const size_t first = FOpen.back().First;
    FOpen.pop_back();
    TJsonArray* array = FOpen.empty() && FTarget ? static_cast<TJsonArray*>(FTarget) : NewNode<TJsonArray>();
    FillArray(*array, FValues.data() + first, items);
    FValues.resize(first);
    if (array != FTarget) Deliver(jvArray, array);
    return true;
  }

  bool StartObject() {
    FOpen.push_back({true, FPairs.size()});
    return true;
  }
  bool Key(std::string_view text, const TJsonStringForm& form) {
    const TJsonStoredText stored = MakeStoredText(text, StoredTextFlags(form), !FTextStays);
    FPairs.push_back({stored.Data, stored.Length, stored.Flags, TPendingValue()});
    return true;
  }
  bool EndObject(size_t pairs) {
    const size_t first = FOpen.back().First;
    FOpen.pop_back();
    TJsonObject* object = FOpen.empty() && FTarget ? static_cast<TJsonObject*>(FTarget) : NewNode<TJsonObject>();
    FillObject(*object, FPairs.data() + first, pairs);
    FPairs.resize(first);
    if (object != FTarget) Deliver(jvObject, object);
    return true;
  }

  // After a complete pass without a target: the outermost value, moved
  // into value.
  void MoveResultInto(TJsonValue& value) {
    Place(value, FResult);
    FResult = TPendingValue();
  }
  // After a complete pass over a document's text: its root.
  void MoveResultInto(TFastJSON& document) {
    if (FResult.Type == jvArray) {
      TJsonNodeAccess::SetRoot(document, FResult.Data.Array, FArena != nullptr);
    } else {
      TJsonNodeAccess::SetRoot(document, FResult.Data.Object, FArena != nullptr);
    }
    FResult = TPendingValue();
  }

 private:
  // A value read whose container is not complete yet; Flags are those of
  // TJsonValue.
  struct TPendingValue {
    TJsonValueType Type = jvNone;
    uint8_t Flags = 0;
    uint32_t Length = 0;
    TJsonValueData Data{0};
  };
  struct TPendingPair {
    const char* Name;
    uint32_t NameLength;
    uint8_t NameFlags;
    TPendingValue Value;
  };
  // An open array or object and where its items start on their list.
  struct TOpen {
    bool IsObject;
    size_t First;
  };

  // The record that the next value read fills.
  TPendingValue& Next() {
    if (FOpen.empty()) return FResult;
    if (FOpen.back().IsObject) return FPairs.back().Value;
    FValues.emplace_back();
    return FValues.back();
  }

  void Deliver(TJsonValueType type, void* container) {
    TPendingValue& value = Next();
    value.Type = type;
    value.Flags = FArena ? 0 : TJsonNodeAccess::kValueChildOwned;
    if (type == jvObject) {
      value.Data.Object = static_cast<TJsonObject*>(container);
    } else {
      value.Data.Array = static_cast<TJsonArray*>(container);
    }
  }

  static void Place(TJsonValue& value, const TPendingValue& pending) {
    TJsonNodeAccess::Fill(value, pending.Type, pending.Flags, pending.Length, pending.Data);
  }

  static void Discard(const TPendingValue& value) {
    const bool owned = value.Flags & TJsonNodeAccess::kValueChildOwned;
    if (value.Type == jvString) {
      FreeStoredText(value.Data.Text, static_cast<uint8_t>(value.Flags >> TJsonNodeAccess::kValueTextShift));
    }
    if (value.Type == jvObject) DestroyJsonNode(value.Data.Object, owned);
    if (value.Type == jvArray) DestroyJsonNode(value.Data.Array, owned);
  }

  template <typename TNode>
  TNode* NewNode() {
    if (FArena == nullptr) return TJsonNodeAccess::New<TNode>(nullptr);
    return TJsonNodeAccess::NewAt<TNode>(FArena->Allocate(sizeof(TNode)), nullptr);
  }

  template <typename TItem>
  TJsonSegment<TItem>* NewSegment(TJsonBase* owner, size_t capacity, bool inArena) {
    const size_t bytes = TJsonSegment<TItem>::BytesFor(static_cast<uint32_t>(capacity));
    auto* segment = static_cast<TJsonSegment<TItem>*>(inArena ? FArena->Allocate(bytes) : ::operator new(bytes));
    segment->Owner = owner;
    segment->Next = nullptr;
    segment->Capacity = static_cast<uint32_t>(capacity);
    segment->Count = static_cast<uint32_t>(capacity);
    return segment;
  }

  void FillArray(TJsonArray& array, const TPendingValue* values, size_t count) {
    if (count == 0) return;
    TJsonSegment<TJsonItem>* segment = NewSegment<TJsonItem>(&array, count, FArena != nullptr);
    TJsonItem* items = segment->Items();
    for (size_t i = 0; i < count; ++i) Place(*new (items + i) TJsonItem(&array, 0), values[i]);
    TJsonNodeAccess::Items(array).Adopt(segment, static_cast<uint32_t>(count), FArena != nullptr);
  }

  // The pairs go into segments of at most kMaxSegmentItems; only the first
  // may lie in the arena.
  void FillObject(TJsonObject& object, const TPendingPair* pairs, size_t count) {
    TJsonSegment<TJsonPair>* first = nullptr;
    TJsonSegment<TJsonPair>* last = nullptr;
    for (size_t done = 0; done < count;) {
      constexpr size_t kMost = TJsonNodeAccess::kMaxPairsPerSegment;
      const size_t size = count - done < kMost ? count - done : kMost;
      TJsonSegment<TJsonPair>* segment = NewSegment<TJsonPair>(&object, size, FArena != nullptr && first == nullptr);
      TJsonPair* items = segment->Items();
      for (size_t i = 0; i < size; ++i) {
        const TPendingPair& pending = pairs[done + i];
        const TJsonStoredText name{pending.Name, pending.NameLength, pending.NameFlags};
        TJsonPair* pair = TJsonNodeAccess::NewPairAt(items + i, name, static_cast<uint32_t>(i));
        Place(pair->Value(), pending.Value);
      }
      if (last) {
        last->Next = segment;
      } else {
        first = segment;
      }
      last = segment;
      done += size;
    }
    TJsonNodeAccess::Items(object).Adopt(first, static_cast<uint32_t>(count), FArena != nullptr);
  }

  TJsonArena* const FArena;
  const bool FTextStays;
  TJsonBase* const FTarget;
  TPendingValue FResult;
  std::vector<TOpen> FOpen;
  std::vector<TPendingValue> FValues;
  std::vector<TPendingPair> FPairs;
};

// Makes and fills the nodes for the parser's splitting rules, through the
// lists of the nodes. Texts point into the parsed text when it outlives
// the nodes, else each is copied.
class TJsonSplitBuilder {
 public:
  using TDocumentRef = TFastJSON*;
  using TObjectRef = TJsonObject*;
  using TArrayRef = TJsonArray*;
  using TPairRef = TJsonPair*;
  using TValueRef = TJsonValue*;

  explicit TJsonSplitBuilder(bool textStays) : FTextStays(textStays) {}

  TJsonArray* NewRootArray(TFastJSON* document) {
    document->NewArray();
    return document->JsonArray();
  }
  TJsonObject* NewRootObject(TFastJSON* document) {
    document->NewObject();
    return document->JsonObject();
  }
  TJsonPair* AddPair(TJsonObject* object) { return &object->Add(std::string_view()); }
  // A name that fails to decode leaves the pair's name empty.
  void SetPairName(TJsonPair* pair, std::string_view escaped) {
    const TJsonStringForm form = InspectJsonText(escaped);
    if (!form.Valid) throw EJsonError("InvalidHexNumber");
    TJsonNodeAccess::AdoptName(*pair, MakeStoredText(escaped, StoredTextFlags(form), !FTextStays));
  }
  TJsonValue* PairValue(TJsonPair* pair) { return &pair->Value(); }
  TJsonValue* AddItem(TJsonArray* array) { return &array->Add(); }

  void SetNull(TJsonValue* value) { TJsonNodeAccess::Fill(*value, jvNull, 0, 0, TJsonValueData{0}); }
  void SetBoolean(TJsonValue* value, bool flag) { value->SetAsBoolean(flag); }
  void SetNumber(TJsonValue* value, double number) {
    TJsonNodeAccess::Fill(*value, jvNumber, 0, 0, TJsonValueData{number});
  }
  // A text that fails to decode leaves a string value with no text.
  void SetString(TJsonValue* value, std::string_view escaped) {
    TJsonNodeAccess::Fill(*value, jvString, 0, 0, TJsonValueData{0});
    const TJsonStringForm form = InspectJsonText(escaped);
    if (!form.Valid) throw EJsonError("InvalidHexNumber");
    const TJsonStoredText text = MakeStoredText(escaped, StoredTextFlags(form), !FTextStays);
    TJsonValueData data;
    data.Text = text.Data;
    TJsonNodeAccess::Fill(*value, jvString, static_cast<uint8_t>(text.Flags << TJsonNodeAccess::kValueTextShift),
                          text.Length, data);
  }
  TJsonObject* SetObject(TJsonValue* value) { return &value->AsObject(); }
  TJsonArray* SetArray(TJsonValue* value) { return &value->AsArray(); }

  // Quotes at most 100 bytes of the text, after the enclosing pair's name.
  [[noreturn]] void RaiseParseError(const TJsonBase* node, std::string_view text) {
    std::string message = "\"" + node->EnclosingPairName() + "\" parse error: ";
    message.append(text.substr(0, 100));
    message += " ..";
    TJsonNodeAccess::RaiseJsonError(*node, message);
  }

 private:
  const bool FTextStays;
};

// The parser's two passes over the model's nodes.
using TJsonNodeFastReader = TJsonFastReader<TJsonFastBuilder>;
using TJsonNodeSplitReader = TJsonSplitReader<TJsonSplitBuilder>;

}  // namespace vx
