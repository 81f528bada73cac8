// The nodes of the JSON model: the operations of each node class and of
// the document, but for the deep copy (json_assign.cpp) and files
// (json_file.cpp).
#include "json/fast_json.h"

#include <cstring>
#include <memory>
#include <string>

#include "json/json_builders.h"
#include "json/json_node_access.h"
#include "json/json_parser.h"
#include "json/json_stored_text.h"
#include "json/json_text_internal.h"
#include "json/json_writer.h"
#include "support/errors.h"
#include "support/text_utils.h"

namespace vx {

static_assert(sizeof(TJsonValue) == 16, "a value takes two words");
static_assert(sizeof(TJsonPair) == 16 + sizeof(TJsonValue), "a pair ends with its value, with no padding");

namespace {

using TTextFlags = TJsonTextFlags;

// The single pass over a text that an empty node parses on its own: true,
// with the node filled, when it read the whole text. The tape is the
// pass's alone; the nodes and texts go to the heap, since only a document
// keeps a text that its nodes can point into.
template <typename TNode>
bool ReadInOnePass(std::string_view text, TNode& node) {
  TJsonArena arena;
  TJsonTapeWriter tape(arena, text);
  if (!TJsonTapeReader(tape, kJsonMaxDepth).Read(text)) return false;
  TJsonTapeBuilder(nullptr).Fill(node, tape.Root());
  return true;
}

// Parses an object's or array's own text: the single pass first, the
// splitting rules (split) when it gives up.
template <typename TNode, typename TSplit>
void ParseContainer(TNode& node, std::string_view text, char open, char close, TSplit split) {
  text = CutJsonTextAtNul(text);
  node.Clear();
  const std::string_view trimmed = JsonTrim(text);
  if (JsonTextEncloses(trimmed, open, close) && ReadInOnePass(trimmed, node)) return;
  TJsonSplitBuilder builder(false);
  TJsonNodeSplitReader reader(builder, text, kJsonMaxDepth);
  split(reader, text);
}

// Makes a pending container's items from the tape; pending and items are
// its own. When that fails, the items made so far go and the items stay
// pending.
template <typename TContainer, typename TItems>
void BuildPendingItems(TContainer& container, TJsonPending& pending, TItems& items) {
  const TJsonPending from = pending;
  pending = TJsonPending();
  try {
    TJsonTapeBuilder(from.Arena).Fill(container, PendingRecord(from));
  } catch (...) {
    items.Clear();
    pending = from;
    throw;
  }
}

}  // namespace

// TJsonBase

const char* JsonValueTypeName(TJsonValueType type) {
  static const char* const kNames[] = {"jvNone", "jvNull", "jvString", "jvNumber", "jvBoolean", "jvObject", "jvArray"};
  return type <= jvArray ? kNames[type] : "?";
}

void TJsonBase::Parse(std::string_view text) {
  switch (FKind) {
    case TKind::Document: return static_cast<TFastJSON*>(this)->Parse(text);
    case TKind::Object: return static_cast<TJsonObject*>(this)->Parse(text);
    case TKind::Array: return static_cast<TJsonArray*>(this)->Parse(text);
    case TKind::Pair: return static_cast<TJsonPair*>(this)->Parse(text);
    case TKind::Value: break;
  }
  static_cast<TJsonValue*>(this)->Parse(text);
}

std::string TJsonBase::Stringify(TJSONFormatter* formatter) const {
  switch (FKind) {
    case TKind::Document: return static_cast<const TFastJSON*>(this)->Stringify(formatter);
    case TKind::Object: return static_cast<const TJsonObject*>(this)->Stringify(formatter);
    case TKind::Array: return static_cast<const TJsonArray*>(this)->Stringify(formatter);
    case TKind::Pair: return static_cast<const TJsonPair*>(this)->Stringify(formatter);
    case TKind::Value: break;
  }
  return static_cast<const TJsonValue*>(this)->Stringify(formatter);
}

void TJsonBase::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  switch (FKind) {
    case TKind::Document: return static_cast<const TFastJSON*>(this)->WriteTo(stream, formatter);
    case TKind::Object: return static_cast<const TJsonObject*>(this)->WriteTo(stream, formatter);
    case TKind::Array: return static_cast<const TJsonArray*>(this)->WriteTo(stream, formatter);
    case TKind::Pair: return static_cast<const TJsonPair*>(this)->WriteTo(stream, formatter);
    case TKind::Value: break;
  }
  static_cast<const TJsonValue*>(this)->WriteTo(stream, formatter);
}

