// The import tree: typed nodes of the document sent to the host with
// "OUTDATA". It is only built and written (TVXJSONStreamer), never parsed.
// Every node owns its children. Texts are Windows-1252 bytes; they are
// written back byte for byte.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "documents/vx_bal_tree.h"

namespace vx {

// The value GetValue and SetValue exchange: null, a flag, a number or a text.
using TVXVariant = std::variant<std::monostate, bool, double, std::string>;

class TVXCustomJSON {
 public:
  virtual ~TVXCustomJSON() = default;
  TVXCustomJSON(const TVXCustomJSON&) = delete;
  TVXCustomJSON& operator=(const TVXCustomJSON&) = delete;

  // GetField of the name, then SetValue of the node it gives. For a
  // number, string or boolean node that is the node itself; an object
  // finds or appends the named field instead.
  virtual void SetBooleanField(const std::string& name, bool flag);
  virtual void SetIntegerField(const std::string& name, int value);
  // The amount in ten-thousandths.
  virtual void SetCurrencyField(const std::string& name, int64_t amount);
  virtual void SetFloatField(const std::string& name, double value);
  virtual void SetStringField(const std::string& name, const std::string& text);

  virtual TVXVariant GetValue() const { return {}; }
  // Raises vx::Exception when a text cannot be read as the node's type.
  virtual void SetValue(const TVXVariant&) {}
  virtual TVXCustomJSON* GetChild(int) const { return nullptr; }
  virtual void SetChild(int, std::unique_ptr<TVXCustomJSON>) {}
  virtual int GetCount() const { return 0; }
  virtual TVXCustomJSON* GetField(const TVXVariant&) { return this; }
  virtual int TypeCode() const { return 0; }
  virtual const char* TypeName() const { return "js_Base"; }

 protected:
  TVXCustomJSON() = default;

 private:
  void SetFieldValue(const std::string& name, const TVXVariant& value);
};

class TVXJSONnumber : public TVXCustomJSON {
 public:
  explicit TVXJSONnumber(double value = 0) : NumberValue(value) {}
  TVXVariant GetValue() const override { return NumberValue; }
  void SetValue(const TVXVariant& value) override;
  int TypeCode() const override { return 1; }
  const char* TypeName() const override { return "js_Number"; }

  double NumberValue;
};

class TVXJSONstring : public TVXCustomJSON {
 public:
  explicit TVXJSONstring(std::string value = {}) : StringValue(std::move(value)) {}
  TVXVariant GetValue() const override { return StringValue; }
  void SetValue(const TVXVariant& value) override;
  int TypeCode() const override { return 2; }
  const char* TypeName() const override { return "js_String"; }

  std::string StringValue;
};

class TVXJSONboolean : public TVXCustomJSON {
 public:
  explicit TVXJSONboolean(bool value = false) : BooleanValue(value) {}
  TVXVariant GetValue() const override { return BooleanValue; }
  void SetValue(const TVXVariant& value) override;
  int TypeCode() const override { return 3; }
  const char* TypeName() const override { return "js_Boolean"; }

  bool BooleanValue;
};

class TVXJSONnull : public TVXCustomJSON {
 public:
  TVXJSONnull() = default;
  int TypeCode() const override { return 4; }
  const char* TypeName() const override { return "js_Null"; }
};

// A name/value pair of an object; owns its value.
class TVXJSONobjectmethod : public TVXCustomJSON {
 public:
  TVXJSONobjectmethod(std::string name, std::unique_ptr<TVXCustomJSON> value)
      : Name(std::move(name)), Value(std::move(value)) {}

  const std::string Name;
  const std::unique_ptr<TVXCustomJSON> Value;
};

// The children of a list in order. Typed getters give 0, false or empty
// when there is no child at the index and raise vx::Exception
// "Invalid class typecast" when the child is of another node class.
class TVXJSONcustomlist : public TVXCustomJSON {
 public:
  ~TVXJSONcustomlist() override;

