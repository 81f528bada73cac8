#include "documents/order_locate.h"

namespace vx {

void LocateOrder(TFastJSON& json, TOrderLocation& location) {
  location = TOrderLocation();
  location.Order = &json.Values("Order").AsArray().Items(0);
  TJsonObject& order = location.Order->AsObject();
  location.Adress = &order.Values("Adress").AsArray().Items(0);
  location.Parts = &order.Values("Parts").AsArray();
}

}  // namespace vx
