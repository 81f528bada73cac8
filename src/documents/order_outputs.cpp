#include "documents/order_outputs.h"

#include "documents/local_clock.h"

namespace vx {

void FillDataGridLines(TVXJSONObject& document, TDataGridLines& lines) {
  TJsonArray& parts = document.Parts();
  const bool isNetto = document.JSON().Values("NettoPrices").AsBoolean();
  for (int i = 0; i < parts.Count(); ++i) {
    TJsonObject& part = parts.Items(i).AsObject();
    FillDataGridLine(lines.Add(), isNetto, [&part](const std::string& key) { return part.Values(key).AsString(); });
  }
  lines.GUID = document.JSON().Values("UID").AsString();
}

TFileNameValues FileNameValuesOf(TVXJSONObject& document) {
  TJsonObject& adress = document.Adress();
  TJsonObject& order = document.Order();
  TFileNameValues values;
  values.AdressName = adress.Values("AdressSmart").AsString();
  values.CustomerNumber = adress.Values("CustomerNumber").AsString();
  values.PrintName = order.Values("PrintName").AsString();
  values.PrintUID = order.Values("PrintUID").AsString();
  return values;
}

std::string ProposeOrderFileName(TVXJSONObject& document, const std::string& fileNameTemplate,
                                 const TCalendarDate& today) {
  return ProposeOrderFileName(fileNameTemplate, FileNameValuesOf(document), today);
}

std::string ProposeSaveFileName(TVXJSONObject& document, const std::string& fileNameTemplate,
                                const TCalendarDate& today) {
  const std::string name = ProposeOrderFileName(document, fileNameTemplate, today);
  if (!name.empty()) return name;
  // A template that cleans down to nothing (say "[AdressName]" for an order
  // without a short address) would leave the dialog's name field empty; the
  // default template always gives at least the number and the date.
  return ProposeOrderFileName(document, kDefaultFileNameTemplate, today);
}

TCalendarDate Today() {
  const TJsonDateTime now = LocalDateTimeNow();
  TCalendarDate today;
  today.Year = now.Year;
  today.Month = now.Month;
  today.Day = now.Day;
  return today;
}

}  // namespace vx
