#include "json/fast_json.h"

#include <cstring>
#include <exception>
#include <iterator>
#include <vector>

#include "json/json_formatter.h"
#include "json/json_parser.h"
#include "json/json_text_internal.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/streams.h"
#include "support/text_utils.h"

namespace vx {

namespace {

// Texts end at a NUL byte, as they always did for the model.
std::string_view CutAtNul(std::string_view text) {
  const void* nul = std::memchr(text.data(), 0, text.size());
  return nul ? text.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - text.data())) : text;
}

// True when node is ancestor or lies below it.
bool IsWithin(const TJsonBase* node, const TJsonBase* ancestor) {
  for (; node != nullptr; node = node->Owner()) {
    if (node == ancestor) return true;
  }
  return false;
}

std::unique_ptr<TJsonBase> NewNodeOfKind(TJsonBase::TKind kind) {
  switch (kind) {
    case TJsonBase::TKind::Document: return std::make_unique<TFastJSON>();
    case TJsonBase::TKind::Object: return std::make_unique<TJsonObject>();
    case TJsonBase::TKind::Array: return std::make_unique<TJsonArray>();
    case TJsonBase::TKind::Pair: return std::make_unique<TJsonPair>();
    case TJsonBase::TKind::Value: break;
  }
  return std::make_unique<TJsonValue>();
}

// A copy of a node that lies inside the node being assigned, which empties
// itself first and would otherwise destroy its own source.
std::unique_ptr<TJsonBase> DetachedCopy(const TJsonBase& source) {
  std::unique_ptr<TJsonBase> copy = NewNodeOfKind(source.Kind());
  copy->Assign(&source);
  return copy;
}

}  // namespace

// Writes nodes as JSON into a text, or through a text buffer into a stream.
// Both writers of the model run here, so that the compact bytes are the same
// for both; with a formatter the stream layout and the text layout differ
// as the formatter's rules say.
class TJsonWriter {
 public:
  TJsonWriter(TStream* stream, TJSONFormatter* formatter) : FStream(stream), FFormatter(formatter) {
    if (FStream) FBase = FStream->Position();
  }

  void Value(const TJsonValue& value) {
    switch (value.ValueType()) {
      case jvNone:
      case jvNull:
        FOut.append("null", 4);
        break;
      case jvString:
        FOut += '"';
        AppendEncodedJsonText(FOut, value.StringValue());
        FOut += '"';
        MaybeFlush();
        break;
      case jvNumber:
        AppendJsonFloat(FOut, value.NumberValue());
        break;
      case jvBoolean:
        if (value.BooleanValue()) {
          FOut.append("true", 4);
        } else {
          FOut.append("false", 5);
        }
        break;
      case jvObject:
        Object(*value.ObjectValue());
        break;
      case jvArray:
        Array(*value.ArrayValue());
        break;
    }
  }

  void Pair(const TJsonPair& pair) {
    Format(fmIndent);
    FOut += '"';
    AppendEncodedJsonText(FOut, pair.Name);
    FOut.append("\":", 2);
    Value(pair.Value());
  }

  void Object(const TJsonObject& object) {
    if (FFormatter) {
      // The stream layout starts an object on a line of its own unless it is
      // the very first thing written.
      Format(FStream == nullptr || Position() == 0 ? fmIndent : fmLineBreakIndent);
    }
    FOut += '{';
    bool first = true;
    for (const auto& pair : object.FItems) {
      if (!first) FOut += ',';
      first = false;
      Format(fmLineBreak);
      Pair(*pair);
    }
    Format(fmLineBreakIndent);
    FOut += '}';
  }

  void Array(const TJsonArray& array) {
    Format(fmIndentIn);
    FOut += '[';
    bool first = true;
    for (const auto& item : array.FItems) {
      if (!first) FOut += ',';
      first = false;
      if (FStream == nullptr) Format(fmLineBreak);
      Value(*item);
      MaybeFlush();
    }
    Format(fmLineBreakIndent);
    FOut += ']';
    Format(fmLineBreakOut);
  }

