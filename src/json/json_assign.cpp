// The deep copy of the JSON model: Assign of every node class.
//
// Assign empties the node, then copies the source into it. When the two
// overlap, that order cannot work as it stands: a source inside the node
// would be destroyed by the emptying, and a node inside its source would
// copy into the tree it is reading, without end. Such a source is first
// copied into a tree of its own, and the node is then filled from that
// copy; the result is what an equal, separate source gives. Whether the
// two overlap is asked once for each Assign, not again at every level.
#include "json/fast_json.h"

#include <string>

#include "json/json_builders.h"
#include "json/json_error.h"
#include "json/json_node_access.h"
#include "json/json_stored_text.h"

namespace vx {

namespace {

// What a copied text keeps of its flags: what its bytes are, not who owns
// them.
constexpr uint8_t kCopiedTextFlags = TJsonTextFlags::kEscaped | TJsonTextFlags::kCanonical;

// True when node is ancestor or lies below it.
bool IsWithin(const TJsonBase* node, const TJsonBase* ancestor) {
  for (; node != nullptr; node = node->Owner()) {
    if (node == ancestor) return true;
  }
  return false;
}

// True when one of the two lies inside the other, or they are one node.
bool Overlaps(const TJsonBase& target, const TJsonBase& source) {
  return IsWithin(&source, &target) || IsWithin(&target, &source);
}

// The copy proper: fills an empty target from a source that lies apart
// from it.
void CopyInto(TJsonArray& target, const TJsonArray& source);
void CopyInto(TJsonObject& target, const TJsonObject& source);

void CopyInto(TJsonValue& target, const TJsonValue& source) {
  switch (source.ValueType()) {
    case jvObject:
      CopyInto(target.AsObject(), *source.ObjectValue());
      return;
    case jvArray:
      CopyInto(target.AsArray(), *source.ArrayValue());
      return;
    case jvString: {
      // The text is copied as it stands, escapes and all.
      const TJsonStoredText copy =
          MakeStoredText(TJsonNodeAccess::RawText(source), TJsonNodeAccess::TextFlags(source) & kCopiedTextFlags, true);
      TJsonValueData data;
      data.Text = copy.Data;
      TJsonNodeAccess::Fill(target, jvString, static_cast<uint8_t>(copy.Flags << TJsonNodeAccess::kValueTextShift),
                            copy.Length, data);
      return;
    }
    default:
      TJsonNodeAccess::Fill(target, source.ValueType(), source.BooleanValue() ? TJsonNodeAccess::kValueTrue : 0, 0,
                            TJsonValueData{source.NumberValue()});
  }
}

void CopyInto(TJsonPair& target, const TJsonPair& source) {
  TJsonNodeAccess::AdoptName(
      target, MakeStoredText(TJsonNodeAccess::RawName(source), TJsonNodeAccess::NameFlags(source) & kCopiedTextFlags, true));
  CopyInto(target.Value(), source.Value());
}

// Items still pending are copied from the tape, without making them in
// the source first.
void CopyInto(TJsonArray& target, const TJsonArray& source) {
  const TJsonPending& pending = TJsonNodeAccess::Pending(source);
  if (pending.Record) return TJsonTapeBuilder(nullptr).Fill(target, PendingRecord(pending));
  const TJsonList<TJsonItem>& items = TJsonNodeAccess::Items(source);
  TJsonNodeAccess::Items(target).Reserve(&target, items.Count());
  items.ForEach([&target](const TJsonItem& item) { CopyInto(target.Add(), item); });
}

void CopyInto(TJsonObject& target, const TJsonObject& source) {
  const TJsonPending& pending = TJsonNodeAccess::Pending(source);
  if (pending.Record) return TJsonTapeBuilder(nullptr).Fill(target, PendingRecord(pending));
  const TJsonList<TJsonPair>& pairs = TJsonNodeAccess::Items(source);
  TJsonNodeAccess::Items(target).Reserve(&target, pairs.Count());
  pairs.ForEach([&target](const TJsonPair& pair) { CopyInto(target.Add(std::string_view()), pair); });
}

// Calls replace(from) with from the source itself, or, when the source
// overlaps target, with a copy of it in a tree of its own. replace empties
// target and fills it from from.
template <typename TSource, typename TReplace>
void ReplaceFrom(const TJsonBase& target, const TSource& source, TReplace replace) {
  if (!Overlaps(target, source)) return replace(source);
  TSource detached;
  CopyInto(detached, source);
  replace(detached);
}

// The assign error for a source (or none) that does not fit target, after
// clear has emptied target. The source's class is read first: the source
// may lie inside target.
template <typename TClear>
[[noreturn]] void RefuseSource(const TJsonBase& target, const TJsonBase* source, TClear clear) {
  const std::string sourceClass = source ? source->ClassName() : "nil";
  clear();
  throw EJsonError(JsonErrorText(target.ClassName(), "assign error: " + sourceClass + " to " + target.ClassName()));
}

// Assign of an array or object: the source must be of its own class.
template <typename TContainer>
void AssignContainer(TContainer& target, const TJsonBase* source) {
  auto clear = [&target] { target.Clear(); };
  if (source == nullptr || source->Kind() != target.Kind()) RefuseSource(target, source, clear);
  ReplaceFrom(target, static_cast<const TContainer&>(*source), [&target, &clear](const TContainer& from) {
    clear();
    CopyInto(target, from);
  });
}

}  // namespace

void TJsonValue::Assign(const TJsonBase* source) {
  if (source == nullptr) RefuseSource(*this, source, [this] { Clear(); });
  switch (source->Kind()) {
    case TKind::Object:
      return ReplaceFrom(*this, static_cast<const TJsonObject&>(*source), [this](const TJsonObject& from) {
        Clear();
        CopyInto(AsObject(), from);
      });
    case TKind::Array:
      return ReplaceFrom(*this, static_cast<const TJsonArray&>(*source), [this](const TJsonArray& from) {
        Clear();
        CopyInto(AsArray(), from);
      });
    case TKind::Value:
      return ReplaceFrom(*this, static_cast<const TJsonValue&>(*source), [this](const TJsonValue& from) {
        Clear();
        CopyInto(*this, from);
      });
    case TKind::Pair:
    case TKind::Document:
      break;
  }
  RefuseSource(*this, source, [this] { Clear(); });
}

void TJsonArray::Assign(const TJsonBase* source) { AssignContainer(*this, source); }

void TJsonPair::Assign(const TJsonBase* source) {
  auto clear = [this] {
    FreeName();
    FValue.Clear();
  };
  if (source == nullptr || source->Kind() != TKind::Pair) RefuseSource(*this, source, clear);
  ReplaceFrom(*this, static_cast<const TJsonPair&>(*source), [this, &clear](const TJsonPair& from) {
    clear();
    CopyInto(*this, from);
  });
}

void TJsonObject::Assign(const TJsonBase* source) { AssignContainer(*this, source); }

void TFastJSON::Assign(const TJsonBase* source) {
  if (source == this) return;
  const TJsonBase* root = source;
  if (source && source->Kind() == TKind::Document) {
    const auto& document = static_cast<const TFastJSON&>(*source);
    root = document.FJsonArray ? static_cast<const TJsonBase*>(document.FJsonArray) : document.FJsonObject;
    if (root == nullptr) return Clear();  // an empty source gives an empty document
  } else if (source && source->Kind() == TKind::Value) {
    const auto& value = static_cast<const TJsonValue&>(*source);
    if (value.ArrayValue()) {
      root = value.ArrayValue();
    } else if (value.ObjectValue()) {
      root = value.ObjectValue();
    }
  }
  // A document lies inside nothing, so only a root inside this document
  // overlaps it.
  if (root && root->Kind() == TKind::Array) {
    return ReplaceFrom(*this, static_cast<const TJsonArray&>(*root), [this](const TJsonArray& from) {
      Clear();
      NewArray();
      CopyInto(*FJsonArray, from);
    });
  }
  if (root && root->Kind() == TKind::Object) {
    return ReplaceFrom(*this, static_cast<const TJsonObject&>(*root), [this](const TJsonObject& from) {
      Clear();
      NewObject();
      CopyInto(*FJsonObject, from);
    });
  }
  RefuseSource(*this, source, [this] { Clear(); });
}

}  // namespace vx
