#include "order_files.h"

#include <iterator>

#include "bench_random.h"
#include "json/fast_json.h"

namespace vx::bench {
namespace {

const char* const kWords[] = {"Schraube", "M\xfc" "ller", "Gewinde", "verzinkt", "Edelstahl", "Lieferung", "Montage",
                              "Stra\xdf" "e",  "Gr\xf6\xdf" "e", "Zubeh\xf6r", "Ersatzteil", "Pr\xfc" "fung", "Kabel",
                              "DIN 933",  "\x80 netto", "f\xfcr", "Au\xdf" "enbereich", "und", "mit", "ohne"};

std::string Words(TRandom& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kWords[random.Below(static_cast<int>(std::size(kWords)))];
  }
  return text;
}

std::string Base64(TRandom& random, size_t bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes + 2) / 3 * 4);
  for (size_t i = 0; i < (bytes + 2) / 3 * 4; ++i) text += kAlphabet[random.Next() & 63];
  return text;
}

std::string Repeat(const std::string& piece, size_t count) {
  std::string text;
  text.reserve(piece.size() * count);
  for (size_t i = 0; i < count; ++i) text += piece;
  return text;
}

}  // namespace

std::string MakeOrderText(int positions, bool attachments) {
  TRandom random;
  TFastJSON json;
  TJsonObject& order = json.Values("Order").AsArray().Add().AsObject();
  order.Values("PrintName").SetAsString("Auftrag");
  order.Values("PrintUID").SetAsString("20240315");
  TJsonObject& adress = order.Values("Adress").AsArray().Add().AsObject();
  adress.Values("CustomerNumber").SetAsString("10042");
  adress.Values("AdressSmart").SetAsString("M\xfcller GmbH, Hauptstra\xdf" "e 1, 80331 M\xfcnchen");
  TJsonArray& parts = order.Values("Parts").AsArray();
  for (int i = 0; i < positions; ++i) {
    TJsonObject& part = parts.Add().AsObject();
    part.Values("Intern").SetAsString(std::to_string(100000 + i));
    part.Values("Position").SetAsString(std::to_string(i + 1));
    part.Values("TypLine").SetAsString("0");
    part.Values("Number").SetAsString("ART-" + std::to_string(random.Below(99999)));
    part.Values("Description1").SetAsString(Words(random, 4));
    part.Values("Description2").SetAsString(Words(random, 3));
    part.Values("LongText").SetAsString(Words(random, 12 + random.Below(20)) + "\r\n" + Words(random, 8));
    part.Values("Unit").SetAsString("Stk");
    part.Values("DeliverNumber").SetAsString("");
    part.Values("SerialNumber").SetAsString("");
    part.Values("DeleteL2").SetAsBoolean(attachments);
    part.Values("L2").SetAsString(attachments ? "base64:" + Base64(random, 50 * 1024 + random.Below(974 * 1024)) : "");
    // Numbers come only from parsing.
    part.Values("Quantity").Parse(std::to_string(1 + random.Below(100)));
    part.Values("Price").Parse(std::to_string(random.Below(100000)) + "." + std::to_string(random.Below(100)));
    part.Values("TaxRate").Parse("19");
    part.Values("Rabatt").Parse(random.Below(4) == 0 ? "2.5" : "0");
  }
  json.Values("NettoPrices").SetAsBoolean(true);
  json.Values("UID").SetAsString("VX Datei Zwischenablage 2024-03-15T10:00:00.000Z 123456");
  return json.Stringify();
}

std::vector<TJsonShape> MakeHostileShapes(size_t size, int depth) {
  const size_t levels = static_cast<size_t>(depth);
  const std::string open(levels, '[');
  const std::string close(levels, ']');
  const size_t inner = size - 2 * levels;
  std::vector<TJsonShape> shapes;
  // One string of backslashes and a doubled quote at the deepest level:
  // the single pass gives up at the second quote.
  shapes.push_back({"backslashes, doubled quote", open + '"' + Repeat("\\\\", (inner - 3) / 2) + "\"\"" + close,
                    open + '"' + std::string(inner - 2, 'a') + '"' + close});
  // A long word that is no value at the deepest level.
  shapes.push_back({"no value at the deepest level", open + std::string(inner, 'x') + close,
                    open + '"' + std::string(inner - 2, 'x') + '"' + close});
  // A flat list of numbers with an error at its end.
  const size_t numbers = (size - 3) / 2;
  shapes.push_back({"error at the end of a list", '[' + Repeat("1,", numbers) + "x]", '[' + Repeat("1,", numbers) + "1]"});
  // Text behind the closer of every level, which each level's piece holds.
  const size_t behind = (size / levels) / 2;
  const std::string nested(levels - 1, '[');
  shapes.push_back({"text behind every closer", '[' + nested + '1' + Repeat(']' + Repeat("[]", behind), levels - 1) + ']',
                    '[' + nested + '1' + Repeat("]," + Repeat("[],", behind * 2 / 3) + "[]", levels - 1) + ']'});
  return shapes;
}

void LoadIgnoringErrors(const std::string& text) {
  TFastJSON json;
  try {
    json.Parse(text);
  } catch (const std::exception&) {
    // The refusal is what a hostile text is expected to get.
  }
}

}  // namespace vx::bench
