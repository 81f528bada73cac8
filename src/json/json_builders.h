// The builders of the JSON model's nodes: TJsonTapeBuilder makes them from
// the tape of the parser's single pass (json_tape.h), TJsonSplitBuilder for
// the parser's splitting rules (json_parser.h). They run once for every
// piece read, so they are defined here, where the calls can be inlined.
// For the model's own code only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "json/fast_json.h"
#include "json/json_arena.h"
#include "json/json_error.h"
#include "json/json_list.h"
#include "json/json_node_access.h"
#include "json/json_parser.h"
#include "json/json_stored_text.h"
#include "json/json_tape.h"
#include "json/json_text_internal.h"

namespace vx {

// Makes the nodes of arrays and objects from a tape (json_tape.h). Each
// container's items are made at once, in one segment of their final size.
// With a document's arena, the nodes go there, their texts stay where the
// tape points (the document's text), and an array or object among the
// items is made empty, its own items pending on the tape. Without one, the
// nodes go to the heap, each text is copied, and arrays and objects are
// made all the way down, so that nothing refers to the tape or the text.
class TJsonTapeBuilder {
 public:
  explicit TJsonTapeBuilder(TJsonArena* arena) : FArena(arena) {}

  // The container must be empty and not pending; record is its own. When
  // making a node fails, the container holds what was made so far.
  void Fill(TJsonArray& array, TJsonTapeRecord record) {
    const uint32_t count = record.Count();
    if (count == 0) return;
    TJsonSegment<TJsonItem>* segment = NewSegment<TJsonItem>(&array, count, FArena != nullptr);
    TJsonItem* items = segment->Items();
    for (uint32_t i = 0; i < count; ++i) new (items + i) TJsonItem(&array, 0);
    TJsonNodeAccess::ItemsToFill(array).Adopt(segment, count, FArena != nullptr);
    uint32_t i = 0;
    ForEachTapeItem(record, [&](TJsonTapeRecord item) { Fill(items[i++], item); });
  }

  // The pairs go into segments of at most kMaxPairsPerSegment; only the
  // first may lie in the arena.
  void Fill(TJsonObject& object, TJsonTapeRecord record) {
    const uint32_t count = record.Count();
    TJsonSegment<TJsonPair>* first = nullptr;
    TJsonSegment<TJsonPair>* last = nullptr;
    for (uint32_t done = 0; done < count;) {
      constexpr uint32_t kMost = TJsonNodeAccess::kMaxPairsPerSegment;
      const uint32_t size = count - done < kMost ? count - done : kMost;
      TJsonSegment<TJsonPair>* segment = NewSegment<TJsonPair>(&object, size, FArena != nullptr && first == nullptr);
      TJsonPair* items = segment->Items();
      for (uint32_t i = 0; i < size; ++i) TJsonNodeAccess::NewPairAt(items + i, TJsonStoredText(), i);
      if (last) {
        last->Next = segment;
      } else {
        first = segment;
      }
      last = segment;
      done += size;
    }
    TJsonNodeAccess::ItemsToFill(object).Adopt(first, count, FArena != nullptr);
    TJsonSegment<TJsonPair>* segment = first;
    uint32_t i = 0;
    ForEachTapeItem(record, [&](TJsonTapeRecord name) {
      if (i == segment->Count) {
        segment = segment->Next;
        i = 0;
      }
      TJsonPair& pair = segment->Items()[i++];
      TJsonNodeAccess::AdoptName(pair, Text(name));
      Fill(pair.Value(), TJsonTapeRecord(name.End(), name.Source()));
    });
  }

  // The value must be empty.
  void Fill(TJsonValue& value, TJsonTapeRecord record) {
    TJsonValueData data{0};
    switch (record.Tag()) {
      case TJsonTapeTag::Null:
        return TJsonNodeAccess::Fill(value, jvNull, 0, 0, data);
      case TJsonTapeTag::False:
        return TJsonNodeAccess::Fill(value, jvBoolean, 0, 0, data);
      case TJsonTapeTag::True:
        return TJsonNodeAccess::Fill(value, jvBoolean, TJsonNodeAccess::kValueTrue, 0, data);
      case TJsonTapeTag::Integer:
      case TJsonTapeTag::Number:
        data.Number = record.Number();
        return TJsonNodeAccess::Fill(value, jvNumber, 0, 0, data);
      case TJsonTapeTag::String:
      case TJsonTapeTag::ShortString: {
        const TJsonStoredText text = Text(record);
        data.Text = text.Data;
        return TJsonNodeAccess::Fill(value, jvString,
                                     static_cast<uint8_t>(text.Flags << TJsonNodeAccess::kValueTextShift), text.Length,
                                     data);
      }
      case TJsonTapeTag::Array:
        data.Array = Container<TJsonArray>(record);
        TJsonNodeAccess::Fill(value, jvArray, FArena ? 0 : TJsonNodeAccess::kValueChildOwned, 0, data);
        if (!FArena) Fill(*data.Array, record);
        return;
      case TJsonTapeTag::Object:
        data.Object = Container<TJsonObject>(record);
        TJsonNodeAccess::Fill(value, jvObject, FArena ? 0 : TJsonNodeAccess::kValueChildOwned, 0, data);
        if (!FArena) Fill(*data.Object, record);
        return;
      case TJsonTapeTag::Name:
      case TJsonTapeTag::ShortName:
      case TJsonTapeTag::Link:
        break;  // no value's record
    }
  }

 private:
  TJsonStoredText Text(TJsonTapeRecord record) const {
    const TJsonStoredText text = record.Text();
    return MakeStoredText(std::string_view(text.Data, text.Length), text.Flags, FArena == nullptr);
  }

  // An empty array or object, pending on the tape when it goes to the
  // arena; its owner is set when a value takes it.
  template <typename TNode>
  TNode* Container(TJsonTapeRecord record) {
    if (FArena == nullptr) return TJsonNodeAccess::New<TNode>(nullptr);
    TNode* node = TJsonNodeAccess::NewAt<TNode>(FArena->Allocate(sizeof(TNode)), nullptr);
    TJsonNodeAccess::SetPending(*node, TJsonPending{record.Where(), record.Source(), FArena});
    return node;
  }

  template <typename TItem>
  TJsonSegment<TItem>* NewSegment(TJsonBase* owner, uint32_t capacity, bool inArena) {
    const size_t bytes = TJsonSegment<TItem>::BytesFor(capacity);
    auto* segment = static_cast<TJsonSegment<TItem>*>(inArena ? FArena->Allocate(bytes) : ::operator new(bytes));
    segment->Owner = owner;
    segment->Next = nullptr;
    segment->Capacity = capacity;
    segment->Count = capacity;
    return segment;
  }

  TJsonArena* const FArena;
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

// The parser's two passes: the single pass writes a tape, the splitting
// rules make the model's nodes.
using TJsonTapeReader = TJsonFastReader<TJsonTapeWriter>;
using TJsonNodeSplitReader = TJsonSplitReader<TJsonSplitBuilder>;

}  // namespace vx
