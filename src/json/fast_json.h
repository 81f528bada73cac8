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
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_error.h"
#include "json/json_text.h"

namespace vx {

class TStream;
class TJSONFormatter;
class TJsonArray;
class TJsonObject;
class TJsonPair;
class TJsonFastBuilder;
class TJsonSplitBuilder;
class TJsonWriter;

enum TJsonValueType : uint8_t { jvNone, jvNull, jvString, jvNumber, jvBoolean, jvObject, jvArray };
enum TJsonStructType : uint8_t { jsNone, jsArray, jsObject };

// "jvNone" ... "jvArray", as error texts name the types.
const char* JsonValueTypeName(TJsonValueType type);

// Nesting deeper than this many arrays and objects (the root counts as
// level 1) is refused with a parse error, so that hostile input cannot
// overflow the stack of the recursive parser and of the writers.
constexpr int kJsonMaxDepth = 1000;

// Creates a formatter for one writing run; SaveToFile receives such a
// function instead of a formatter so that it can choose the start values.
using TJSONFormatterClass = std::unique_ptr<TJSONFormatter> (*)(const std::string& lineBreak, int level);

class TJsonBase {
 public:
  enum class TKind : uint8_t { Document, Object, Array, Pair, Value };

  virtual ~TJsonBase() = default;
  TJsonBase(const TJsonBase&) = delete;
  TJsonBase& operator=(const TJsonBase&) = delete;

  // Replaces the node's content by the parsed text (up to a NUL byte).
  // Raises the parse error of the node that meets text it cannot take; the
  // nodes built before that stay in the tree.
  virtual void Parse(std::string_view text) = 0;
  // The node as JSON text: compact without a formatter, else laid out by it
  // (the formatter's level changes while writing).
  virtual std::string Stringify(TJSONFormatter* formatter = nullptr) const = 0;
  // Writes the same bytes as Stringify (with a formatter: the stream layout
  // of the formatter, which differs a little from the text layout).
  // Stream errors pass through.
  virtual void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const = 0;
  // Deep copy of source (which may be null); raises "assign error: <source
  // class or nil> to <own class>" when the source's class does not fit.
  virtual void Assign(const TJsonBase* source) = 0;

  // The node that holds this node; null for a document or a free node.
  TJsonBase* Owner() const { return FOwner; }
  TKind Kind() const { return FKind; }
  // "TFastJSON", "TJsonObject", "TJsonArray", "TJsonPair" or "TJsonValue".
  const char* ClassName() const;
  // The name of the nearest pair above this node (starting at its owner);
  // empty when there is none.
  std::string EnclosingPairName() const;

 protected:
  TJsonBase(TKind kind, TJsonBase* owner) : FOwner(owner), FKind(kind) {}
  [[noreturn]] void RaiseJsonError(std::string_view message) const;

 private:
  friend class TJsonSplitBuilder;
  TJsonBase* FOwner;
  TKind FKind;
};

class TJsonValue final : public TJsonBase {
 public:
  explicit TJsonValue(TJsonBase* owner = nullptr);
  ~TJsonValue() override;

  TJsonValueType ValueType() const { return FValueType; }
  const std::string& StringValue() const { return FStringValue; }
  double NumberValue() const { return FNumberValue; }
  bool BooleanValue() const { return FBooleanValue; }
  TJsonObject* ObjectValue() const { return FObjectValue.get(); }
  TJsonArray* ArrayValue() const { return FArrayValue.get(); }

  bool IsEmpty() const { return FValueType == jvNone; }
  // Frees an owned object or array and makes the value jvNone.
  void Clear();

  // "" for jvNone and jvNull, the number's JsonFloatToText, "false"/"true";
  // raises the value type error for an object or array.
  std::string AsString() const;
  // Makes the value a jvString holding text.
  void SetAsString(std::string text);
  // False for jvNone/jvNull; a text is true when it is "true" in any letter
  // case; a number when it is not 0. Raises for an object or array.
  bool AsBoolean() const;
  void SetAsBoolean(bool value);
  // A jvNone value becomes an empty array (or object); a value of another
  // type raises the value type error.
  TJsonArray& AsArray();
  TJsonObject& AsObject();

  void Parse(std::string_view text) override;
  std::string Stringify(TJSONFormatter* formatter = nullptr) const override;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const override;
  void Assign(const TJsonBase* source) override;