  // Writes what is left to the stream.
  void Finish() { Flush(); }

  std::string TakeText() { return std::move(FOut); }

 private:
  // Stream writes in blocks of about this size; the stream may cache too.
  static constexpr size_t kFlushSize = 64 * 1024;

  void Format(TJSONFormatterAction action) {
    if (FFormatter) TJSONFormatter::AppendFormat(FOut, action, FFormatter);
  }
  int64_t Position() const { return FBase + FFlushed + static_cast<int64_t>(FOut.size()); }
  void MaybeFlush() {
    if (FStream && FOut.size() >= kFlushSize) Flush();
  }
  void Flush() {
    if (!FStream || FOut.empty()) return;
    FStream->WriteText(FOut);
    FFlushed += static_cast<int64_t>(FOut.size());
    FOut.clear();
  }

  TStream* FStream;
  TJSONFormatter* FFormatter;
  std::string FOut;
  int64_t FBase = 0;
  int64_t FFlushed = 0;
};

// Builds the nodes of what the parser's single pass reads. The children of
// the open arrays and objects are collected here and moved into their node
// at its end, so that each node's list is allocated once at its final size.
class TJsonFastBuilder {
 public:
  // The outermost thing read fills target: the root of a document, the
  // array or object itself, or the value.
  explicit TJsonFastBuilder(TJsonBase& target) : FTarget(target) {}

  bool Null() { return Fill(jvNull) != nullptr; }
  bool Boolean(bool flag) {
    TJsonValue* value = Fill(jvBoolean);
    if (value) value->FBooleanValue = flag;
    return value != nullptr;
  }
  bool Number(double number) {
    TJsonValue* value = Fill(jvNumber);
    if (value) value->FNumberValue = number;
    return value != nullptr;
  }
  bool String(std::string_view text, bool plain) {
    TJsonValue* value = Fill(jvString);
    return value && Decode(value->FStringValue, text, plain);
  }

  bool StartArray() {
    TJsonArray* array = nullptr;
    if (FTop == nullptr && FTarget.Kind() == TJsonBase::TKind::Document) {
      auto& document = static_cast<TFastJSON&>(FTarget);
      document.NewArray();
      array = document.JsonArray();
    } else if (FTop == nullptr && FTarget.Kind() == TJsonBase::TKind::Array) {
      array = &static_cast<TJsonArray&>(FTarget);
    } else if (TJsonValue* value = Fill(jvArray)) {
      value->FArrayValue = std::make_unique<TJsonArray>(value);
      array = value->FArrayValue.get();
    }
    if (array == nullptr) return false;
    Open(array, FValues.size());
    return true;
  }
  bool EndArray(size_t /*items*/) {
    auto& array = static_cast<TJsonArray&>(*FTop);
    const auto begin = FValues.begin() + static_cast<std::ptrdiff_t>(FOpen.back().First);
    array.FItems.assign(std::make_move_iterator(begin), std::make_move_iterator(FValues.end()));
    FValues.erase(begin, FValues.end());
    Close();
    return true;
  }

  bool StartObject() {
    TJsonObject* object = nullptr;
    if (FTop == nullptr && FTarget.Kind() == TJsonBase::TKind::Document) {
      auto& document = static_cast<TFastJSON&>(FTarget);
      document.NewObject();
      object = document.JsonObject();
    } else if (FTop == nullptr && FTarget.Kind() == TJsonBase::TKind::Object) {
      object = &static_cast<TJsonObject&>(FTarget);
    } else if (TJsonValue* value = Fill(jvObject)) {
      value->FObjectValue = std::make_unique<TJsonObject>(value);
      object = value->FObjectValue.get();
    }
    if (object == nullptr) return false;
    Open(object, FPairs.size());
    return true;
  }
  bool Key(std::string_view text, bool plain) {
    FPairs.push_back(std::make_unique<TJsonPair>(static_cast<TJsonObject*>(FTop)));
    return Decode(FPairs.back()->Name, text, plain);
  }
  bool EndObject(size_t /*pairs*/) {
    auto& object = static_cast<TJsonObject&>(*FTop);
    const auto begin = FPairs.begin() + static_cast<std::ptrdiff_t>(FOpen.back().First);
    object.FItems.assign(std::make_move_iterator(begin), std::make_move_iterator(FPairs.end()));
    FPairs.erase(begin, FPairs.end());
    Close();
    return true;
  }