void TJsonBase::Assign(const TJsonBase* source) {
  switch (FKind) {
    case TKind::Document: return static_cast<TFastJSON*>(this)->Assign(source);
    case TKind::Object: return static_cast<TJsonObject*>(this)->Assign(source);
    case TKind::Array: return static_cast<TJsonArray*>(this)->Assign(source);
    case TKind::Pair: return static_cast<TJsonPair*>(this)->Assign(source);
    case TKind::Value: break;
  }
  static_cast<TJsonValue*>(this)->Assign(source);
}

TJsonBase* TJsonBase::Owner() const {
  switch (FKind) {
    case TKind::Document: return nullptr;
    case TKind::Object: return static_cast<const TJsonObject*>(this)->Owner();
    case TKind::Array: return static_cast<const TJsonArray*>(this)->Owner();
    case TKind::Pair: return static_cast<const TJsonPair*>(this)->Owner();
    case TKind::Value: break;
  }
  return static_cast<const TJsonValue*>(this)->Owner();
}

const char* TJsonBase::ClassName() const {
  switch (FKind) {
    case TKind::Document: return "TFastJSON";
    case TKind::Object: return "TJsonObject";
    case TKind::Array: return "TJsonArray";
    case TKind::Pair: return "TJsonPair";
    case TKind::Value: break;
  }
  return "TJsonValue";
}

std::string TJsonBase::EnclosingPairName() const {
  for (const TJsonBase* node = Owner(); node != nullptr; node = node->Owner()) {
    if (node->FKind == TKind::Pair) return static_cast<const TJsonPair*>(node)->Name();
  }
  return std::string();
}

void TJsonBase::RaiseJsonError(std::string_view message) const { throw EJsonError(JsonErrorText(ClassName(), message)); }

// TJsonValue

TJsonValue::TJsonValue(TJsonValue&& source, uint8_t placement)
    : TJsonBase(TKind::Value),
      FValueType(source.FValueType),
      FFlags(static_cast<uint8_t>((source.FFlags & ~(kInPair | kInArray)) | placement)),
      FLength(source.FLength),
      FData(source.FData) {
  if (FValueType == jvObject) TJsonNodeAccess::SetOwner(*FData.Object, this);
  if (FValueType == jvArray) TJsonNodeAccess::SetOwner(*FData.Array, this);
  source.FValueType = jvNone;
  source.FFlags &= kInPair | kInArray;
  source.FLength = 0;
  source.FData.Number = 0;
}

TJsonValue::~TJsonValue() { Clear(); }

TJsonBase* TJsonValue::Owner() const {
  if (FFlags & kInPair) return const_cast<TJsonPair*>(&TJsonNodeAccess::PairOf(*this));
  if (FFlags & kInArray) return static_cast<const TJsonItem*>(this)->Array;
  return nullptr;
}

void TJsonValue::Clear() {
  if (FValueType == jvString) FreeStoredText(FData.Text, TextFlags());
  if (FValueType == jvObject) DestroyJsonNode(FData.Object, FFlags & kChildOwned);
  if (FValueType == jvArray) DestroyJsonNode(FData.Array, FFlags & kChildOwned);
  FValueType = jvNone;
  FFlags &= kInPair | kInArray;
  FLength = 0;
  FData.Number = 0;
}

std::string_view TJsonValue::RawText() const { return TJsonNodeAccess::RawText(*this); }

void TJsonValue::SetText(const char* data, size_t length, uint8_t textFlags) {
  FData.Text = data;
  FLength = static_cast<uint32_t>(length);
  FFlags = static_cast<uint8_t>((FFlags & ~(TTextFlags::kMask << kTextShift)) | (textFlags << kTextShift));
}

void TJsonValue::RaiseValueTypeError(TJsonValueType target) const {
  RaiseJsonError("\"" + EnclosingPairName() + "\" value type error: " + JsonValueTypeName(FValueType) + " to " +
                 JsonValueTypeName(target));
}

std::string TJsonValue::StringValue() const {
  return FValueType == jvString ? DecodeStoredText(RawText(), TextFlags()) : std::string();
}

std::string TJsonValue::AsString() const {
  switch (FValueType) {
    case jvNone:
    case jvNull:
      return std::string();
    case jvString:
      return StringValue();
    case jvNumber:
      return JsonFloatToText(FData.Number);
    case jvBoolean:
      return (FFlags & kTrue) ? "true" : "false";
    case jvObject:
    case jvArray:
      break;
  }
  RaiseValueTypeError(jvString);
}

