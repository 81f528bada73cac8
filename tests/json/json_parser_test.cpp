// The parser's rules: what it takes, what it refuses and with which text,
// and that the single pass and the splitting parser agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "json/fast_json.h"
#include "allocation_peak.h"
#include "json_test_util.h"

namespace vx {
namespace {

using testing::ErrorText;
using testing::ParseResult;

struct TParseCase {
  const char* Input;
  const char* Result;  // the compact text, or "error " and the error text
};

const TParseCase kParseCases[] = {
    // Empty containers, blanks at piece boundaries.
    {"{}", "{}"},
    {"[]", "[]"},
    {"{ }", "{}"},
    {"[ ]", "[]"},
    {" \t\r\n{ \"a\" : [ 1 , true , null ] }\r\n", "{\"a\":[1,true,null]}"},
    {"\x01[1]\x1f", "[1]"},
    // Trailing separators are tolerated, empty pieces are not.
    {"[1,2,]", "[1,2]"},
    {"[1,2, \r\n]", "[1,2]"},
    {"{\"a\":1,}", "{\"a\":1}"},
    {"[,1]", "error <TJsonValue>\"\" parse error:  .."},
    {"[1,,2]", "error <TJsonValue>\"\" parse error:  .."},
    {"[,]", "error <TJsonValue>\"\" parse error:  .."},
    {"{,}", "error <TJsonPair>\"\" parse error:  .."},
    {"{\"a\":1,,}", "error <TJsonPair>\"\" parse error:  .."},
    // A trailing colon in a pair is a trailing separator too.
    {"{\"a\":1:}", "{\"a\":1}"},
    {"{\"a\":1:2}", "error <TJsonPair>\"\" parse error: \"a\":1:2 .."},
    {"{\"a\"::1}", "error <TJsonPair>\"\" parse error: \"a\"::1 .."},
    {"{\"a\":}", "error <TJsonPair>\"\" parse error: \"a\": .."},
    // Literals in any letter case.
    {"[TRUE,False,NULL,tRuE]", "[true,false,null,true]"},
    {"[truex]", "error <TJsonValue>\"\" parse error: truex .."},
    {"[true false]", "error <TJsonValue>\"\" parse error: true false .."},
    // The document takes only a bracketed text.
    {"", "error <TFastJSON>\"\" parse error:  .."},
    {"   ", "error <TFastJSON>\"\" parse error:  .."},
    {"null", "error <TFastJSON>\"\" parse error: null .."},
    {"123", "error <TFastJSON>\"\" parse error: 123 .."},
    {" \"abc\" ", "error <TFastJSON>\"\" parse error: \"abc\" .."},
    {"[1,2", "error <TFastJSON>\"\" parse error: [1,2 .."},
    {"[1}", "error <TFastJSON>\"\" parse error: [1} .."},
    {"[", "error <TFastJSON>\"\" parse error: [ .."},
    // Separators and brackets inside strings do not split.
    {"{\"a\":\"x,y:z]\"}", "{\"a\":\"x,y:z]\"}"},
    {"{\"a,b:c\":[\"}\",\"{\"]}", "{\"a,b:c\":[\"}\",\"{\"]}"},
    // Only the first and the last byte decide a value's type.
    {"[\"a\"b\"]", "[\"a\\\"b\"]"},
    {"{\"a\":\"ab\\\"}", "{\"a\":\"ab\"}"},
    {"[\"abc]", "error <TJsonValue>\"\" parse error: \"abc .."},
    {"[{\"a\":1]}]", "error <TJsonValue>\"a\" parse error: 1] .."},
    {"[{\"a\":1}}]", "error <TJsonValue>\"a\" parse error: 1} .."},
    {"{\"a\":1}}", "error <TJsonValue>\"a\" parse error: 1} .."},
    // Error texts name the raising class and the enclosing pair.
    {"{\"a\":tru}", "error <TJsonValue>\"a\" parse error: tru .."},
    {"{\"a\" 1}", "error <TJsonPair>\"\" parse error: \"a\" 1 .."},
    {"{a:1}", "error <TJsonPair>\"\" parse error: a .."},
    {"{\"a\":{\"b\":x}}", "error <TJsonValue>\"b\" parse error: x .."},
    {"{\"a\":[1,x]}", "error <TJsonValue>\"a\" parse error: x .."},
    {"{\"a\":{\"b\" 1}}", "error <TJsonPair>\"a\" parse error: \"b\" 1 .."},
    {"{\"a\":[{\"b\":[[y]]}]}", "error <TJsonValue>\"b\" parse error: y .."},
    {"{\"a\":\"\\u12G4\"}", "error InvalidHexNumber"},
    {"{\"\\u12G4\":1}", "error InvalidHexNumber"},
    // Duplicate names are kept, names keep their blanks.
    {"{\"A\":1,\"a\":2}", "{\"A\":1,\"a\":2}"},
    {"{\" a \":1}", "{\" a \":1}"},
    // Numbers.
    {"[-0, 0.5e1, 1E20, 0.00001, 1.5e-7, 123456789012345678]", "[0,5,1E20,0.00001,1.5E-7,1.23456789012346E17]"},
    {"[.5,5.,+1,007,-2.50]", "[0.5,5,1,7,-2.5]"},
    {"[1e-999]", "[0]"},
    {"[1e999]", "error <TJsonValue>\"\" parse error: 1e999 .."},
    {"[0x10]", "error <TJsonValue>\"\" parse error: 0x10 .."},
    {"[1e]", "error <TJsonValue>\"\" parse error: 1e .."},
    {"[-]", "error <TJsonValue>\"\" parse error: - .."},
    {"[.]", "error <TJsonValue>\"\" parse error: . .."},
    {"[1,5 6]", "error <TJsonValue>\"\" parse error: 5 6 .."},
    {"[Infinity]", "error <TJsonValue>\"\" parse error: Infinity .."},
    // The largest double is written with 15 digits, just above its value;
    // what is written loads again, nothing beyond.
    {"[1.79769313486232E308,-1.7976931348623157e308]", "[1.79769313486232E308,-1.79769313486232E308]"},
    {"[1.797693134862320000e308,179769313486232E294]", "[1.79769313486232E308,1.79769313486232E308]"},
    {"[1.79769313486232000001E308]", "error <TJsonValue>\"\" parse error: 1.79769313486232000001E308 .."},
    {"[1.79769313486233E308]", "error <TJsonValue>\"\" parse error: 1.79769313486233E308 .."},
    // Numbers of any length.
    {"[1111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111"
     "1111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111]",
     "[1.11111111111111E199]"},
    {"[0.00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
     "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000001]",
     "[1E-198]"},
    {"{\"p\":123.45678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678"
     "901234567890123456789012345678901234567890}",
     "{\"p\":123.456789012346}"},
    // Texts are written as the writer writes their bytes, whatever form
    // they were read in.
    {"[\"a/b\",\"\xe4\",\"\x01\",\"\\u00E4\",\"\\u0041\",\"\\q\",\"\\u20AC\",\"\\u0008\"]",
     "[\"a\\/b\",\"\\u00e4\",\"\\u0001\",\"\\u00e4\",\"A\",\"q\",\"\\u20ac\",\"\\b\"]"},
    {"{\"\\u0041/\":1,\"\\/\\u00e4\":2}", "{\"A\\/\":1,\"\\/\\u00e4\":2}"},
};

TEST(JsonParser, Table) {
  for (const TParseCase& c : kParseCases) {
    EXPECT_EQ(ParseResult(c.Input), c.Result) << "input: " << c.Input;
  }
}

TEST(JsonParser, NulEndsTheText) {
  EXPECT_EQ(ParseResult(std::string("[1]\0garbage", 11)), "[1]");
  EXPECT_EQ(ParseResult(std::string("[1,\0 2]", 7)), "error <TFastJSON>\"\" parse error: [1, ..");
  // The NUL is looked for in blocks of 32 bytes: in the first, a later and
  // the last, shorter one, it cuts the text exactly there.
  for (size_t blanks = 0; blanks < 80; ++blanks) {
    const std::string text = "[1" + std::string(blanks, ' ') + std::string("]\0,2]", 5) + std::string(40, ' ');
    EXPECT_EQ(ParseResult(text), "[1]") << blanks;
  }
}

TEST(JsonParser, ErrorQuotesAtMost100Bytes) {
  const std::string text(150, 'x');
  EXPECT_EQ(ParseResult("[" + text + "]"), "error <TJsonValue>\"\" parse error: " + text.substr(0, 100) + " ..");
  EXPECT_EQ(ParseResult(text), "error <TFastJSON>\"\" parse error: " + text.substr(0, 100) + " ..");
}

TEST(JsonParser, FailedParseKeepsTheNodesBuiltBefore) {
  TFastJSON json;
  EXPECT_THROW(json.Parse("{\"a\":1,\"b\":[2,x,3],\"c\":2}"), EJsonError);
  ASSERT_EQ(json.StructType(), jsObject);
  // "b" holds its array with 2 and the failed (empty) element; "c" was never reached.
  EXPECT_EQ(json.Stringify(), "{\"a\":1,\"b\":[2,null]}");
  EXPECT_EQ(json.Values("b").AsArray().Items(1).ValueType(), jvNone);

  // A new parse starts from an empty document.
  json.Parse("[7]");
  EXPECT_EQ(json.Stringify(), "[7]");
}

TEST(JsonParser, AFailedSinglePassFreesWhatItBuiltBeforeTheSplittingRules) {
  // The single pass meets the error of this list at its very end, when it
  // holds every element; the splitting rules then build them all again.
  std::string list = "[";
  for (int i = 0; i < 100000; ++i) list += "1,";
  auto peakOf = [](const std::string& text, bool splittingOnly) {
    testing::ResetAllocationPeak();
    {
      TFastJSON json;
      try {
        if (splittingOnly) {
          ParseJsonDocumentSplitting(json, text);
        } else {
          json.Parse(text);
        }
      } catch (const EJsonError&) {
        // The tree up to the error is what the splitting rules keep.
      }
    }
    return testing::AllocationPeak();
  };
  const size_t singlePass = peakOf(list + "1]", false);
  const size_t splitting = peakOf(list + "x]", true);
  const size_t both = peakOf(list + "x]", false);
  // Both trees at once would take about the sum.
  EXPECT_LT(both, std::max(singlePass, splitting) * 13 / 10) << singlePass << " " << splitting;
}

TEST(JsonParser, StringThatFailsToDecodeStaysEmpty) {
  TFastJSON json;
  EXPECT_THROW(json.Parse("[\"ok\",\"\\uXXXX\"]"), EJsonError);
  EXPECT_EQ(json.JsonArray()->Count(), 2);
  EXPECT_EQ(json.JsonArray()->Items(1).ValueType(), jvString);
  EXPECT_EQ(json.JsonArray()->Items(1).StringValue(), "");
}

TEST(JsonParser, NodesParseTheirOwnText) {
  TJsonObject object;
  EXPECT_EQ(ErrorText([&] { object.Parse("x"); }), "<TJsonObject>\"\" parse error: x ..");
  object.Parse(" {\"a\" : 1} ");
  EXPECT_EQ(object.Stringify(), "{\"a\":1}");

  TJsonArray array;
  EXPECT_EQ(ErrorText([&] { array.Parse("{}"); }), "<TJsonArray>\"\" parse error: {} ..");
  array.Parse("[1,[2]]");
  EXPECT_EQ(array.Stringify(), "[1,[2]]");

  TJsonPair pair;
  pair.Parse("\"n\\u00e4me\" : [true]");
  EXPECT_EQ(pair.Name(), "n\xe4me");
  EXPECT_EQ(pair.Stringify(), "\"n\\u00e4me\":[true]");
  EXPECT_EQ(ErrorText([&] { pair.Parse("\"a\""); }), "<TJsonPair>\"\" parse error: \"a\" ..");
  EXPECT_EQ(pair.Name(), "");

  TJsonValue value;
  value.Parse("\"x\"");
  EXPECT_EQ(value.StringValue(), "x");
  value.Parse("12.5");
  EXPECT_EQ(value.NumberValue(), 12.5);
  value.Parse("{\"b\":null}");
  EXPECT_EQ(value.Stringify(), "{\"b\":null}");
  EXPECT_EQ(ErrorText([&] { value.Parse("nope"); }), "<TJsonValue>\"\" parse error: nope ..");
}

TEST(JsonParser, ValueTextIsNotTrimmed) {
  // Blanks around a value are removed by the node above it; a value's own
  // text is taken as it is.
  TJsonValue value;
  EXPECT_EQ(ErrorText([&] { value.Parse(" [1]"); }), "<TJsonValue>\"\" parse error:  [1] ..");
  EXPECT_EQ(ErrorText([&] { value.Parse("\"a\" "); }), "<TJsonValue>\"\" parse error: \"a\"  ..");
}

TEST(JsonParser, NestingUpToTheLimit) {
  const int depth = kJsonMaxDepth;
  const std::string text = std::string(depth, '[') + "1" + std::string(depth, ']');
  TFastJSON json;
  json.Parse(text);
  EXPECT_EQ(json.Stringify(), text);
  TFastJSON copy;
  copy.Assign(&json);
  EXPECT_EQ(copy.Stringify(), text);

  const std::string objects = [] {
    std::string s;
    for (int i = 0; i < kJsonMaxDepth; ++i) s += "{\"k\":";
    s += "1";
    s += std::string(kJsonMaxDepth, '}');
    return s;
  }();
  json.Parse(objects);
  EXPECT_EQ(json.Stringify(), objects);
}

TEST(JsonParser, NestingBeyondTheLimitIsAParseError) {
  const int depth = kJsonMaxDepth + 1;
  const std::string text = std::string(depth, '[') + std::string(depth, ']');
  // Level 1001 is the innermost "[]", held by a value of level 1000.
  EXPECT_EQ(ParseResult(text), "error <TJsonValue>\"\" parse error: [] ..");
  TFastJSON json;
  EXPECT_THROW(json.Parse(text), EJsonError);
  EXPECT_EQ(json.Stringify(), std::string(kJsonMaxDepth, '[') + "null" + std::string(kJsonMaxDepth, ']'));

  std::string named;
  for (int i = 0; i < depth; ++i) named += "{\"k\":";
  named += "1" + std::string(depth, '}');
  EXPECT_EQ(ParseResult(named), "error <TJsonValue>\"k\" parse error: {\"k\":1} ..");
}

TEST(JsonParser, HugeNestingDoesNotOverflowTheStack) {
  const std::string open(100000, '[');
  EXPECT_EQ(ParseResult(open + std::string(100000, ']')),
            "error <TJsonValue>\"\" parse error: " + std::string(100, '[') + " ..");
  EXPECT_EQ(ParseResult(open), "error <TFastJSON>\"\" parse error: " + std::string(100, '[') + " ..");
  EXPECT_EQ(ParseResult("[" + open + "]"), "error <TJsonValue>\"\" parse error: " + std::string(100, '[') + " ..");
  EXPECT_EQ(ParseResult("[\"" + open + "\"]"), "[\"" + open + "\"]");
}

TEST(JsonParser, MegabyteStringsParse) {
  std::string base64;
  for (int i = 0; i < 1 << 20; ++i) base64 += "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[i % 64];
  std::string escaped;
  for (char c : base64) {
    if (c == '/') escaped += '\\';
    escaped += c;
  }
  TFastJSON json;
  json.Parse("{\"Order\":[{\"Parts\":[{\"L2\":\"base64:" + escaped + "\"}]}]}");
  EXPECT_EQ(json.Values("Order").AsArray().Items(0).AsObject().Values("Parts").AsArray().Items(0).AsObject()
                .Values("L2").StringValue(),
            "base64:" + base64);
}

// The tape keeps whole numbers of up to 9 digits as integers: each value
// must come back as the splitting parser reads it, -0 with its sign.
TEST(JsonParser, NumbersKeepTheirValuesOnTheTape) {
  const char* const text =
      "[-0,0,-000,7,007,2147483647,-2147483648,999999999,-999999999,1000000000,9999999999,5.,-0.0,1e2]";
  TFastJSON fast;
  TFastJSON split;
  fast.Parse(text);
  ParseJsonDocumentSplitting(split, text);
  ASSERT_EQ(fast.JsonArray()->Count(), split.JsonArray()->Count());
  for (int i = 0; i < split.JsonArray()->Count(); ++i) {
    const double expected = split.JsonArray()->Items(i).NumberValue();
    const double value = fast.JsonArray()->Items(i).NumberValue();
    EXPECT_EQ(value, expected) << i;
    EXPECT_EQ(std::signbit(value), std::signbit(expected)) << i;
  }
  EXPECT_TRUE(std::signbit(fast.JsonArray()->Items(0).NumberValue()));
}

// The single pass must give up wherever it would differ from the splitting
// parser; here both run on texts near the edges of the rules.
TEST(JsonParser, SinglePassAgreesWithSplitting) {
  const char* const texts[] = {
      "[1,2,]", "{\"a\":1:}", "[\"a\"b\"]", "{\"a\":\"ab\\\"}", "[{\"a\":1]}]", "[1 2]", "[[1]x]",
      "{\"a\":[1,{\"b\":\"}\"}]}", "{\"a\"   :   \"b\"  ,  }", "[\"\\u00\"]", "[\"\\\"]", "[\"x\\\"\",1]",
      "{\"a\":1,\"a\":2}", "[nulL,FALSE]", "[1.,.1,+.1e-3]", "{\"a\":{},\"b\":[]}", "[{}{}]", "[[],[]]",
      "[\"a\":1]", "{\"a\":1,\"b\"}", "{\"a\"}", "{1:2}", "[{\"a\":{\"b\":[1,2,]},}]", "[\"\\u20ac\\u00FC\"]",
  };
  for (const char* text : texts) {
    TFastJSON fast;
    TFastJSON split;
    const std::string fastError = ErrorText([&] { fast.Parse(text); });
    const std::string splitError = ErrorText([&] { ParseJsonDocumentSplitting(split, text); });
    EXPECT_EQ(fastError, splitError) << text;
    EXPECT_EQ(fast.Stringify(), split.Stringify()) << text;
  }
}

}  // namespace
}  // namespace vx