 private:
  // An open array or object and where its children start on their list.
  struct TOpen {
    TJsonBase* Node;
    size_t First;
  };

  static bool Decode(std::string& out, std::string_view text, bool plain) {
    if (!plain) return DecodeJsonTextTo(out, text);
    out.assign(text.data(), text.size());
    return true;
  }

  void Open(TJsonBase* node, size_t first) {
    FOpen.push_back({node, first});
    FTop = node;
    FTopIsArray = node->Kind() == TJsonBase::TKind::Array;
  }
  void Close() {
    FOpen.pop_back();
    FTop = FOpen.empty() ? nullptr : FOpen.back().Node;
    FTopIsArray = FTop && FTop->Kind() == TJsonBase::TKind::Array;
  }

  // The value that the next thing read fills, with its type set; null when
  // the target takes no such value.
  TJsonValue* Fill(TJsonValueType type) {
    TJsonValue* value = nullptr;
    if (FTopIsArray) {
      FValues.push_back(std::make_unique<TJsonValue>(FTop));
      value = FValues.back().get();
    } else if (FTop) {
      value = &FPairs.back()->Value();
    } else if (FTarget.Kind() == TJsonBase::TKind::Value) {
      value = &static_cast<TJsonValue&>(FTarget);
    }
    if (value) value->FValueType = type;
    return value;
  }

  TJsonBase& FTarget;
  // The innermost open array or object, null before the first.
  TJsonBase* FTop = nullptr;
  bool FTopIsArray = false;
  std::vector<TOpen> FOpen;
  std::vector<std::unique_ptr<TJsonValue>> FValues;
  std::vector<std::unique_ptr<TJsonPair>> FPairs;
};

// Makes and fills the nodes for the parser's splitting rules.
class TJsonSplitBuilder {
 public:
  using TDocumentRef = TFastJSON*;
  using TObjectRef = TJsonObject*;
  using TArrayRef = TJsonArray*;
  using TPairRef = TJsonPair*;
  using TValueRef = TJsonValue*;

  TJsonArray* NewRootArray(TFastJSON* document) {
    document->NewArray();
    return document->JsonArray();
  }
  TJsonObject* NewRootObject(TFastJSON* document) {
    document->NewObject();
    return document->JsonObject();
  }
  TJsonPair* AddPair(TJsonObject* object) { return &object->Add(std::string()); }
  void SetPairName(TJsonPair* pair, std::string_view escaped) { pair->Name = DecodeJsonText(escaped); }
  TJsonValue* PairValue(TJsonPair* pair) { return &pair->Value(); }
  TJsonValue* AddItem(TJsonArray* array) { return &array->Add(); }

  void SetNull(TJsonValue* value) { value->FValueType = jvNull; }
  void SetBoolean(TJsonValue* value, bool flag) {
    value->FValueType = jvBoolean;
    value->FBooleanValue = flag;
  }
  void SetNumber(TJsonValue* value, double number) {
    value->FValueType = jvNumber;
    value->FNumberValue = number;
  }
  // A text that fails to decode leaves a string value with no text.
  void SetString(TJsonValue* value, std::string_view escaped) {
    value->FValueType = jvString;
    value->FStringValue = DecodeJsonText(escaped);
  }
  TJsonObject* SetObject(TJsonValue* value) {
    value->FValueType = jvObject;
    value->FObjectValue = std::make_unique<TJsonObject>(value);
    return value->FObjectValue.get();
  }
  TJsonArray* SetArray(TJsonValue* value) {
    value->FValueType = jvArray;
    value->FArrayValue = std::make_unique<TJsonArray>(value);
    return value->FArrayValue.get();
  }