void TJsonValue::SetAsString(std::string_view text) {
  const TJsonStoredText copy = MakeStoredText(text, 0, true);
  if (FValueType != jvString) {
    Clear();
    FValueType = jvString;
  } else {
    FreeStoredText(FData.Text, TextFlags());
  }
  SetText(copy.Data, copy.Length, copy.Flags);
}

bool TJsonValue::AsBoolean() const {
  switch (FValueType) {
    case jvNone:
    case jvNull:
      return false;
    case jvString:
      return (TextFlags() & TTextFlags::kEscaped) ? TextEquals(StringValue(), "true") : TextEquals(RawText(), "true");
    case jvNumber:
      return FData.Number != 0;
    case jvBoolean:
      return FFlags & kTrue;
    case jvObject:
    case jvArray:
      break;
  }
  RaiseValueTypeError(jvBoolean);
}

void TJsonValue::SetAsBoolean(bool value) {
  if (FValueType != jvBoolean) {
    Clear();
    FValueType = jvBoolean;
  }
  FFlags = static_cast<uint8_t>(value ? FFlags | kTrue : FFlags & ~kTrue);
}

TJsonArray& TJsonValue::AsArray() {
  if (FValueType == jvNone) {
    FData.Array = TJsonNodeAccess::New<TJsonArray>(this);
    FValueType = jvArray;
    FFlags |= kChildOwned;
  }
  if (FValueType != jvArray) RaiseValueTypeError(jvArray);
  return *FData.Array;
}

TJsonObject& TJsonValue::AsObject() {
  if (FValueType == jvNone) {
    FData.Object = TJsonNodeAccess::New<TJsonObject>(this);
    FValueType = jvObject;
    FFlags |= kChildOwned;
  }
  if (FValueType != jvObject) RaiseValueTypeError(jvObject);
  return *FData.Object;
}

void TJsonValue::Parse(std::string_view text) {
  text = CutJsonTextAtNul(text);
  Clear();
  // A value's text is not trimmed, so the single pass only takes text
  // without blanks around it.
  if (!text.empty() && !IsJsonBlank(text.front()) && !IsJsonBlank(text.back()) && ReadInOnePass(text, *this)) return;
  TJsonSplitBuilder builder(false);
  TJsonNodeSplitReader(builder, text, kJsonMaxDepth).Value(this, text, 0, nullptr);
}

std::string TJsonValue::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, 0, [this](TJsonWriter& writer) { writer.Value(*this); });
}

void TJsonValue::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Value(*this); });
}

// TJsonArray

TJsonArray::TJsonArray() : TJsonBase(TKind::Array) {}
TJsonArray::TJsonArray(TJsonBase* owner) : TJsonBase(TKind::Array), FOwner(owner) {}
TJsonArray::~TJsonArray() = default;

TJsonValue& TJsonArray::Items(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  return TJsonNodeAccess::Items(*this).At(static_cast<uint32_t>(index));
}

TJsonValue& TJsonArray::Add() { return TJsonNodeAccess::Items(*this).Append(this, this); }

void TJsonArray::Clear() {
  FPending = TJsonPending();
  FItems.Clear();
}

void TJsonArray::BuildItems() const {
  if (FPending.Record) BuildPendingItems(*const_cast<TJsonArray*>(this), FPending, FItems);
}

uint32_t TJsonArray::PendingCount() const { return PendingRecord(FPending).Count(); }

void TJsonArray::Parse(std::string_view text) {
  ParseContainer(*this, text, '[', ']', [this](TJsonNodeSplitReader& reader, std::string_view all) {
    reader.Array(this, all, 1, nullptr);
  });
}

std::string TJsonArray::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, 0, [this](TJsonWriter& writer) { writer.Array(*this); });
}

void TJsonArray::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Array(*this); });
}

// TJsonPair

TJsonPair::TJsonPair(std::string_view name, uint32_t index)
    : TJsonBase(TKind::Pair), FNameFlags(kInObject), FIndex(static_cast<uint16_t>(index)) {
  SetNameText(name.data(), name.size(), 0);
}

TJsonPair::TJsonPair(const char* name, uint32_t nameLength, uint8_t nameFlags, uint32_t index)
    : TJsonBase(TKind::Pair),
      FNameFlags(static_cast<uint8_t>(nameFlags | kInObject)),
      FIndex(static_cast<uint16_t>(index)),
      FNameLength(nameLength),
      FName(name) {}

