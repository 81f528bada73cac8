// The three places of an order document that every action needs: the
// order, its address and its list of positions.
#pragma once

#include "json/fast_json.h"

namespace vx {

// References into a document; valid until the document is changed.
struct TOrderLocation {
  TJsonValue* Order = nullptr;   // element 0 of the root's "Order" array
  TJsonValue* Adress = nullptr;  // element 0 of the order's "Adress" array
  TJsonArray* Parts = nullptr;   // the order's "Parts" array

  bool IsValid() const { return Order && Adress && Parts; }
};

// Finds the order in a loaded document, with lookups that ignore the
// letter case and add what is missing: an empty document becomes an
// object, a missing "Order" or "Adress" an empty array and a missing
// "Parts" an empty array (which is valid). Raises the model's errors: "json
// struct type is not jsObject" for a root array, the list index error with
// index 0 for an empty "Order" or "Adress" array, the value type error for
// a member of another type (null included). location is cleared first and
// holds what was found before an error.
void LocateOrder(TFastJSON& json, TOrderLocation& location);

}  // namespace vx
