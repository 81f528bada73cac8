// The import document: the one JSON text the host takes to add positions
// to its open order ("OUTDATA"). There is one shared document per process,
// created with its skeleton on first use and freed by every Emit, so each
// send starts from a new skeleton.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "documents/vx_json.h"

namespace vx {

// Selects the object that AddImportString and AddImportBoolean write to.
using TImportLevel = uint8_t;
constexpr TImportLevel ilAdress = 0;  // AdressObject
constexpr TImportLevel ilOrder = 1;   // OrderObject
constexpr TImportLevel ilPart = 2;    // CurrentPart (nothing while there is none)

// Emit flag: generate the document as text (and, for a parser, send it).
constexpr int kImportAsText = 2;

// The shared document: {"Order":[{"Parts":[],"Adress":[{}]}]} to begin
// with; pairs added later follow in insertion order. The pointers below
// point into the tree owned by the root.
class TJSON {
 public:
  TJSON(const TJSON&) = delete;
  TJSON& operator=(const TJSON&) = delete;
  ~TJSON();

  // The shared instance, created with its skeleton when there is none.
  static TJSON& ImportDocument();
  static bool HasImportDocument();
  // A new position object appended to PartsList; it becomes CurrentPart.
  static TVXJSON& NewPart();
  // SetStringField / SetBooleanField on the level's object; levels above
  // ilPart do nothing (and create no document).
  static void AddImportString(TImportLevel level, const std::string& name, const std::string& text);
  static void AddImportBoolean(TImportLevel level, const std::string& name, bool flag);
  // With kImportAsText the document's compact text, else "" (also when
  // there is no document). The shared instance is freed in every case, an
  // error of the generator included.
  static std::string Emit(int flags);
  // Frees the shared instance, if any.
  static void ResetImportDocument();

  TVXJSON* RootObject;
  TVXSONList* OrderList;
  TVXJSON* OrderObject;
  TVXSONList* PartsList;
  TVXJSON* CurrentPart = nullptr;
  TVXSONList* AdressList;
  TVXJSON* AdressObject;

 private:
  TJSON();
  TVXJSON* LevelObject(TImportLevel level) const;

  std::unique_ptr<TVXJSON> FRoot;
};

// The writer the parsers use; it holds nothing itself and works on the
// shared document.
class TJSONImport {
 public:
  // Root "Description".
  void SetDescription(const std::string& text);
  // Emit with the flags; the shared document is gone afterwards, also when
  // this raises.
  std::string Execute(int flags);
};

}  // namespace vx