TJsonPair::TJsonPair(TJsonPair&& source, uint32_t index)
    : TJsonBase(TKind::Pair),
      FNameFlags(source.FNameFlags),
      FIndex(static_cast<uint16_t>(index)),
      FNameLength(source.FNameLength),
      FName(source.FName),
      FValue(std::move(source.FValue), TJsonValue::kInPair) {
  source.FNameFlags &= kInObject;
  source.FNameLength = 0;
  source.FName = nullptr;
}

TJsonPair::~TJsonPair() { FreeName(); }

const TJsonPair& TJsonPair::OfValue(const TJsonValue& value) {
  // The value is the pair's last member.
  constexpr size_t kValueOffset = sizeof(TJsonPair) - sizeof(TJsonValue);
  return *reinterpret_cast<const TJsonPair*>(reinterpret_cast<const char*>(&value) - kValueOffset);
}

TJsonBase* TJsonPair::Owner() const { return (FNameFlags & kInObject) ? Object() : nullptr; }

TJsonObject* TJsonPair::Object() const {
  return static_cast<TJsonObject*>(TJsonSegment<TJsonPair>::OfFirstItem(this - FIndex)->Owner);
}

std::string_view TJsonPair::RawName() const { return TJsonNodeAccess::RawName(*this); }

void TJsonPair::SetNameText(const char* data, size_t length, uint8_t textFlags) {
  const TJsonStoredText copy = MakeStoredText(std::string_view(data, length), textFlags, true);
  FreeName();
  FName = copy.Data;
  FNameLength = copy.Length;
  FNameFlags = static_cast<uint8_t>((FNameFlags & kInObject) | copy.Flags);
}

void TJsonPair::FreeName() {
  FreeStoredText(FName, static_cast<uint8_t>(FNameFlags & TTextFlags::kMask));
  FName = nullptr;
  FNameLength = 0;
  FNameFlags &= kInObject;
}

std::string TJsonPair::Name() const {
  return DecodeStoredText(RawName(), static_cast<uint8_t>(FNameFlags & TTextFlags::kMask));
}

void TJsonPair::SetName(std::string_view name) { SetNameText(name.data(), name.size(), 0); }

void TJsonPair::Parse(std::string_view text) {
  FreeName();
  FValue.Clear();
  text = CutJsonTextAtNul(text);
  TJsonSplitBuilder builder(false);
  TJsonNodeSplitReader(builder, text, kJsonMaxDepth).Pair(this, text, 0);
}

std::string TJsonPair::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, 0, [this](TJsonWriter& writer) { writer.Pair(*this); });
}

void TJsonPair::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Pair(*this); });
}

// TJsonObject

TJsonPair& TJsonObject::Items(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  return TJsonNodeAccess::Items(*this).At(static_cast<uint32_t>(index));
}

int TJsonObject::Find(std::string_view name) const {
  return static_cast<int>(TJsonNodeAccess::Items(*this).IndexOf([name](const TJsonPair& pair) {
    return StoredNameEquals(TJsonNodeAccess::RawName(pair), TJsonNodeAccess::NameFlags(pair), name);
  }));
}

TJsonValue& TJsonObject::Values(std::string_view name) {
  const int index = Find(name);
  if (index >= 0) return FItems.At(static_cast<uint32_t>(index)).Value();
  return Add(name).Value();
}

TJsonPair& TJsonObject::Add(std::string_view name) { return TJsonNodeAccess::Items(*this).Append(this, name); }

void TJsonObject::Delete(int index) {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  TJsonNodeAccess::Items(*this).Erase(static_cast<uint32_t>(index));
}

void TJsonObject::Delete(std::string_view name) {
  const int index = Find(name);
  if (index < 0) RaiseJsonError("\"" + std::string(name) + "\" not found");
  Delete(index);
}

void TJsonObject::Clear() {
  FPending = TJsonPending();
  FItems.Clear();
}

void TJsonObject::BuildItems() const {
  if (FPending.Record) BuildPendingItems(*const_cast<TJsonObject*>(this), FPending, FItems);
}

uint32_t TJsonObject::PendingCount() const { return PendingRecord(FPending).Count(); }

void TJsonObject::Parse(std::string_view text) {
  ParseContainer(*this, text, '{', '}', [this](TJsonNodeSplitReader& reader, std::string_view all) {
    reader.Object(this, all, 1, nullptr);
  });
}

std::string TJsonObject::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, 0, [this](TJsonWriter& writer) { writer.Object(*this); });
}

void TJsonObject::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Object(*this); });
}

