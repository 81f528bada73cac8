#include "json_files.h"

#include "order_files.h"
#include "shape_files.h"

namespace vx::bench {

const TJsonFile kJsonFiles[5] = {
    {"10000 positions", [] { return MakeOrderText(10000, false); }, true, false},
    {"200 attachments", [] { return MakeOrderText(200, true); }, true, true},
    {"numbers", MakeNumbersText, false, false},
    {"catalog", MakeCatalogText, false, false},
    {"feed", MakeFeedText, false, false},
};

}  // namespace vx::bench
