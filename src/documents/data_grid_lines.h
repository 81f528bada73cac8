// The positions of an order as the host's position grid pastes them from
// the clipboard format "CF_DATAGRIDDATA": grid lines wrapped in a
// component and written as a component stream.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "support/streams.h"

namespace vx {

// One grid line; the member order is the order of the stream.
struct TDataGridLine {
  std::string Stueck;
  std::string Einheit;
  std::string Bezeichnung1;
  std::string Bezeichnung2;
  std::string BestellNummer;
  std::string Seriennummer;
  std::string Artikelnummer;
  std::string Einzelbetrag;
  std::string Steuer;
  std::string SummeBetrag;
  std::string intern;
  std::string ID_Artikel;
  std::string Rabatt;
  std::string Second;
  bool DM = false;
  std::string TypeLine;
  bool Isnetto = false;
  std::string User;
  int32_t Row = 0;
  std::string Rows;
  std::string Hash;
  std::string Pos;
  std::string ExtraData;
  std::string L2;
};

// Reads one key of an order position as text; a missing key gives "".
using TPositionTextReader = std::function<std::string(const std::string& key)>;

// Fills a new line from an order position: DM false, Isnetto from the
// order's "NettoPrices", then each text from its position key in the
// line's member order ("Quantity" for Stueck, "Unit" for Einheit, ...).
// The keys are read in that order, so a reader that adds missing keys to
// the document adds them in that order too.
void FillDataGridLine(TDataGridLine& line, bool isNetto, const TPositionTextReader& readText);

class TDataGridLines {
 public:
  // Appends a new, empty line; the reference stays valid while the
  // collection lives.
  TDataGridLine& Add() { return FItems.emplace_back(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TDataGridLine& Items(int index) const;

  // The identity of the lines: the order document's root "UID".
  std::string GUID;

 private:
  std::deque<TDataGridLine> FItems;
};

// The component that carries the lines through the stream.
struct TDataGridLinesWrapper {
  const TDataGridLines* DataGridLines = nullptr;
  std::string GUID;
  int32_t Row = 0;
  std::string Data;
};

// Clears target, writes a wrapper of the lines (their GUID, Row -1, Data
// empty) as a component stream into it and rewinds it.
void WriteDataGridLinesStream(const TDataGridLines& lines, TMemoryStream& target);

// The error of a stream too long for the block's 32-bit size.
constexpr char kTooManyPositionsText[] = "Zu viele Positionen f\xfcr die Zwischenablage";

// The clipboard block of a stream: its size as signed 32-bit
// little-endian, then all its bytes (read from the start). Raises the
// general error kTooManyPositionsText for a stream of 2 GB or more.
std::string MakeClipboardBlock(TStream& stream);

}  // namespace vx