  // Quotes at most 100 bytes of the text, after the enclosing pair's name.
  [[noreturn]] void RaiseParseError(const TJsonBase* node, std::string_view text) {
    std::string message = "\"" + node->EnclosingPairName() + "\" parse error: ";
    message.append(text.substr(0, 100));
    message += " ..";
    node->RaiseJsonError(message);
  }
};

namespace {

using TSplitReader = TJsonSplitReader<TJsonSplitBuilder>;

}  // namespace

namespace {

template <typename TWrite>
std::string StringifyWith(TJSONFormatter* formatter, TWrite write) {
  TJsonWriter writer(nullptr, formatter);
  write(writer);
  return writer.TakeText();
}

template <typename TWrite>
void WriteWith(TStream& stream, TJSONFormatter* formatter, TWrite write) {
  TJsonWriter writer(&stream, formatter);
  write(writer);
  writer.Finish();
}

}  // namespace

// TJsonBase

const char* JsonValueTypeName(TJsonValueType type) {
  static const char* const kNames[] = {"jvNone", "jvNull", "jvString", "jvNumber", "jvBoolean", "jvObject", "jvArray"};
  return type <= jvArray ? kNames[type] : "?";
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
  for (const TJsonBase* node = FOwner; node != nullptr; node = node->FOwner) {
    if (node->FKind == TKind::Pair) return static_cast<const TJsonPair*>(node)->Name;
  }
  return std::string();
}

void TJsonBase::RaiseJsonError(std::string_view message) const { throw EJsonError(JsonErrorText(ClassName(), message)); }

namespace {

[[noreturn]] void RaiseAssignError(const TJsonBase& node, const TJsonBase* source) {
  throw EJsonError(JsonErrorText(node.ClassName(), std::string("assign error: ") +
                                                       (source ? source->ClassName() : "nil") + " to " +
                                                       node.ClassName()));
}

}  // namespace

// TJsonValue

TJsonValue::TJsonValue(TJsonBase* owner) : TJsonBase(TKind::Value, owner) {}
TJsonValue::~TJsonValue() = default;

void TJsonValue::Clear() {
  FValueType = jvNone;
  FBooleanValue = false;
  FNumberValue = 0;
  FStringValue.clear();
  FObjectValue.reset();
  FArrayValue.reset();
}

void TJsonValue::RaiseValueTypeError(TJsonValueType target) const {
  RaiseJsonError("\"" + EnclosingPairName() + "\" value type error: " + JsonValueTypeName(FValueType) + " to " +
                 JsonValueTypeName(target));
}

std::string TJsonValue::AsString() const {
  switch (FValueType) {
    case jvNone:
    case jvNull:
      return std::string();
    case jvString:
      return FStringValue;
    case jvNumber:
      return JsonFloatToText(FNumberValue);
    case jvBoolean:
      return FBooleanValue ? "true" : "false";
    case jvObject:
    case jvArray:
      break;
  }
  RaiseValueTypeError(jvString);
}

void TJsonValue::SetAsString(std::string text) {
  if (FValueType != jvString) {
    Clear();
    FValueType = jvString;
  }
  FStringValue = std::move(text);
}

