// The program's general JSON document: a tree of values, arrays, pairs and
// objects under a document root, with a parser, a compact and a formatted
// writer (to a text and to a byte stream), a deep copy, and loading from and
// saving to files.
//
// All texts are Windows-1252 byte strings; nothing is decoded from or
// encoded to UTF-8. A node owns its children and frees them with itself.
// Every error of the model is an EJsonError whose text comes from
// JsonErrorText ("<TJsonValue>\"a\" parse error: tru .."), except the list
// index error of Items, which is the support library's EStringListError.
//
// Memory: a document that parses a text or loads a file keeps one copy of
// that text, and its texts point into it; escapes are decoded when a text
// is read. What the parse read stays on a compact tape (json_tape.h) in
// large blocks of the document, and the nodes of an array or object are
// made from it, in those blocks, when they are first asked for; nothing of
// that can be told from outside, but for the memory it saves. Since even
// reading makes nodes, a document is for one thread at a time, also when
// it is only read. A value takes 16 bytes and a pair with its value 32:
// the nodes have no table of virtual functions (the operations of
// TJsonBase choose by the node's kind), and a value finds its pair or
// array by where it lies. Items of an object or array never move when
// items are added; Delete moves the items behind the deleted one.
//
// The parser's builders, the writer and the deep copy reach the nodes'
// inside only through TJsonNodeAccess (json_node_access.h), the one friend
// of every node class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "json/json_arena.h"
#include "json/json_error.h"
#include "json/json_list.h"
#include "json/json_text.h"

namespace vx {

class TStream;
class TJSONFormatter;
class TFastJSON;
class TJsonArray;
class TJsonItem;
class TJsonObject;
class TJsonPair;
class TJsonValue;
class TJsonNodeAccess;

enum TJsonValueType : uint8_t { jvNone, jvNull, jvString, jvNumber, jvBoolean, jvObject, jvArray };
enum TJsonStructType : uint8_t { jsNone, jsArray, jsObject };

// "jvNone" ... "jvArray", as error texts name the types.
const char* JsonValueTypeName(TJsonValueType type);

// Nesting deeper than this many arrays and objects (the root counts as
// level 1) is refused with a parse error, so that hostile input cannot
// overflow the stack of the recursive parser and of the writers.
constexpr int kJsonMaxDepth = 1000;

// Where the items of a parsed array or object wait on their document's
// tape until they are first asked for: their record, the parsed text the
// tape's texts lie in, and the arena their nodes go to. Empty once the
// items are made.
struct TJsonPending {
  const char* Record = nullptr;
  const char* Source = nullptr;
  TJsonArena* Arena = nullptr;
};

// Creates a formatter for one writing run; SaveToFile receives such a
// function instead of a formatter so that it can choose the start values.
using TJSONFormatterClass = std::unique_ptr<TJSONFormatter> (*)(const std::string& lineBreak, int level);

class TJsonBase {
 public:
  enum class TKind : uint8_t { Document, Object, Array, Pair, Value };

  TJsonBase(const TJsonBase&) = delete;
  TJsonBase& operator=(const TJsonBase&) = delete;

  // Replaces the node's content by the parsed text (up to a NUL byte).
  // Raises the parse error of the node that meets text it cannot take; the
  // nodes built before that stay in the tree.
  void Parse(std::string_view text);
  // The node as JSON text: compact without a formatter, else laid out by it
  // (the formatter's level changes while writing).
  std::string Stringify(TJSONFormatter* formatter = nullptr) const;
  // Writes the same bytes as Stringify (with a formatter: the stream layout
  // of the formatter, which differs a little from the text layout).
  // Stream errors pass through.
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const;
  // Deep copy of source (which may be null); raises "assign error: <source
  // class or nil> to <own class>" when the source's class does not fit.
  void Assign(const TJsonBase* source);

  // The node that holds this node; null for a document or a free node.
  TJsonBase* Owner() const;
  TKind Kind() const { return FKind; }
  // "TFastJSON", "TJsonObject", "TJsonArray", "TJsonPair" or "TJsonValue".
  const char* ClassName() const;
  // The name of the nearest pair above this node (starting at its owner);
  // empty when there is none.
  std::string EnclosingPairName() const;

