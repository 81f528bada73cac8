// The JSON model's nodes: lookups, conversions, errors and deep copies.
#include "json/fast_json.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "json_test_util.h"

namespace vx {
namespace {

using testing::ErrorText;

TEST(TJsonObject, LookupsIgnoreLetterCaseAndFindTheFirst) {
  TFastJSON json;
  json.Parse("{\"A\":1,\"a\":2,\"Order\":\"x\"}");
  TJsonObject& root = *json.JsonObject();
  EXPECT_EQ(root.Find("a"), 0);
  EXPECT_EQ(root.Find("ORDER"), 2);
  EXPECT_EQ(root.Find("Orde"), -1);
  EXPECT_EQ(root.Values("a").NumberValue(), 1);
  EXPECT_EQ(root.Values("ORDER").AsString(), "x");
  EXPECT_EQ(root.Count(), 3);
}

TEST(TJsonObject, FindIgnoresOnlyAsciiCase) {
  TJsonObject object;
  object.Add("\xe4");
  EXPECT_EQ(object.Find("\xe4"), 0);
  EXPECT_EQ(object.Find("\xc4"), -1);
}

TEST(TJsonObject, ValuesAddsAMissingPair) {
  TFastJSON json;
  json.Parse("{\"a\":1,\"b\":2,\"c\":3}");
  TJsonValue& added = json.Values("missing");
  EXPECT_TRUE(added.IsEmpty());
  EXPECT_EQ(json.JsonObject()->Count(), 4);
  EXPECT_EQ(added.AsString(), "");
  EXPECT_EQ(added.AsArray().Count(), 0);
  EXPECT_EQ(added.ValueType(), jvArray);
  EXPECT_EQ(json.Stringify(), "{\"a\":1,\"b\":2,\"c\":3,\"missing\":[]}");
}

TEST(TJsonObject, AddDoesNotLookAndDeleteRemoves) {
  TJsonObject object;
  object.Add("x").Value().SetAsString("1");
  object.Add("x").Value().SetAsString("2");
  EXPECT_EQ(object.Count(), 2);
  object.Delete("X");
  EXPECT_EQ(object.Stringify(), "{\"x\":\"2\"}");
  EXPECT_EQ(ErrorText([&] { object.Delete("y"); }), "<TJsonObject>\"y\" not found");
  object.Delete(0);
  EXPECT_EQ(object.Count(), 0);
}

TEST(TJsonObject, IndexErrors) {
  TJsonObject object;
  EXPECT_THROW(object.Items(0), EStringListError);
  EXPECT_EQ(ErrorText([&] { object.Items(0); }), "Der Index der Liste \xfc" "berschreitet das Maximum (0)");
  EXPECT_EQ(ErrorText([&] { object.Delete(-1); }), "Der Index der Liste \xfc" "berschreitet das Maximum (-1)");
  TJsonArray array;
  array.Add();
  EXPECT_EQ(ErrorText([&] { array.Items(1); }), "Der Index der Liste \xfc" "berschreitet das Maximum (1)");
}

TEST(TJsonObject, ItemsStayWhereTheyAreAndKnowTheirOwners) {
  TFastJSON json;
  json.Parse("{\"x\":1,\"a\":{\"b\":[1]},\"c\":[2]}");
  TJsonObject& root = *json.JsonObject();
  TJsonValue& b = root.Values("a").AsObject().Values("b");
  TJsonValue& one = b.AsArray().Items(0);
  // Appending moves nothing.
  for (int i = 0; i < 100; ++i) root.Add("n" + std::to_string(i)).Value().SetAsBoolean(true);
  for (int i = 0; i < 100; ++i) b.AsArray().Add();
  EXPECT_EQ(&b, &root.Values("a").AsObject().Values("b"));
  EXPECT_EQ(&one, &b.AsArray().Items(0));
  EXPECT_EQ(one.EnclosingPairName(), "b");

  // Deleting moves the later pairs, across the parsed and the added ones;
  // what they hold still finds them.
  root.Delete("x");
  ASSERT_EQ(root.Count(), 102);
  EXPECT_EQ(root.Items(0).Name(), "a");
  EXPECT_EQ(root.Items(2).Name(), "n0");
  EXPECT_EQ(root.Items(101).Name(), "n99");
  EXPECT_EQ(root.Items(101).Owner(), &root);
  EXPECT_EQ(root.Values("a").AsObject().Owner(), &root.Values("a"));
  EXPECT_EQ(root.Values("a").Owner(), &root.Items(0));
  EXPECT_EQ(ErrorText([&] { root.Values("c").AsArray().Items(0).AsObject(); }),
            "<TJsonValue>\"c\" value type error: jvNumber to jvObject");
  root.Delete(1);
  EXPECT_EQ(root.Items(100).Name(), "n99");
  EXPECT_EQ(root.Items(100).Owner(), &root);
  EXPECT_EQ(json.Stringify().rfind("{\"a\":{\"b\":[1,null,null,", 0), 0u);
}

TEST(TJsonObject, PairsBeyondOneSegment) {
  // The pairs of a parsed object lie in segments of at most 65535.
  std::string text = "{";
  for (int i = 0; i < 70000; ++i) text += std::string(i ? ",\"k" : "\"k") + std::to_string(i) + "\":[" + std::to_string(i) + "]";
  text += "}";
  TFastJSON json;
  json.Parse(text);
  TJsonObject& root = *json.JsonObject();
  ASSERT_EQ(root.Count(), 70000);
  EXPECT_EQ(root.Find("k69999"), 69999);
  EXPECT_EQ(root.Items(69999).Owner(), &root);
  EXPECT_EQ(root.Values("k69999").AsArray().Items(0).EnclosingPairName(), "k69999");
  root.Delete(0);
  EXPECT_EQ(root.Items(65534).Name(), "k65535");
  EXPECT_EQ(root.Items(65534).Owner(), &root);
  EXPECT_EQ(root.Values("k65535").AsArray().Items(0).EnclosingPairName(), "k65535");
  EXPECT_EQ(json.Stringify(), "{" + text.substr(text.find(",\"k1\"") + 1));
}

TEST(TJsonValue, ReadsByType) {
  TFastJSON json;
  json.Parse("{\"n\":null,\"s\":\"TRUE\",\"f\":2.5,\"z\":0,\"b\":true,\"o\":{},\"a\":[]}");
  EXPECT_EQ(json.Values("n").AsString(), "");
  EXPECT_FALSE(json.Values("n").AsBoolean());
  EXPECT_TRUE(json.Values("s").AsBoolean());
  EXPECT_EQ(json.Values("f").AsString(), "2.5");
  EXPECT_TRUE(json.Values("f").AsBoolean());
  EXPECT_FALSE(json.Values("z").AsBoolean());
  EXPECT_EQ(json.Values("b").AsString(), "true");
  EXPECT_TRUE(json.Values("b").AsBoolean());
  EXPECT_FALSE(json.Values("missing").AsBoolean());
  EXPECT_EQ(ErrorText([&] { json.Values("o").AsString(); }), "<TJsonValue>\"o\" value type error: jvObject to jvString");
  EXPECT_EQ(ErrorText([&] { json.Values("a").AsBoolean(); }),
            "<TJsonValue>\"a\" value type error: jvArray to jvBoolean");
  EXPECT_EQ(ErrorText([&] { json.Values("s").AsArray(); }), "<TJsonValue>\"s\" value type error: jvString to jvArray");
  EXPECT_EQ(ErrorText([&] { json.Values("n").AsObject(); }), "<TJsonValue>\"n\" value type error: jvNull to jvObject");
  EXPECT_EQ(ErrorText([&] { json.Values("o").AsArray(); }), "<TJsonValue>\"o\" value type error: jvObject to jvArray");
  EXPECT_EQ(&json.Values("a").AsArray(), json.Values("a").ArrayValue());
}

TEST(TJsonValue, ErrorNamesTheNearestPairAbove) {
  TFastJSON json;
  json.Parse("{\"Order\":[\"x\",{\"Parts\":[[1]]}]}");
  TJsonArray& order = json.Values("Order").AsArray();
  EXPECT_EQ(ErrorText([&] { order.Items(0).AsObject(); }), "<TJsonValue>\"Order\" value type error: jvString to jvObject");
  TJsonValue& inner = order.Items(1).AsObject().Values("Parts").AsArray().Items(0).AsArray().Items(0);
  EXPECT_EQ(inner.EnclosingPairName(), "Parts");
  TJsonValue free;
  free.SetAsString("x");
  EXPECT_EQ(ErrorText([&] { free.AsArray(); }), "<TJsonValue>\"\" value type error: jvString to jvArray");
}

TEST(TJsonValue, SettersChangeTheType) {
  TJsonValue value;
  EXPECT_TRUE(value.IsEmpty());
  value.AsObject().Add("k");
  value.SetAsString("text");
  EXPECT_EQ(value.ValueType(), jvString);
  EXPECT_EQ(value.ObjectValue(), nullptr);
  value.SetAsBoolean(true);
  EXPECT_EQ(value.ValueType(), jvBoolean);
  EXPECT_EQ(value.StringValue(), "");
  EXPECT_EQ(value.Stringify(), "true");
  value.Clear();
  EXPECT_EQ(value.Stringify(), "null");
}

TEST(TFastJSON, RootRules) {
  TFastJSON json;
  EXPECT_EQ(json.StructType(), jsNone);
  EXPECT_EQ(json.Stringify(), "");
  EXPECT_EQ(ErrorText([&] { json.Delete("a"); }), "<TFastJSON>json struct type is not jsObject");
  EXPECT_EQ(json.StructType(), jsNone);
  json.Values("a").SetAsString("b");
  EXPECT_EQ(json.StructType(), jsObject);
  json.NewArray();  // the object stays
  EXPECT_EQ(json.Stringify(), "{\"a\":\"b\"}");
  json.Delete("A");
  EXPECT_EQ(json.Stringify(), "{}");

  json.Clear();
  json.NewArray();
  EXPECT_EQ(json.StructType(), jsArray);
  EXPECT_EQ(ErrorText([&] { json.Values("a"); }), "<TFastJSON>json struct type is not jsObject");
  EXPECT_EQ(ErrorText([&] { json.CheckJsonObject(); }), "<TFastJSON>json struct type is not jsObject");
}

TEST(Assign, CopiesDeeply) {
  TFastJSON source;
  source.Parse("{\"a\":[1,{\"b\":\"x\"}],\"c\":null,\"d\":false}");
  TFastJSON copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.Stringify(), source.Stringify());
  copy.Values("a").AsArray().Items(1).AsObject().Values("b").SetAsString("y");
  EXPECT_EQ(source.Values("a").AsArray().Items(1).AsObject().Values("b").AsString(), "x");
  // Owners point into the copy.
  EXPECT_EQ(copy.Values("a").AsArray().Items(0).Owner(), &copy.Values("a").AsArray());
  EXPECT_EQ(copy.JsonObject()->Owner(), &copy);
}

TEST(Assign, DocumentFromEachSource) {
  TFastJSON source;
  source.Parse("{\"arr\":[1],\"obj\":{\"k\":2},\"s\":\"t\"}");
  TFastJSON document;
  document.Assign(source.Values("arr").ArrayValue());
  EXPECT_EQ(document.Stringify(), "[1]");
  document.Assign(source.Values("obj").ObjectValue());
  EXPECT_EQ(document.Stringify(), "{\"k\":2}");
  document.Assign(&source.Values("arr"));
  EXPECT_EQ(document.StructType(), jsArray);
  document.Assign(&source.Values("obj"));
  EXPECT_EQ(document.StructType(), jsObject);
  TFastJSON empty;
  document.Assign(&empty);
  EXPECT_EQ(document.StructType(), jsNone);
  EXPECT_EQ(ErrorText([&] { document.Assign(&source.Values("s")); }), "<TFastJSON>assign error: TJsonValue to TFastJSON");
  EXPECT_EQ(ErrorText([&] { document.Assign(nullptr); }), "<TFastJSON>assign error: nil to TFastJSON");
  EXPECT_EQ(ErrorText([&] { document.Assign(&source.JsonObject()->Items(0)); }),
            "<TFastJSON>assign error: TJsonPair to TFastJSON");
}

TEST(Assign, NodesCheckTheSourceClass) {
  TFastJSON source;
  source.Parse("{\"arr\":[1,2],\"obj\":{\"k\":2}}");
  TJsonArray array;
  array.Add();
  EXPECT_EQ(ErrorText([&] { array.Assign(source.Values("obj").ObjectValue()); }),
            "<TJsonArray>assign error: TJsonObject to TJsonArray");
  EXPECT_EQ(array.Count(), 0);  // emptied before the check
  array.Assign(source.Values("arr").ArrayValue());
  EXPECT_EQ(array.Stringify(), "[1,2]");

  TJsonObject object;
  EXPECT_EQ(ErrorText([&] { object.Assign(&source); }), "<TJsonObject>assign error: TFastJSON to TJsonObject");
  object.Assign(source.Values("obj").ObjectValue());
  EXPECT_EQ(object.Stringify(), "{\"k\":2}");

  TJsonPair pair;
  pair.Assign(&source.JsonObject()->Items(1));
  EXPECT_EQ(pair.Stringify(), "\"obj\":{\"k\":2}");
  EXPECT_EQ(ErrorText([&] { pair.Assign(&object); }), "<TJsonPair>assign error: TJsonObject to TJsonPair");

  TJsonValue value;
  value.Assign(source.Values("arr").ArrayValue());
  EXPECT_EQ(value.Stringify(), "[1,2]");
  value.Assign(source.Values("obj").ObjectValue());
  EXPECT_EQ(value.ValueType(), jvObject);
  value.Assign(&source.Values("arr").AsArray().Items(1));
  EXPECT_EQ(value.NumberValue(), 2);
  EXPECT_EQ(ErrorText([&] { value.Assign(&pair); }), "<TJsonValue>assign error: TJsonPair to TJsonValue");
  EXPECT_EQ(ErrorText([&] { value.Assign(nullptr); }), "<TJsonValue>assign error: nil to TJsonValue");
}

TEST(Assign, FromItsOwnSubtree) {
  TFastJSON json;
  json.Parse("{\"a\":{\"b\":[1,2]}}");
  TJsonValue& a = json.Values("a");
  a.Assign(&a.AsObject().Values("b"));
  EXPECT_EQ(json.Stringify(), "{\"a\":[1,2]}");
  a.Assign(&a);
  EXPECT_EQ(json.Stringify(), "{\"a\":[1,2]}");
  json.Assign(json.Values("a").ArrayValue());
  EXPECT_EQ(json.Stringify(), "[1,2]");
}

TEST(Assign, FromAnAncestorGivesWhatASeparateCopyGives) {
  // Each row assigns a node from a node of its own document that holds it
  // (or from one that does not fit). The result, error and all, must be
  // what assigning the same node from an equal, separate document gives.
  struct TRow {
    const char* Text;
    std::function<TJsonBase&(TFastJSON&)> Target;
    std::function<const TJsonBase*(TFastJSON&)> Source;
    const char* Expected;
  };
  auto array = [](TFastJSON& json) -> TJsonArray& { return json.Values("a").AsArray(); };
  auto object = [](TFastJSON& json) -> TJsonObject& { return json.Values("o").AsObject(); };
  auto innerPair = [](TFastJSON& json) -> TJsonPair& { return json.JsonObject()->Items(0).Value().AsObject().Items(0); };
  const TRow rows[] = {
      {"{\"a\":[1]}", [&](TFastJSON& json) -> TJsonBase& { return array(json).Add(); },
       [&](TFastJSON& json) { return &array(json); }, "{\"a\":[1,[1,null]]}"},
      {"[1,{\"x\":2}]", [](TFastJSON& json) -> TJsonBase& { return json.JsonArray()->Items(1).AsObject().Values("x"); },
       [](TFastJSON& json) { return json.JsonArray(); }, "[1,{\"x\":[1,{\"x\":2}]}]"},
      {"{\"o\":{\"k\":1,\"m\":2}}", [&](TFastJSON& json) -> TJsonBase& { return object(json).Items(0).Value(); },
       [&](TFastJSON& json) { return &object(json); }, "{\"o\":{\"k\":{\"k\":1,\"m\":2},\"m\":2}}"},
      {"{\"p\":{\"q\":1}}", innerPair, [](TFastJSON& json) { return &json.JsonObject()->Items(0); },
       "{\"p\":{\"p\":{\"q\":1}}}"},
      {"{\"p\":{\"q\":1}}", innerPair, [](TFastJSON& json) { return json.Values("p").ObjectValue(); },
       "<TJsonPair>assign error: TJsonObject to TJsonPair"},
      {"{\"p\":{\"q\":1}}", [](TFastJSON& json) -> TJsonBase& { return json.Values("p"); },
       [](TFastJSON& json) { return &json; }, "<TJsonValue>assign error: TFastJSON to TJsonValue"},
  };
  for (const TRow& row : rows) {
    TFastJSON json;
    json.Parse(row.Text);
    TJsonBase& target = row.Target(json);
    std::string result = ErrorText([&] { target.Assign(row.Source(json)); });

    TFastJSON reference;
    reference.Parse(row.Text);
    TJsonBase& referenceTarget = row.Target(reference);
    TFastJSON separate;
    separate.Assign(&reference);
    std::string referenceResult = ErrorText([&] { referenceTarget.Assign(row.Source(separate)); });

    if (result == "(no error)") result = json.Stringify();
    if (referenceResult == "(no error)") referenceResult = reference.Stringify();
    EXPECT_EQ(result, row.Expected) << row.Text;
    EXPECT_EQ(json.Stringify(), reference.Stringify()) << row.Text;
    EXPECT_EQ(result, referenceResult) << row.Text;
  }
}

}  // namespace
}  // namespace vx
