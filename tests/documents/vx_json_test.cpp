#include "documents/vx_json.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "documents/vx_json_streamer.h"
#include "support/errors.h"

namespace vx {
namespace {

std::string Text(const TVXCustomJSON& node) { return TVXJSONStreamer::GenerateText(&node); }

// Lookups must behave the same through the name index and by scanning.
class ObjectFields : public ::testing::TestWithParam<bool> {};

TEST_P(ObjectFields, SetStringFieldReplacesOrAppends) {
  TVXJSON object(GetParam());
  object.SetStringField("a", "1");
  object.SetBooleanField("b", true);
  object.SetStringField("a", "3");
  EXPECT_EQ(Text(object), R"({"a":"3","b":true})");
  object.SetStringField("A", "4");
  EXPECT_EQ(Text(object), R"({"a":"3","b":true,"A":"4"})");
}

TEST_P(ObjectFields, FirstOfEqualNamesWins) {
  TVXJSON object(GetParam());
  EXPECT_EQ(object.AddPair("x", std::make_unique<TVXJSONstring>("first")), 0);
  EXPECT_EQ(object.AddPair("x", std::make_unique<TVXJSONstring>("second")), 1);
  EXPECT_EQ(object.FindName("x"), 0);
  object.SetStringField("x", "changed");
  EXPECT_EQ(Text(object), R"({"x":"changed","x":"second"})");
}

TEST_P(ObjectFields, DeleteChildMovesTheLastPairAndKeepsLookupsRight) {
  TVXJSON object(GetParam());
  for (const char* name : {"a", "b", "c", "d"}) object.SetStringField(name, name);
  object.DeleteChild(1);
  EXPECT_EQ(Text(object), R"({"a":"a","d":"d","c":"c"})");
  EXPECT_EQ(object.FindName("b"), -1);
  EXPECT_EQ(object.FindName("d"), 1);
  EXPECT_EQ(object.FindName("c"), 2);
  object.DeleteChild(2);
  object.DeleteChild(7);
  EXPECT_EQ(Text(object), R"({"a":"a","d":"d"})");
  EXPECT_EQ(object.FindName("c"), -1);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutIndex, ObjectFields, ::testing::Bool());

TEST(TVXJSON, RejectsMissingNodesAndNonPairs) {
  TVXJSON object;
  EXPECT_EQ(object.AddPair("a", nullptr), -1);
  EXPECT_EQ(object.AddChild(std::make_unique<TVXJSONnull>()), -1);
  object.SetChild(0, std::make_unique<TVXJSONnull>());
  EXPECT_EQ(object.GetCount(), 0);
  EXPECT_EQ(Text(object), "{}");

  TVXSONList list;
  EXPECT_EQ(list.AddChild(nullptr), -1);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(TVXJSON, NamesAreCaseSensitiveAndBytewise) {
  TVXJSON object;
  object.SetStringField("Name", "1");
  object.SetStringField("name", "2");
  object.SetStringField("N\xe4me", "3");
  EXPECT_EQ(object.GetCount(), 3);
  EXPECT_EQ(object.FindName("name"), 1);
  EXPECT_EQ(object.FindName("N\xc4me"), -1);
  EXPECT_EQ(object.FieldByName("NAME"), nullptr);
}

TEST(TVXJSON, NumericSettersAndCurrency) {
  TVXJSON object;
  object.SetIntegerField("i", -7);
  object.SetCurrencyField("c", 12345);
  object.SetFloatField("f", 2.5);
  object.SetCurrencyField("i", 5);
  EXPECT_EQ(Text(object), R"({"i":0.0005,"c":1.2345,"f":2.5})");
}

// Checks the AA tree's level rules and the order of its names; returns the
// number of nodes.
int CheckAATree(const TVXBalTree& tree, const TVXBalTree::TNode* node, const std::string* low,
                const std::string* high) {
  const TVXBalTree::TNode* bottom = tree.Bottom();
  if (node == bottom) return 0;
  EXPECT_TRUE(!low || *low < node->Name);
  EXPECT_TRUE(!high || node->Name < *high);
  EXPECT_EQ(node->Left->Level, node->Level - 1);
  EXPECT_TRUE(node->Right->Level == node->Level || node->Right->Level == node->Level - 1);
  EXPECT_LT(node->Right->Right->Level, node->Level);
  if (node->Level > 1) {
    EXPECT_NE(node->Left, bottom);
    EXPECT_NE(node->Right, bottom);
  }
  return 1 + CheckAATree(tree, node->Left, low, &node->Name) + CheckAATree(tree, node->Right, &node->Name, high);
}

TEST(TVXBalTree, StaysBalancedAndFindsEveryName) {
  std::vector<std::string> names;
  for (int i = 0; i < 1000; ++i) names.push_back("key" + std::to_string(i));
  std::vector<std::string> shuffled = names;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
  std::vector<std::string> descending = names;
  std::sort(descending.rbegin(), descending.rend());
  for (const auto* order : {&names, &descending, &shuffled}) {
    TVXBalTree tree;
    for (size_t i = 0; i < order->size(); ++i) tree.Insert((*order)[i], static_cast<int>(i));
    tree.Insert((*order)[5], 999999);
    EXPECT_EQ(CheckAATree(tree, tree.Root(), nullptr, nullptr), 1000);
    // An AA tree of n nodes has at most log2(n + 1) levels.
    EXPECT_LE(tree.Root()->Level, 10);
    for (size_t i = 0; i < order->size(); ++i) ASSERT_EQ(tree.Find((*order)[i]), static_cast<int>(i));
    EXPECT_EQ(tree.Find("key"), -1);
    EXPECT_EQ(tree.Bottom()->Left, tree.Bottom());
  }
}

TEST(TVXJSONcustomlist, TypedGettersByPosition) {
  TVXSONList list;
  list.AddChild(std::make_unique<TVXJSONnumber>(2.5));
  list.AddChild(std::make_unique<TVXJSONstring>("Gr\xf6\xdf" "e"));
  list.AddChild(std::make_unique<TVXJSONboolean>(true));
  list.AddChild(std::make_unique<TVXJSONnumber>(3.5));
  EXPECT_EQ(list.GetInteger(0), 2);  // halves round to even
  EXPECT_EQ(list.GetInteger(3), 4);
  EXPECT_EQ(list.GetFloat(0), 2.5);
  EXPECT_EQ(list.GetString(1), "Gr\xf6\xdf" "e");
  EXPECT_EQ(list.GetWideString(1), u"Gr\u00f6\u00dfe");
  EXPECT_TRUE(list.GetBoolean(2));
  EXPECT_EQ(list.GetInteger(4), 0);
  EXPECT_EQ(list.GetString(-1), "");
  EXPECT_FALSE(list.GetBoolean(9));
  try {
    list.GetString(0);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid class typecast");
  }
  EXPECT_THROW(list.GetBoolean(1), Exception);
  list.AddChild(std::make_unique<TVXJSONnumber>(1e300));
  EXPECT_THROW(list.GetInteger(4), Exception);
}

TEST(TVXJSON, TypedGettersReadThePairsValues) {
  TVXJSON object;
  object.SetFloatField("n", 7);
  object.SetStringField("s", "x");
  EXPECT_EQ(object.GetInteger(0), 7);
  EXPECT_EQ(object.GetString(1), "x");
  EXPECT_THROW(object.GetInteger(1), Exception);
  EXPECT_EQ(object.GetNameOf(1).first, "s");
  EXPECT_EQ(object.GetNameOf(1).second, object.FieldByName("s"));
  EXPECT_EQ(object.GetNameOf(2).second, nullptr);
}

TEST(TVXJSONcustomlist, GetFieldByKey) {
  TVXSONList list;
  list.AddChild(std::make_unique<TVXJSONnull>());
  list.AddChild(std::make_unique<TVXJSONnumber>());
  EXPECT_EQ(list.GetField(1.0), list.GetChild(1));
  EXPECT_EQ(list.GetField(2.0), nullptr);
  EXPECT_EQ(list.GetField(-1.0), nullptr);
  EXPECT_EQ(list.GetField(0.5), &list);
  EXPECT_EQ(list.GetField(std::string("0")), &list);
  EXPECT_EQ(list.GetNameOf(1).first, "1");
  EXPECT_EQ(list.IndexOfChild(list.GetChild(1)), 1);
  EXPECT_EQ(list.IndexOfChild(nullptr), -1);

  TVXJSON object;
  object.SetStringField("k", "v");
  EXPECT_EQ(object.GetField(std::string("k")), object.FieldByName("k"));
  EXPECT_EQ(object.GetField(std::string("missing")), nullptr);
  EXPECT_EQ(object.GetField(0.0), object.GetChild(0));
}

// Outside an object a field setter reaches the node that GetField gives:
// a value node itself, a list nothing.
TEST(TVXCustomJSON, FieldSettersOnValueNodesConvert) {
  TVXJSONnumber number;
  number.SetStringField("ignored", " 2.5 ");
  EXPECT_EQ(number.NumberValue, 2.5);
  number.SetBooleanField("", true);
  EXPECT_EQ(number.NumberValue, 1);
  number.SetCurrencyField("", 25000);
  EXPECT_EQ(number.NumberValue, 2.5);
  try {
    number.SetStringField("", "2,5");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Double)");
  }
  EXPECT_EQ(number.NumberValue, 2.5);

  TVXJSONboolean boolean;
  boolean.SetStringField("", "TRUE");
  EXPECT_TRUE(boolean.BooleanValue);
  boolean.SetStringField("", "0");
  EXPECT_FALSE(boolean.BooleanValue);
  EXPECT_THROW(boolean.SetStringField("", "ja"), Exception);

  TVXJSONstring string;
  string.SetFloatField("", 0.1);
  EXPECT_EQ(string.StringValue, "0.1");
  string.SetValue(TVXVariant());
  EXPECT_EQ(string.StringValue, "");
  string.SetBooleanField("", false);
  EXPECT_EQ(string.StringValue, "false");

  TVXSONList list;
  list.SetStringField("a", "b");
  EXPECT_EQ(Text(list), "[]");
}

}  // namespace
}  // namespace vx