 protected:
  explicit TJsonBase(TKind kind) : FKind(kind) {}
  // Nodes are freed as what they are, never through this class.
  ~TJsonBase() = default;
  [[noreturn]] void RaiseJsonError(std::string_view message) const;

 private:
  friend class TJsonNodeAccess;
  const TKind FKind;
};

// A text of a node: the bytes as they stand in the parsed text (escapes
// still in, when Escaped) or as set. Owned texts belong to their node;
// others lie in the document's copy of its text.
struct TJsonTextFlags {
  static constexpr uint8_t kEscaped = 0x01;
  static constexpr uint8_t kOwned = 0x02;
  // The length does not fit the node's 32 bits and stands before the bytes.
  static constexpr uint8_t kLong = 0x04;
  // The bytes are exactly what the writers write for the decoded text.
  static constexpr uint8_t kCanonical = 0x08;
  static constexpr uint8_t kMask = 0x0F;
};

// What a value holds, by its type.
union TJsonValueData {
  double Number;
  const char* Text;
  TJsonObject* Object;
  TJsonArray* Array;
};

class TJsonValue : public TJsonBase {
 public:
  // A free value of type jvNone.
  TJsonValue() : TJsonBase(TKind::Value) {}
  ~TJsonValue();

  TJsonValueType ValueType() const { return FValueType; }
  // The decoded text of a jvString value; empty for any other.
  std::string StringValue() const;
  double NumberValue() const { return FValueType == jvNumber ? FData.Number : 0; }
  bool BooleanValue() const { return FValueType == jvBoolean && (FFlags & kTrue); }
  TJsonObject* ObjectValue() const { return FValueType == jvObject ? FData.Object : nullptr; }
  TJsonArray* ArrayValue() const { return FValueType == jvArray ? FData.Array : nullptr; }

  bool IsEmpty() const { return FValueType == jvNone; }
  // Frees an owned object or array and makes the value jvNone.
  void Clear();

  // "" for jvNone and jvNull, the number's JsonFloatToText, "false"/"true";
  // raises the value type error for an object or array.
  std::string AsString() const;
  // Makes the value a jvString holding text.
  void SetAsString(std::string_view text);
  // False for jvNone/jvNull; a text is true when it is "true" in any letter
  // case; a number when it is not 0. Raises for an object or array.
  bool AsBoolean() const;
  void SetAsBoolean(bool value);
  // A jvNone value becomes an empty array (or object); a value of another
  // type raises the value type error.
  TJsonArray& AsArray();
  TJsonObject& AsObject();

  // The pair or array that holds the value; null for a free value.
  TJsonBase* Owner() const;

  void Parse(std::string_view text);
  std::string Stringify(TJSONFormatter* formatter = nullptr) const;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const;
  void Assign(const TJsonBase* source);

 protected:
  // Where a value lies, which tells its owner: the items of an array are
  // values of a class of their own.
  static constexpr uint8_t kInPair = 0x01;
  static constexpr uint8_t kInArray = 0x02;

  explicit TJsonValue(uint8_t placement) : TJsonBase(TKind::Value), FFlags(placement) {}
  // Takes over what source holds; source is left jvNone.
  TJsonValue(TJsonValue&& source, uint8_t placement);

 private:
  friend class TJsonNodeAccess;
  // A pair makes its value in place, as its last member.
  friend class TJsonPair;

  // The text flags, shifted into the value's flags.
  static constexpr uint8_t kTextShift = 2;
  // The object or array was allocated for this value (not in an arena).
  static constexpr uint8_t kChildOwned = 0x40;
  static constexpr uint8_t kTrue = 0x80;

  [[noreturn]] void RaiseValueTypeError(TJsonValueType target) const;
  uint8_t TextFlags() const { return static_cast<uint8_t>((FFlags >> kTextShift) & TJsonTextFlags::kMask); }
  std::string_view RawText() const;
  void SetText(const char* data, size_t length, uint8_t textFlags);

