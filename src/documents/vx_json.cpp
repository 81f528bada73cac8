#include "documents/vx_json.h"

#include <charconv>
#include <cmath>

#include "json/fast_json.h"
#include "support/codepage.h"
#include "support/errors.h"
#include "support/text_utils.h"

namespace vx {

namespace {

[[noreturn]] void RaiseTextConversion(const char* target) {
  throw Exception(std::string("Could not convert variant of type (String) into type (") + target + ")");
}

[[noreturn]] void RaiseInvalidCast() { throw Exception("Invalid class typecast"); }

// A decimal number in the "." form of JSON texts: optional sign, digits,
// optional fraction, optional exponent; blanks around it are allowed.
bool ReadDecimal(std::string_view text, double& value) {
  text = TrimView(text);
  size_t i = 0;
  auto digitsFrom = [&](size_t at) {
    size_t end = at;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    return end - at;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t integerDigits = digitsFrom(i);
  i += integerDigits;
  size_t fractionDigits = 0;
  if (i < text.size() && text[i] == '.') {
    fractionDigits = digitsFrom(i + 1);
    i += 1 + fractionDigits;
  }
  if (integerDigits + fractionDigits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t exponentDigits = digitsFrom(i);
    if (exponentDigits == 0) return false;
    i += exponentDigits;
  }
  if (i != text.size()) return false;
  // from_chars takes no "+" and ignores the C locale.
  const size_t start = text[0] == '+' ? 1 : 0;
  const auto parsed = std::from_chars(text.data() + start, text.data() + text.size(), value);
  return parsed.ec == std::errc() && std::isfinite(value);
}

double VariantToNumber(const TVXVariant& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? 1 : 0;
  if (const auto* number = std::get_if<double>(&value)) return *number;
  if (const auto* text = std::get_if<std::string>(&value)) {
    double result = 0;
    if (!ReadDecimal(*text, result)) RaiseTextConversion("Double");
    return result;
  }
  return 0;
}

std::string VariantToText(const TVXVariant& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
  if (const auto* number = std::get_if<double>(&value)) return JsonFloatToText(*number);
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return "";
}

bool VariantToBoolean(const TVXVariant& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  if (const auto* number = std::get_if<double>(&value)) return *number != 0;
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (TextEquals(TrimView(*text), "true")) return true;
    if (TextEquals(TrimView(*text), "false")) return false;
    double number = 0;
    if (!ReadDecimal(*text, number)) RaiseTextConversion("Boolean");
    return number != 0;
  }
  return false;
}

template <typename Node>
const Node* NodeAs(const TVXCustomJSON* node) {
  const auto* typed = dynamic_cast<const Node*>(node);
  if (!typed) RaiseInvalidCast();
  return typed;
}

}  // namespace

// ---- TVXCustomJSON

void TVXCustomJSON::SetFieldValue(const std::string& name, const TVXVariant& value) {
  if (TVXCustomJSON* node = GetField(name)) node->SetValue(value);
}

void TVXCustomJSON::SetBooleanField(const std::string& name, bool flag) { SetFieldValue(name, flag); }
void TVXCustomJSON::SetIntegerField(const std::string& name, int value) { SetFieldValue(name, double(value)); }
void TVXCustomJSON::SetCurrencyField(const std::string& name, int64_t amount) {
  SetFieldValue(name, double(amount) / 10000);
}
void TVXCustomJSON::SetFloatField(const std::string& name, double value) { SetFieldValue(name, value); }
void TVXCustomJSON::SetStringField(const std::string& name, const std::string& text) { SetFieldValue(name, text); }

void TVXJSONnumber::SetValue(const TVXVariant& value) { NumberValue = VariantToNumber(value); }
void TVXJSONstring::SetValue(const TVXVariant& value) { StringValue = VariantToText(value); }
void TVXJSONboolean::SetValue(const TVXVariant& value) { BooleanValue = VariantToBoolean(value); }

// ---- TVXJSONcustomlist

TVXJSONcustomlist::~TVXJSONcustomlist() {
  while (!FChildren.empty()) FChildren.pop_back();
}

TVXCustomJSON* TVXJSONcustomlist::GetChild(int index) const {
  return Contains(index) ? FChildren[static_cast<size_t>(index)].get() : nullptr;
}

void TVXJSONcustomlist::SetChild(int index, std::unique_ptr<TVXCustomJSON> node) {
  if (node && Contains(index)) FChildren[static_cast<size_t>(index)] = std::move(node);
}

TVXCustomJSON* TVXJSONcustomlist::GetField(const TVXVariant& key) {
  const auto* number = std::get_if<double>(&key);
  if (!number || std::trunc(*number) != *number) return this;
  if (*number < 0 || *number >= GetCount()) return nullptr;
  return GetChild(static_cast<int>(*number));
}

std::pair<std::string, TVXCustomJSON*> TVXJSONcustomlist::GetNameOf(int index) const {
  return {std::to_string(index), GetChild(index)};
}

int TVXJSONcustomlist::AddChild(std::unique_ptr<TVXCustomJSON> node) {
  if (!node) return -1;
  FChildren.push_back(std::move(node));
  return GetCount() - 1;
}

void TVXJSONcustomlist::DeleteChild(int index) {
  if (!Contains(index)) return;
  const auto at = static_cast<size_t>(index);
  FChildren[at].reset();
  if (at + 1 < FChildren.size()) FChildren[at] = std::move(FChildren.back());
  FChildren.pop_back();
}

int TVXJSONcustomlist::IndexOfChild(const TVXCustomJSON* node) const {
  if (!node) return -1;
  for (size_t i = 0; i < FChildren.size(); ++i) {
    if (FChildren[i].get() == node) return static_cast<int>(i);
  }
  return -1;
}

const TVXCustomJSON* TVXJSONcustomlist::ValueAt(int index) const { return GetChild(index); }

int64_t TVXJSONcustomlist::GetInteger(int index) const {
  if (!Contains(index)) return 0;
  const double rounded = std::nearbyint(NodeAs<TVXJSONnumber>(ValueAt(index))->NumberValue);
  // 2^63 itself is out of range; beyond it the conversion is undefined.
  if (!(std::fabs(rounded) < 9223372036854775808.0)) throw Exception("Invalid floating point operation");
  return static_cast<int64_t>(rounded);
}

std::string TVXJSONcustomlist::GetString(int index) const {
  return Contains(index) ? NodeAs<TVXJSONstring>(ValueAt(index))->StringValue : "";
}

std::u16string TVXJSONcustomlist::GetWideString(int index) const { return AnsiToUtf16(GetString(index)); }

double TVXJSONcustomlist::GetFloat(int index) const {
  return Contains(index) ? NodeAs<TVXJSONnumber>(ValueAt(index))->NumberValue : 0;
}

bool TVXJSONcustomlist::GetBoolean(int index) const {
  return Contains(index) && NodeAs<TVXJSONboolean>(ValueAt(index))->BooleanValue;
}

// ---- TVXJSON

int TVXJSON::AddPair(const std::string& name, std::unique_ptr<TVXCustomJSON> node) {
  if (!node) return -1;
  return AddChild(std::make_unique<TVXJSONobjectmethod>(name, std::move(node)));
}

int TVXJSON::FindName(std::string_view name) const {
  if (FUseNameIndex) return FNameIndex.Find(name);
  for (int i = 0; i < GetCount(); ++i) {
    if (PairAt(i).Name == name) return i;
  }
  return -1;
}

TVXCustomJSON* TVXJSON::FieldByName(std::string_view name) const {
  const int position = FindName(name);
  return position < 0 ? nullptr : PairAt(position).Value.get();
}

void TVXJSON::SetOrAdd(const std::string& name, const TVXVariant& value,
                       std::unique_ptr<TVXCustomJSON> (*make)()) {
  if (TVXCustomJSON* node = FieldByName(name)) {
    node->SetValue(value);
    return;
  }
  std::unique_ptr<TVXCustomJSON> node = make();
  node->SetValue(value);
  AddPair(name, std::move(node));
}

void TVXJSON::SetBooleanField(const std::string& name, bool flag) {
  SetOrAdd(name, flag, [] { return std::unique_ptr<TVXCustomJSON>(new TVXJSONboolean); });
}

void TVXJSON::SetIntegerField(const std::string& name, int value) { SetFloatField(name, double(value)); }

void TVXJSON::SetCurrencyField(const std::string& name, int64_t amount) {
  SetFloatField(name, double(amount) / 10000);
}

void TVXJSON::SetFloatField(const std::string& name, double value) {
  SetOrAdd(name, value, [] { return std::unique_ptr<TVXCustomJSON>(new TVXJSONnumber); });
}

void TVXJSON::SetStringField(const std::string& name, const std::string& text) {
  SetOrAdd(name, text, [] { return std::unique_ptr<TVXCustomJSON>(new TVXJSONstring); });
}

TVXCustomJSON* TVXJSON::GetField(const TVXVariant& key) {
  if (const auto* name = std::get_if<std::string>(&key)) return FieldByName(*name);
  return TVXJSONcustomlist::GetField(key);
}

std::pair<std::string, TVXCustomJSON*> TVXJSON::GetNameOf(int index) const {
  if (!Contains(index)) return {"", nullptr};
  const TVXJSONobjectmethod& pair = PairAt(index);
  return {pair.Name, pair.Value.get()};
}

int TVXJSON::AddChild(std::unique_ptr<TVXCustomJSON> node) {
  const auto* pair = dynamic_cast<const TVXJSONobjectmethod*>(node.get());
  if (!pair) return -1;
  const int position = TVXJSONcustomlist::AddChild(std::move(node));
  if (FUseNameIndex) FNameIndex.Insert(pair->Name, position);
  return position;
}

void TVXJSON::SetChild(int index, std::unique_ptr<TVXCustomJSON> node) {
  if (!dynamic_cast<const TVXJSONobjectmethod*>(node.get())) return;
  TVXJSONcustomlist::SetChild(index, std::move(node));
  RebuildNameIndex();
}

void TVXJSON::DeleteChild(int index) {
  TVXJSONcustomlist::DeleteChild(index);
  RebuildNameIndex();
}

const TVXCustomJSON* TVXJSON::ValueAt(int index) const { return PairAt(index).Value.get(); }

const TVXJSONobjectmethod& TVXJSON::PairAt(int index) const {
  // AddChild and SetChild let nothing but pairs in.
  return static_cast<const TVXJSONobjectmethod&>(*FChildren[static_cast<size_t>(index)]);
}

void TVXJSON::RebuildNameIndex() {
  if (!FUseNameIndex) return;
  FNameIndex.Clear();
  for (int i = 0; i < GetCount(); ++i) FNameIndex.Insert(PairAt(i).Name, i);
}

}  // namespace vx