 private:
  friend class TJsonFastBuilder;
  friend class TJsonSplitBuilder;
  [[noreturn]] void RaiseValueTypeError(TJsonValueType target) const;

  TJsonValueType FValueType = jvNone;
  bool FBooleanValue = false;
  double FNumberValue = 0;
  std::string FStringValue;
  std::unique_ptr<TJsonObject> FObjectValue;
  std::unique_ptr<TJsonArray> FArrayValue;
};

class TJsonArray final : public TJsonBase {
 public:
  explicit TJsonArray(TJsonBase* owner = nullptr);
  ~TJsonArray() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises the list index error outside 0..Count-1.
  TJsonValue& Items(int index) const;
  // Appends a new jvNone value.
  TJsonValue& Add();
  void Clear();

  void Parse(std::string_view text) override;
  std::string Stringify(TJSONFormatter* formatter = nullptr) const override;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const override;
  void Assign(const TJsonBase* source) override;

 private:
  friend class TJsonFastBuilder;
  friend class TJsonWriter;
  std::vector<std::unique_ptr<TJsonValue>> FItems;
};

class TJsonPair final : public TJsonBase {
 public:
  // The value is created with the pair, as jvNone.
  explicit TJsonPair(TJsonObject* owner = nullptr, std::string name = "");
  ~TJsonPair() override;

  // Stored decoded, without quotes.
  std::string Name;
  TJsonValue& Value() { return FValue; }
  const TJsonValue& Value() const { return FValue; }

  void Parse(std::string_view text) override;
  std::string Stringify(TJSONFormatter* formatter = nullptr) const override;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const override;
  void Assign(const TJsonBase* source) override;

 private:
  TJsonValue FValue;
};

class TJsonObject final : public TJsonBase {
 public:
  explicit TJsonObject(TJsonBase* owner = nullptr);
  ~TJsonObject() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises the list index error outside 0..Count-1.
  TJsonPair& Items(int index) const;
  // Position of the first pair whose name equals name ignoring the letter
  // case of A-Z; -1 when none does. Duplicate names are kept.
  int Find(std::string_view name) const;
  // The value of the first matching pair; when none matches, a pair with an
  // empty value is appended and its value returned.
  TJsonValue& Values(std::string_view name);
  // Appends a pair without looking for an existing one.
  TJsonPair& Add(std::string name);
  void Delete(int index);
  // Raises "\"<name>\" not found" when no pair has the name.
  void Delete(std::string_view name);
  void Clear();

  void Parse(std::string_view text) override;
  std::string Stringify(TJSONFormatter* formatter = nullptr) const override;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const override;
  void Assign(const TJsonBase* source) override;

 private:
  friend class TJsonFastBuilder;
  friend class TJsonWriter;
  std::vector<std::unique_ptr<TJsonPair>> FItems;
};

// The document root: nothing, one root array or one root object.
class TFastJSON final : public TJsonBase {
 public:
  TFastJSON();
  ~TFastJSON() override;

  TJsonStructType StructType() const { return FStructType; }
  // Set only while the root is of that kind.
  TJsonArray* JsonArray() const { return FJsonArray.get(); }
  TJsonObject* JsonObject() const { return FJsonObject.get(); }

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
  void Parse(std::string_view text) override;
  // Empty text (no bytes) for an empty document.
  std::string Stringify(TJSONFormatter* formatter = nullptr) const override;
  void WriteTo(TStream& stream, TJSONFormatter* formatter = nullptr) const override;
  // Takes a TFastJSON, a TJsonArray, a TJsonObject or a TJsonValue holding
  // an array or object.
  void Assign(const TJsonBase* source) override;

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
  void LoadOneFile(const std::string& fileName);

  TJsonStructType FStructType = jsNone;
  std::unique_ptr<TJsonArray> FJsonArray;
  std::unique_ptr<TJsonObject> FJsonObject;
};

// The file name with its extension replaced by ".~json" (appended when the
// name has none).
std::string BackupFileName(const std::string& fileName);

// The splitting rules alone, without the single pass before them; for tests
// that compare both. Parses as TFastJSON::Parse does.
void ParseJsonDocumentSplitting(TFastJSON& document, std::string_view text);

}  // namespace vx