bool TJsonValue::AsBoolean() const {
  switch (FValueType) {
    case jvNone:
    case jvNull:
      return false;
    case jvString:
      return TextEquals(FStringValue, "true");
    case jvNumber:
      return FNumberValue != 0;
    case jvBoolean:
      return FBooleanValue;
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
  FBooleanValue = value;
}

TJsonArray& TJsonValue::AsArray() {
  if (FValueType == jvNone) {
    FArrayValue = std::make_unique<TJsonArray>(this);
    FValueType = jvArray;
  }
  if (FValueType != jvArray) RaiseValueTypeError(jvArray);
  return *FArrayValue;
}

TJsonObject& TJsonValue::AsObject() {
  if (FValueType == jvNone) {
    FObjectValue = std::make_unique<TJsonObject>(this);
    FValueType = jvObject;
  }
  if (FValueType != jvObject) RaiseValueTypeError(jvObject);
  return *FObjectValue;
}

void TJsonValue::Parse(std::string_view text) {
  text = CutAtNul(text);
  Clear();
  // A value's text is not trimmed, so the single pass only takes text
  // without blanks around it.
  TJsonFastBuilder builder(*this);
  if (!text.empty() && !IsJsonBlank(text.front()) && !IsJsonBlank(text.back())) {
    if (TJsonFastReader<TJsonFastBuilder>(builder, kJsonMaxDepth).Read(text)) return;
    Clear();
  }
  TJsonSplitBuilder splitBuilder;
  TSplitReader(splitBuilder, kJsonMaxDepth).Value(this, text, 0);
}

std::string TJsonValue::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, [this](TJsonWriter& writer) { writer.Value(*this); });
}

void TJsonValue::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Value(*this); });
}

void TJsonValue::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) {
    const std::unique_ptr<TJsonBase> copy = DetachedCopy(*source);
    Assign(copy.get());
    return;
  }
  Clear();
  if (source == nullptr) RaiseAssignError(*this, source);
  switch (source->Kind()) {
    case TKind::Object:
      FValueType = jvObject;
      FObjectValue = std::make_unique<TJsonObject>(this);
      FObjectValue->Assign(source);
      return;
    case TKind::Array:
      FValueType = jvArray;
      FArrayValue = std::make_unique<TJsonArray>(this);
      FArrayValue->Assign(source);
      return;
    case TKind::Value: {
      const auto& value = static_cast<const TJsonValue&>(*source);
      FValueType = value.FValueType;
      FStringValue = value.FStringValue;
      FNumberValue = value.FNumberValue;
      FBooleanValue = value.FBooleanValue;
      if (value.FObjectValue) {
        FObjectValue = std::make_unique<TJsonObject>(this);
        FObjectValue->Assign(value.FObjectValue.get());
      }
      if (value.FArrayValue) {
        FArrayValue = std::make_unique<TJsonArray>(this);
        FArrayValue->Assign(value.FArrayValue.get());
      }
      return;
    }
    default:
      RaiseAssignError(*this, source);
  }
}

// TJsonArray

TJsonArray::TJsonArray(TJsonBase* owner) : TJsonBase(TKind::Array, owner) {}
TJsonArray::~TJsonArray() = default;

TJsonValue& TJsonArray::Items(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  return *FItems[static_cast<size_t>(index)];
}

TJsonValue& TJsonArray::Add() {
  FItems.push_back(std::make_unique<TJsonValue>(this));
  return *FItems.back();
}

void TJsonArray::Clear() { FItems.clear(); }

void TJsonArray::Parse(std::string_view text) {
  text = CutAtNul(text);
  Clear();
  TJsonFastBuilder builder(*this);
  const std::string_view trimmed = JsonTrim(text);
  if (JsonTextEncloses(trimmed, '[', ']')) {
    if (TJsonFastReader<TJsonFastBuilder>(builder, kJsonMaxDepth).Read(trimmed)) return;
    Clear();
  }
  TJsonSplitBuilder splitBuilder;
  TSplitReader(splitBuilder, kJsonMaxDepth).Array(this, text, 1);
}

std::string TJsonArray::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, [this](TJsonWriter& writer) { writer.Array(*this); });
}

void TJsonArray::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Array(*this); });
}

void TJsonArray::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) {
    const std::unique_ptr<TJsonBase> copy = DetachedCopy(*source);
    Assign(copy.get());
    return;
  }
  Clear();
  if (source == nullptr || source->Kind() != TKind::Array) RaiseAssignError(*this, source);
  const auto& array = static_cast<const TJsonArray&>(*source);
  FItems.reserve(array.FItems.size());
  for (const auto& item : array.FItems) Add().Assign(item.get());
}