  TJsonValueType FValueType = jvNone;
  uint8_t FFlags = 0;
  uint32_t FLength = 0;
  TJsonValueData FData{0};
};

class TJsonArray final : public TJsonBase {
 public:
  // A free, empty array.
  TJsonArray();
  ~TJsonArray();

  int Count() const { return static_cast<int>(FPending.Record ? PendingCount() : FItems.Count()); }
  // Raises the list index error outside 0..Count-1.
  TJsonValue& Items(int index) const;
  // Appends a new jvNone value.
  TJsonValue& Add();
  void Clear();

  // The value or document that holds the array; null for a free array.
  TJsonBase* Owner() const { return FOwner; }

  void Parse(std::string_view text);
  std::string Stringify(TJSONFormatter* formatter = nullptr) const;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const;
  void Assign(const TJsonBase* source);

 private:
  friend class TJsonNodeAccess;

  explicit TJsonArray(TJsonBase* owner);

  // Makes the items from the tape when they are still pending.
  void BuildItems() const;
  uint32_t PendingCount() const;

  TJsonBase* FOwner = nullptr;
  mutable TJsonPending FPending;
  mutable TJsonList<TJsonItem> FItems;
};

class TJsonPair final : public TJsonBase {
 public:
  // A free pair with an empty name and a jvNone value.
  TJsonPair() : TJsonBase(TKind::Pair) {}
  ~TJsonPair();

  // Stored as read, decoded here.
  std::string Name() const;
  void SetName(std::string_view name);
  TJsonValue& Value() { return FValue; }
  const TJsonValue& Value() const { return FValue; }

  // The object that holds the pair; null for a free pair.
  TJsonBase* Owner() const;

  void Parse(std::string_view text);
  std::string Stringify(TJSONFormatter* formatter = nullptr) const;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const;
  void Assign(const TJsonBase* source);

 private:
  friend class TJsonNodeAccess;
  // The object's list makes and moves its pairs.
  friend class TJsonList<TJsonPair>;

  // The index in the segment is 16 bits wide.
  static constexpr uint32_t kMaxSegmentItems = 0xFFFF;
  // Set for a pair that lies in an object, beside the name's text flags.
  static constexpr uint8_t kInObject = 0x10;

  // A pair of an object, at index in its segment.
  TJsonPair(std::string_view name, uint32_t index);
  // A pair of an object from the parser, with a name as it stands in the text.
  TJsonPair(const char* name, uint32_t nameLength, uint8_t nameFlags, uint32_t index);
  TJsonPair(TJsonPair&& source, uint32_t index);

  static const TJsonPair& OfValue(const TJsonValue& value);
  TJsonObject* Object() const;
  std::string_view RawName() const;
  void SetNameText(const char* data, size_t length, uint8_t textFlags);
  void FreeName();

  uint8_t FNameFlags = 0;
  uint16_t FIndex = 0;
  uint32_t FNameLength = 0;
  const char* FName = nullptr;
  // Last, so that a value finds its pair at a fixed distance.
  TJsonValue FValue{TJsonValue::kInPair};
};

class TJsonObject final : public TJsonBase {
 public:
  // A free, empty object.
  TJsonObject() : TJsonBase(TKind::Object) {}
  ~TJsonObject() = default;

  int Count() const { return static_cast<int>(FPending.Record ? PendingCount() : FItems.Count()); }
  // Raises the list index error outside 0..Count-1.
  TJsonPair& Items(int index) const;
  // Position of the first pair whose name equals name ignoring the letter
  // case of A-Z; -1 when none does. Duplicate names are kept.
  int Find(std::string_view name) const;
  // The value of the first matching pair; when none matches, a pair with an
  // empty value is appended and its value returned.
  TJsonValue& Values(std::string_view name);
  // Appends a pair without looking for an existing one.
  TJsonPair& Add(std::string_view name);
  void Delete(int index);
  // Raises "\"<name>\" not found" when no pair has the name.
  void Delete(std::string_view name);
  void Clear();