  TVXCustomJSON* GetChild(int index) const override;
  // Replaces the child at the index; nothing happens outside the list or
  // for no node.
  void SetChild(int index, std::unique_ptr<TVXCustomJSON> node) override;
  int GetCount() const override { return static_cast<int>(FChildren.size()); }
  // A whole number gives the child at that position (none outside the
  // list); any other key gives the list itself.
  TVXCustomJSON* GetField(const TVXVariant& key) override;

  // The index as decimal text and the child there (none outside the list).
  virtual std::pair<std::string, TVXCustomJSON*> GetNameOf(int index) const;
  // Appends; the new position, or -1 (nothing added) for no node.
  virtual int AddChild(std::unique_ptr<TVXCustomJSON> node);
  // Frees the child; the last child moves into its place. Nothing happens
  // outside the list.
  virtual void DeleteChild(int index);
  int IndexOfChild(const TVXCustomJSON* node) const;

  // Rounded half to even; raises when the number is no 64-bit integer.
  int64_t GetInteger(int index) const;
  std::string GetString(int index) const;
  std::u16string GetWideString(int index) const;
  double GetFloat(int index) const;
  bool GetBoolean(int index) const;

 protected:
  TVXJSONcustomlist() = default;
  // The node the typed getters read at the index: the child, or for an
  // object the value of the pair.
  virtual const TVXCustomJSON* ValueAt(int index) const;
  bool Contains(int index) const { return index >= 0 && index < GetCount(); }

  std::vector<std::unique_ptr<TVXCustomJSON>> FChildren;
};

// A JSON array.
class TVXSONList : public TVXJSONcustomlist {
 public:
  TVXSONList() = default;
  int TypeCode() const override { return 5; }
  const char* TypeName() const override { return "js_List"; }
};

// A JSON object: pairs in insertion order, optionally found through the
// name index. Names compare byte by byte, letter case significant; with
// equal names the first pair wins.
class TVXJSON : public TVXJSONcustomlist {
 public:
  explicit TVXJSON(bool useNameIndex = true) : FUseNameIndex(useNameIndex) {}

  bool UseNameIndex() const { return FUseNameIndex; }
  const TVXBalTree& NameIndex() const { return FNameIndex; }

  // Takes the node into a new pair at the end; the pair's position, or -1
  // (nothing added) for no node.
  int AddPair(const std::string& name, std::unique_ptr<TVXCustomJSON> node);
  // Position of the first pair with the name, or -1.
  int FindName(std::string_view name) const;
  // The value of that pair, or none.
  TVXCustomJSON* FieldByName(std::string_view name) const;

  // Find the field and set its value, or append a new node with it.
  void SetBooleanField(const std::string& name, bool flag) override;
  void SetIntegerField(const std::string& name, int value) override;
  void SetCurrencyField(const std::string& name, int64_t amount) override;
  void SetFloatField(const std::string& name, double value) override;
  void SetStringField(const std::string& name, const std::string& text) override;

  // A text key gives FieldByName; other keys as for lists.
  TVXCustomJSON* GetField(const TVXVariant& key) override;
  std::pair<std::string, TVXCustomJSON*> GetNameOf(int index) const override;
  // Only pairs are taken; any other node gives -1 and is freed.
  int AddChild(std::unique_ptr<TVXCustomJSON> node) override;
  void SetChild(int index, std::unique_ptr<TVXCustomJSON> node) override;
  void DeleteChild(int index) override;
  int TypeCode() const override { return 6; }
  const char* TypeName() const override { return "js_Object"; }

 protected:
  const TVXCustomJSON* ValueAt(int index) const override;

 private:
  const TVXJSONobjectmethod& PairAt(int index) const;
  void SetOrAdd(const std::string& name, const TVXVariant& value, std::unique_ptr<TVXCustomJSON> (*make)());
  // Positions change when a pair is replaced or moved.
  void RebuildNameIndex();

  const bool FUseNameIndex;
  TVXBalTree FNameIndex;
};

}  // namespace vx
