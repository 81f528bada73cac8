#include "documents/import_document.h"

#include <utility>

#include "documents/vx_json_streamer.h"

namespace vx {

namespace {

std::unique_ptr<TJSON>& SharedDocument() {
  static std::unique_ptr<TJSON> document;
  return document;
}

// Adds node under name and returns it, still owned by the object.
template <typename TNode>
TNode* AddNode(TVXJSON& object, const char* name, std::unique_ptr<TNode> node) {
  TNode* result = node.get();
  object.AddPair(name, std::move(node));
  return result;
}

template <typename TNode>
TNode* AddNode(TVXSONList& list, std::unique_ptr<TNode> node) {
  TNode* result = node.get();
  list.AddChild(std::move(node));
  return result;
}

}  // namespace

TJSON::TJSON() : FRoot(std::make_unique<TVXJSON>(true)) {
  RootObject = FRoot.get();
  OrderList = AddNode(*RootObject, "Order", std::make_unique<TVXSONList>());
  OrderObject = AddNode(*OrderList, std::make_unique<TVXJSON>(true));
  PartsList = AddNode(*OrderObject, "Parts", std::make_unique<TVXSONList>());
  AdressList = AddNode(*OrderObject, "Adress", std::make_unique<TVXSONList>());
  AdressObject = AddNode(*AdressList, std::make_unique<TVXJSON>(true));
}

TJSON::~TJSON() = default;

TJSON& TJSON::ImportDocument() {
  std::unique_ptr<TJSON>& document = SharedDocument();
  if (!document) document.reset(new TJSON());
  return *document;
}

bool TJSON::HasImportDocument() { return SharedDocument() != nullptr; }

TVXJSON& TJSON::NewPart() {
  TJSON& document = ImportDocument();
  document.CurrentPart = AddNode(*document.PartsList, std::make_unique<TVXJSON>(true));
  return *document.CurrentPart;
}

TVXJSON* TJSON::LevelObject(TImportLevel level) const {
  switch (level) {
    case ilAdress:
      return AdressObject;
    case ilOrder:
      return OrderObject;
    case ilPart:
      return CurrentPart;
    default:
      return nullptr;
  }
}

void TJSON::AddImportString(TImportLevel level, const std::string& name, const std::string& text) {
  if (level > ilPart) return;
  if (TVXJSON* object = ImportDocument().LevelObject(level)) object->SetStringField(name, text);
}

void TJSON::AddImportBoolean(TImportLevel level, const std::string& name, bool flag) {
  if (level > ilPart) return;
  if (TVXJSON* object = ImportDocument().LevelObject(level)) object->SetBooleanField(name, flag);
}

std::string TJSON::Emit(int flags) {
  // Taken out first, so that it is freed whatever happens below.
  const std::unique_ptr<TJSON> document = std::move(SharedDocument());
  if (!document || (flags & kImportAsText) == 0) return "";
  return TVXJSONStreamer::GenerateText(document->RootObject);
}

void TJSON::ResetImportDocument() { SharedDocument().reset(); }

void TJSONImport::SetDescription(const std::string& text) {
  TJSON::ImportDocument().RootObject->SetStringField("Description", text);
}

std::string TJSONImport::Execute(int flags) { return TJSON::Emit(flags); }

}  // namespace vx