// TJsonPair

TJsonPair::TJsonPair(TJsonObject* owner, std::string name)
    : TJsonBase(TKind::Pair, owner), Name(std::move(name)), FValue(this) {}
TJsonPair::~TJsonPair() = default;

void TJsonPair::Parse(std::string_view text) {
  Name.clear();
  FValue.Clear();
  TJsonSplitBuilder builder;
  TSplitReader(builder, kJsonMaxDepth).Pair(this, CutAtNul(text), 0);
}

std::string TJsonPair::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, [this](TJsonWriter& writer) { writer.Pair(*this); });
}

void TJsonPair::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Pair(*this); });
}

void TJsonPair::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) {
    const std::unique_ptr<TJsonBase> copy = DetachedCopy(*source);
    Assign(copy.get());
    return;
  }
  Name.clear();
  FValue.Clear();
  if (source == nullptr || source->Kind() != TKind::Pair) RaiseAssignError(*this, source);
  const auto& pair = static_cast<const TJsonPair&>(*source);
  Name = pair.Name;
  FValue.Assign(&pair.FValue);
}

// TJsonObject

TJsonObject::TJsonObject(TJsonBase* owner) : TJsonBase(TKind::Object, owner) {}
TJsonObject::~TJsonObject() = default;

TJsonPair& TJsonObject::Items(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  return *FItems[static_cast<size_t>(index)];
}

int TJsonObject::Find(std::string_view name) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (TextEquals(FItems[i]->Name, name)) return static_cast<int>(i);
  }
  return -1;
}

TJsonValue& TJsonObject::Values(std::string_view name) {
  const int index = Find(name);
  if (index >= 0) return FItems[static_cast<size_t>(index)]->Value();
  return Add(std::string(name)).Value();
}

TJsonPair& TJsonObject::Add(std::string name) {
  FItems.push_back(std::make_unique<TJsonPair>(this, std::move(name)));
  return *FItems.back();
}

void TJsonObject::Delete(int index) {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  FItems.erase(FItems.begin() + index);
}

void TJsonObject::Delete(std::string_view name) {
  const int index = Find(name);
  if (index < 0) RaiseJsonError("\"" + std::string(name) + "\" not found");
  Delete(index);
}

void TJsonObject::Clear() { FItems.clear(); }

void TJsonObject::Parse(std::string_view text) {
  text = CutAtNul(text);
  Clear();
  TJsonFastBuilder builder(*this);
  const std::string_view trimmed = JsonTrim(text);
  if (JsonTextEncloses(trimmed, '{', '}')) {
    if (TJsonFastReader<TJsonFastBuilder>(builder, kJsonMaxDepth).Read(trimmed)) return;
    Clear();
  }
  TJsonSplitBuilder splitBuilder;
  TSplitReader(splitBuilder, kJsonMaxDepth).Object(this, text, 1);
}

std::string TJsonObject::Stringify(TJSONFormatter* formatter) const {
  return StringifyWith(formatter, [this](TJsonWriter& writer) { writer.Object(*this); });
}

void TJsonObject::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  WriteWith(stream, formatter, [this](TJsonWriter& writer) { writer.Object(*this); });
}

void TJsonObject::Assign(const TJsonBase* source) {
  if (source && IsWithin(source, this)) {
    const std::unique_ptr<TJsonBase> copy = DetachedCopy(*source);
    Assign(copy.get());
    return;
  }
  Clear();
  if (source == nullptr || source->Kind() != TKind::Object) RaiseAssignError(*this, source);
  const auto& object = static_cast<const TJsonObject&>(*source);
  FItems.reserve(object.FItems.size());
  for (const auto& pair : object.FItems) Add(std::string()).Assign(pair.get());
}

// TFastJSON

TFastJSON::TFastJSON() : TJsonBase(TKind::Document, nullptr) {}
TFastJSON::~TFastJSON() = default;

void TFastJSON::Clear() {
  FJsonArray.reset();
  FJsonObject.reset();
  FStructType = jsNone;
}