  // The value or document that holds the object; null for a free object.
  TJsonBase* Owner() const { return FOwner; }

  void Parse(std::string_view text);
  std::string Stringify(TJSONFormatter* formatter = nullptr) const;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const;
  void Assign(const TJsonBase* source);

 private:
  friend class TJsonNodeAccess;

  explicit TJsonObject(TJsonBase* owner) : TJsonBase(TKind::Object), FOwner(owner) {}

  // Makes the pairs from the tape when they are still pending.
  void BuildItems() const;
  uint32_t PendingCount() const;

  TJsonBase* FOwner = nullptr;
  mutable TJsonPending FPending;
  mutable TJsonList<TJsonPair> FItems;
};

// The document root: nothing, one root array or one root object.
class TFastJSON final : public TJsonBase {
 public:
  TFastJSON() : TJsonBase(TKind::Document) {}
  ~TFastJSON();

  TJsonStructType StructType() const { return FStructType; }
  // Set only while the root is of that kind.
  TJsonArray* JsonArray() const { return FJsonArray; }
  TJsonObject* JsonObject() const { return FJsonObject; }

  void Clear();
  // Create an empty root when there is none; an existing root stays.
  void NewArray();
  void NewObject();
  // Raises "json struct type is not jsObject" unless the root is an object.
  void CheckJsonObject() const;
  // An empty document becomes an object first; a root array raises.
  TJsonValue& Values(std::string_view name);
  // Raises for a document without a root object, and when no pair has the name.
  void Delete(std::string_view name);

  // Parses a text enclosed in "[ ]" or "{ }" (after trimming); any other
  // text raises the document's parse error.
  void Parse(std::string_view text);
  // Empty text (no bytes) for an empty document.
  std::string Stringify(TJSONFormatter* formatter = nullptr) const;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const;
  // Takes a TFastJSON, a TJsonArray, a TJsonObject or a TJsonValue holding
  // an array or object.
  void Assign(const TJsonBase* source);

  // Empties the document; a missing file stops there without an error.
  // Otherwise the file's bytes (up to a NUL) are parsed. When that fails,
  // tryBackup loads BackupFileName(fileName), if present, with its errors
  // suppressed; then reRaise raises the first error again.
  void LoadFromFile(const std::string& fileName, bool tryBackup, bool reRaise);
  // Creates the folder and writes the file anew through the write cache,
  // laid out by a formatter of formatterClass (line break CR LF, level 2)
  // when given. Stream and folder errors reach the caller after the file
  // was closed. makeBackup then copies the file to BackupFileName.
  void SaveToFile(const std::string& fileName, bool makeBackup = false,
                  TJSONFormatterClass formatterClass = nullptr) const;

 private:
  friend class TJsonNodeAccess;

  void LoadOneFile(const std::string& fileName);
  // The document's own copy of the text, cut at a NUL.
  std::string_view KeepText(std::string_view text);
  // Parses the document's own text: the single pass, then the splitting
  // rules when it gives up.
  void ParseKeptText(std::string_view text);
  void ParseKeptTextSplitting(std::string_view text);
  void FreeRoot();

  TJsonStructType FStructType = jsNone;
  // The root lies in the arena (it was parsed) rather than on the heap.
  bool FRootInArena = false;
  TJsonArray* FJsonArray = nullptr;
  TJsonObject* FJsonObject = nullptr;
  // The parsed text, which the nodes point into, and the blocks of its
  // tape and of the nodes made from it. Compact output of an unchanged document needs about as
  // many bytes as the text; the writer takes that as a hint.
  std::unique_ptr<char[]> FText;
  size_t FTextSize = 0;
  std::unique_ptr<TJsonArena> FArena;
};

// The file name with its extension replaced by ".~json" (appended when the
// name has none).
std::string BackupFileName(const std::string& fileName);

// The splitting rules alone, without the single pass before them; for tests
// that compare both. Parses as TFastJSON::Parse does.
void ParseJsonDocumentSplitting(TFastJSON& document, std::string_view text);

}  // namespace vx
