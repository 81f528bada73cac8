#include "documents/data_grid_lines.h"

#include <limits>

#include "documents/component_stream.h"
#include "support/byte_order.h"
#include "support/errors.h"

namespace vx {

namespace {

constexpr char kWrapperClassName[] = "TDataGridLinesWrapper";

// Text properties without content are left out of the stream; booleans
// and integers have no default and are always written.
void WriteText(TComponentStreamWriter& writer, const char* name, const std::string& value) {
  if (value.empty()) return;
  writer.WriteShortString(name);
  writer.WriteTextValue(value);
}

void WriteBoolean(TComponentStreamWriter& writer, const char* name, bool value) {
  writer.WriteShortString(name);
  writer.WriteBooleanValue(value);
}

void WriteInteger(TComponentStreamWriter& writer, const char* name, int32_t value) {
  writer.WriteShortString(name);
  writer.WriteIntegerValue(value);
}

void WriteLine(TComponentStreamWriter& writer, const TDataGridLine& line) {
  writer.WriteListStart();
  WriteText(writer, "Stueck", line.Stueck);
  WriteText(writer, "Einheit", line.Einheit);
  WriteText(writer, "Bezeichnung1", line.Bezeichnung1);
  WriteText(writer, "Bezeichnung2", line.Bezeichnung2);
  WriteText(writer, "BestellNummer", line.BestellNummer);
  WriteText(writer, "Seriennummer", line.Seriennummer);
  WriteText(writer, "Artikelnummer", line.Artikelnummer);
  WriteText(writer, "Einzelbetrag", line.Einzelbetrag);
  WriteText(writer, "Steuer", line.Steuer);
  WriteText(writer, "SummeBetrag", line.SummeBetrag);
  WriteText(writer, "intern", line.intern);
  WriteText(writer, "ID_Artikel", line.ID_Artikel);
  WriteText(writer, "Rabatt", line.Rabatt);
  WriteText(writer, "Second", line.Second);
  WriteBoolean(writer, "DM", line.DM);
  WriteText(writer, "TypeLine", line.TypeLine);
  WriteBoolean(writer, "Isnetto", line.Isnetto);
  WriteText(writer, "User", line.User);
  WriteInteger(writer, "Row", line.Row);
  WriteText(writer, "Rows", line.Rows);
  WriteText(writer, "Hash", line.Hash);
  WriteText(writer, "Pos", line.Pos);
  WriteText(writer, "ExtraData", line.ExtraData);
  WriteText(writer, "L2", line.L2);
  writer.WriteListEnd();
}

void WriteWrapper(TComponentStreamWriter& writer, const TDataGridLinesWrapper& wrapper) {
  writer.WriteSignature();
  writer.WriteShortString(kWrapperClassName);
  // The component has no name.
  writer.WriteShortString("");
  writer.WriteShortString("DataGridLines");
  writer.WriteCollectionStart();
  if (wrapper.DataGridLines) {
    for (int i = 0; i < wrapper.DataGridLines->Count(); ++i) WriteLine(writer, wrapper.DataGridLines->Items(i));
  }
  writer.WriteListEnd();
  WriteText(writer, "GUID", wrapper.GUID);
  WriteInteger(writer, "Row", wrapper.Row);
  WriteText(writer, "Data", wrapper.Data);
  // End of the properties, then of the (empty) list of child components.
  writer.WriteListEnd();
  writer.WriteListEnd();
}

}  // namespace

void FillDataGridLine(TDataGridLine& line, bool isNetto, const TPositionTextReader& readText) {
  line.DM = false;
  line.Isnetto = isNetto;
  line.Stueck = readText("Quantity");
  line.Einheit = readText("Unit");
  line.Bezeichnung1 = readText("Description1");
  line.Bezeichnung2 = readText("Description2");
  line.BestellNummer = readText("DeliverNumber");
  line.Seriennummer = readText("SerialNumber");
  line.Artikelnummer = readText("Number");
  line.Einzelbetrag = readText("Price");
  line.Steuer = readText("TaxRate");
  line.intern = readText("Intern");
  line.Rabatt = readText("Rabatt");
  line.Second = readText("LongText");
  line.TypeLine = readText("TypLine");
  line.Pos = readText("Position");
  line.L2 = readText("L2");
}

const TDataGridLine& TDataGridLines::Items(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  return FItems[static_cast<size_t>(index)];
}

void WriteDataGridLinesStream(const TDataGridLines& lines, TMemoryStream& target) {
  TDataGridLinesWrapper wrapper;
  wrapper.DataGridLines = &lines;
  wrapper.GUID = lines.GUID;
  wrapper.Row = -1;
  TComponentStreamWriter writer;
  WriteWrapper(writer, wrapper);
  target.Clear();
  target.WriteText(writer.Data());
  target.Seek(0, soBeginning);
}

std::string MakeClipboardBlock(TStream& stream) {
  const int64_t size = stream.Size();
  if (size > std::numeric_limits<int32_t>::max()) throw Exception(kTooManyPositionsText);
  std::string block = LittleEndianBytes(static_cast<int32_t>(size));
  block.resize(4 + static_cast<size_t>(size));
  stream.Seek(0, soBeginning);
  if (stream.Read(block.data() + 4, size) != size) throw EStreamError("Stream read error");
  return block;
}

}  // namespace vx