void TFastJSON::NewArray() {
  if (FStructType != jsNone) return;
  FJsonArray = std::make_unique<TJsonArray>(this);
  FStructType = jsArray;
}

void TFastJSON::NewObject() {
  if (FStructType != jsNone) return;
  FJsonObject = std::make_unique<TJsonObject>(this);
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

void TFastJSON::Parse(std::string_view text) {
  text = CutAtNul(text);
  Clear();
  TJsonFastBuilder builder(*this);
  const std::string_view trimmed = JsonTrim(text);
  if (JsonTextEncloses(trimmed, '[', ']') || JsonTextEncloses(trimmed, '{', '}')) {
    if (TJsonFastReader<TJsonFastBuilder>(builder, kJsonMaxDepth).Read(trimmed)) return;
  }
  ParseJsonDocumentSplitting(*this, text);
}

void ParseJsonDocumentSplitting(TFastJSON& document, std::string_view text) {
  document.Clear();
  TJsonSplitBuilder builder;
  TSplitReader(builder, kJsonMaxDepth).Document(&document, CutAtNul(text));
}

std::string TFastJSON::Stringify(TJSONFormatter* formatter) const {
  if (FJsonArray) return FJsonArray->Stringify(formatter);
  if (FJsonObject) return FJsonObject->Stringify(formatter);
  return std::string();
}

void TFastJSON::WriteTo(TStream& stream, TJSONFormatter* formatter) const {
  if (FJsonArray) FJsonArray->WriteTo(stream, formatter);
  if (FJsonObject) FJsonObject->WriteTo(stream, formatter);
}

void TFastJSON::Assign(const TJsonBase* source) {
  if (source && source != this && IsWithin(source, this)) {
    const std::unique_ptr<TJsonBase> copy = DetachedCopy(*source);
    Assign(copy.get());
    return;
  }
  if (source == this) return;
  Clear();
  const TJsonBase* root = source;
  if (source && source->Kind() == TKind::Document) {
    const auto& document = static_cast<const TFastJSON&>(*source);
    root = document.FJsonArray ? static_cast<const TJsonBase*>(document.FJsonArray.get()) : document.FJsonObject.get();
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

void TFastJSON::LoadOneFile(const std::string& fileName) {
  Clear();
  if (!FileIsPresent(fileName)) return;
  // The parser reads the mapped bytes in place; only decoded texts are copied.
  TMappedFileStream stream(fileName);
  Parse(stream.View());
}

void TFastJSON::LoadFromFile(const std::string& fileName, bool tryBackup, bool reRaise) {
  try {
    LoadOneFile(fileName);
  } catch (const std::exception&) {
    const std::exception_ptr first = std::current_exception();
    if (tryBackup) {
      const std::string backup = BackupFileName(fileName);
      if (FileIsPresent(backup)) {
        try {
          LoadOneFile(backup);
        } catch (const std::exception&) {
          // The backup is a last resort: whatever it gave stays, its error does not count.
        }
      }
    }
    if (reRaise) std::rethrow_exception(first);
  }
}

void TFastJSON::SaveToFile(const std::string& fileName, bool makeBackup, TJSONFormatterClass formatterClass) const {
  const std::string folder = ExtractFilePath(fileName);
  if (!folder.empty()) CreateFolderTree(folder);
  const std::unique_ptr<TJSONFormatter> formatter = formatterClass ? formatterClass("\r\n", 2) : nullptr;
  {
    TWriteCachedFileStream stream(fileName);
    WriteTo(stream, formatter.get());
    // Close, not the destructor, reports a failure of the last write.
    stream.Close();
  }
  if (makeBackup) {
    // A name without a folder is copied from and to the current folder.
    const std::string source = folder.empty() ? std::string(".") + kPathDelim + fileName : fileName;
    CopyFileRetry(source, BackupFileName(source));
  }
}

std::string BackupFileName(const std::string& fileName) { return ChangeFileExt(fileName, ".~json"); }

}  // namespace vx