// TFastJSON

TFastJSON::~TFastJSON() { Clear(); }

void TFastJSON::FreeRoot() {
  if (FJsonArray) DestroyJsonNode(FJsonArray, !FRootInArena);
  if (FJsonObject) DestroyJsonNode(FJsonObject, !FRootInArena);
  FJsonArray = nullptr;
  FJsonObject = nullptr;
  FRootInArena = false;
  FStructType = jsNone;
}

void TFastJSON::Clear() {
  FreeRoot();
  if (FArena) FArena->Release();
  FText.reset();
  FTextSize = 0;
}

void TFastJSON::NewArray() {
  if (FStructType != jsNone) return;
  FJsonArray = TJsonNodeAccess::New<TJsonArray>(this);
  FRootInArena = false;
  FStructType = jsArray;
}

void TFastJSON::NewObject() {
  if (FStructType != jsNone) return;
  FJsonObject = TJsonNodeAccess::New<TJsonObject>(this);
  FRootInArena = false;
  FStructType = jsObject;
}

void TFastJSON::CheckJsonObject() const {
  if (FStructType != jsObject) RaiseJsonError("json struct type is not jsObject");
}

TJsonValue& TFastJSON::Values(std::string_view name) {
  NewObject();
  CheckJsonObject();
  return FJsonObject->Values(name);
}

void TFastJSON::Delete(std::string_view name) {
  CheckJsonObject();
  FJsonObject->Delete(name);
}

std::string_view TFastJSON::KeepText(std::string_view text) {
  text = CutJsonTextAtNul(text);
  FText.reset(new char[text.size() + 1]);
  if (!text.empty()) std::memcpy(FText.get(), text.data(), text.size());
  FTextSize = text.size();
  return std::string_view(FText.get(), text.size());
}

void TFastJSON::ParseKeptText(std::string_view text) {
  const std::string_view trimmed = JsonTrim(text);
  if (JsonTextEncloses(trimmed, '[', ']') || JsonTextEncloses(trimmed, '{', '}')) {
    if (!FArena) FArena = std::make_unique<TJsonArena>();
    TJsonTapeWriter tape(*FArena, trimmed);
    if (TJsonTapeReader(tape, kJsonMaxDepth).Read(trimmed)) {
      // The root's items wait on the tape, as all below them do.
      const TJsonTapeRecord root = tape.Root();
      if (root.Tag() == TJsonTapeTag::Array) {
        TJsonArray* array = TJsonNodeAccess::NewAt<TJsonArray>(FArena->Allocate(sizeof(TJsonArray)), nullptr);
        TJsonNodeAccess::SetPending(*array, TJsonPending{root.Where(), root.Source(), FArena.get()});
        TJsonNodeAccess::SetRoot(*this, array, true);
      } else {
        TJsonObject* object = TJsonNodeAccess::NewAt<TJsonObject>(FArena->Allocate(sizeof(TJsonObject)), nullptr);
        TJsonNodeAccess::SetPending(*object, TJsonPending{root.Where(), root.Source(), FArena.get()});
        TJsonNodeAccess::SetRoot(*this, object, true);
      }
      return;
    }
  }
  ParseKeptTextSplitting(text);
}

void TFastJSON::ParseKeptTextSplitting(std::string_view text) {
  // What the single pass built is freed first; only the text stays.
  FreeRoot();
  if (FArena) FArena->Release();
  TJsonSplitBuilder builder(true);
  TJsonNodeSplitReader(builder, text, kJsonMaxDepth).Document(this, text);
}

void TFastJSON::Parse(std::string_view text) {
  Clear();
  ParseKeptText(KeepText(text));
}

void ParseJsonDocumentSplitting(TFastJSON& document, std::string_view text) {
  TJsonNodeAccess::ParseSplitting(document, text);
}

std::string TFastJSON::Stringify(TJSONFormatter* formatter) const {
  const size_t sizeHint = formatter ? 0 : FTextSize;
  if (FJsonArray) return StringifyWith(formatter, sizeHint, [this](TJsonWriter& writer) { writer.Array(*FJsonArray); });
  if (FJsonObject) {
    return StringifyWith(formatter, sizeHint, [this](TJsonWriter& writer) { writer.Object(*FJsonObject); });
  }
  return std::string();
}

void TFastJSON::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  if (FJsonArray) FJsonArray->WriteTo(stream, formatter);
  if (FJsonObject) FJsonObject->WriteTo(stream, formatter);
}

}  // namespace vx
