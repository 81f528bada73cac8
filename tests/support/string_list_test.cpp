#include "support/string_list.h"

#include <gtest/gtest.h>

#include "support/errors.h"

namespace vx {
namespace {

TEST(StringList, IndexErrorsCarryTheGermanText) {
  TStringList list;
  list.Add("a");
  try {
    list.Get(1);
    FAIL() << "no error";
  } catch (const EStringListError& error) {
    EXPECT_EQ(error.Message(), "Der Index der Liste \xfc" "berschreitet das Maximum (1)");
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
}

TEST(StringListEx, NameValueLines) {
  TStringListEx list;
  list.Add("Color=clWindow");
  list.Add("no separator");
  list.Add("COLOR=second");
  list.Add("Empty=");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.IndexOfName("color"), 0);
  EXPECT_EQ(list.Values("color"), "clWindow");
  EXPECT_EQ(list.Values("empty"), "");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.ValueFromIndex(-1), "");
  list.CaseSensitive = true;
  EXPECT_EQ(list.IndexOfName("COLOR"), 2);
  list.CaseSensitive = false;

  list.SetValue("Color", "clRed");
  EXPECT_EQ(list.Get(0), "Color=clRed");
  list.SetValue("New", "1");
  EXPECT_EQ(list.Get(list.Count() - 1), "New=1");
  list.SetValue("color", "");
  EXPECT_EQ(list.Get(0), "no separator");
}

TEST(StringListEx, SeparatorAndAssign) {
  TStringListEx list;
  list.NameValueSeparator = ':';
  list.Add("a:b=c");
  EXPECT_EQ(list.Values("a"), "b=c");
  TStringListEx copy;
  copy.Assign(list);
  EXPECT_EQ(copy.NameValueSeparator, ':');
  EXPECT_EQ(copy.Values("A"), "b=c");
}

TEST(StringListEx, CustomSortUsesTheCallersOrder) {
  TStringListEx list;
  for (const char* line : {"b=2", "c=3", "a=1"}) list.Add(line);
  list.CustomSort([](const TStringListEx& l, int x, int y) { return l.Names(x).compare(l.Names(y)); });
  EXPECT_EQ(list.Text(), "a=1\r\nb=2\r\nc=3\r\n");
}

}  // namespace
}  // namespace vx
