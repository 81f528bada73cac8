// The formatted layout of order files, byte for byte.
#include "json/json_formatter.h"

#include <gtest/gtest.h>

#include "json/fast_json.h"
#include "json_test_util.h"
#include "support/streams.h"

namespace vx {
namespace {

const char kExample[] =
    "{\"Order\":[{\"PrintName\":\"Auftrag\",\"Adress\":[{\"Name\":\"Muster\"}],\"Parts\":[{\"Position\":\"1\","
    "\"Quantity\":2},{\"Position\":\"2\",\"Quantity\":1.5}],\"Tags\":[1,2]}]}";

// The lines of the worked example: leading blanks and text; joined by CR LF.
std::string ExampleLayout() {
  const std::pair<int, const char*> lines[] = {
      {2, "{"},          {2, "\"Order\":["},  {3, "{"},
      {3, "\"PrintName\":\"Auftrag\","},      {3, "\"Adress\":["},
      {4, "{"},          {4, "\"Name\":\"Muster\""},
      {4, "}"},          {4, "]"},            {0, ","},
      {3, "\"Parts\":["}, {4, "{"},           {4, "\"Position\":\"1\","},
      {4, "\"Quantity\":2"},                  {4, "},"},
      {4, "{"},          {4, "\"Position\":\"2\","},
      {4, "\"Quantity\":1.5"},                {4, "}"},
      {4, "]"},          {0, ","},            {3, "\"Tags\":[1,2"},
      {4, "]"},          {0, ""},             {3, "}"},
      {3, "]"},          {0, ""},             {2, "}"},
  };
  std::string text;
  for (const auto& [blanks, line] : lines) {
    if (!text.empty()) text += "\r\n";
    text += std::string(static_cast<size_t>(blanks), ' ') + line;
  }
  return text;
}

std::string WriteFormatted(const TJsonBase& node, int level = 2) {
  TJSONFormatter formatter("\r\n", level);
  TMemoryStream stream;
  node.WriteTo(stream, &formatter);
  EXPECT_EQ(formatter.Level, level);
  return stream.Data();
}

TEST(TJSONFormatter, IndentTable) {
  const char* const expected[] = {"", " ", "  ", "   ", "    ", "      ", "       ", "", ""};
  for (int level = 0; level < 9; ++level) EXPECT_STREQ(TJSONFormatter::IndentText(level), expected[level]) << level;
}

TEST(TJSONFormatter, Actions) {
  TJSONFormatter formatter("|", 1);
  EXPECT_EQ(TJSONFormatter::FormatText(fmIndentIn, &formatter), "");
  EXPECT_EQ(formatter.Level, 2);
  EXPECT_EQ(TJSONFormatter::FormatText(fmIndent, &formatter), "  ");
  EXPECT_EQ(TJSONFormatter::FormatText(fmLineBreak, &formatter), "|");
  EXPECT_EQ(TJSONFormatter::FormatText(fmLineBreakIndent, &formatter), "|  ");
  EXPECT_EQ(TJSONFormatter::FormatText(fmLineBreakOut, &formatter), "|");
  EXPECT_EQ(formatter.Level, 1);
  TJSONFormatter::FormatText(fmLineBreakOut, &formatter);
  TJSONFormatter::FormatText(fmLineBreakOut, &formatter);
  EXPECT_EQ(formatter.Level, 0);
  EXPECT_EQ(TJSONFormatter::FormatText(fmLineBreakIndent, &formatter), "|");

  std::string text = "x";
  TJSONFormatter::AppendFormat(text, fmLineBreak, nullptr);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(TJSONFormatter::FormatText(fmIndent, nullptr), "");

  // Without a stream only the level changes.
  TJSONFormatter::WriteFormat(nullptr, fmIndentIn, &formatter);
  EXPECT_EQ(formatter.Level, 1);
  TMemoryStream stream;
  TJSONFormatter::WriteFormat(&stream, fmLineBreakIndent, &formatter);
  TJSONFormatter::WriteFormat(&stream, fmLineBreakIndent, nullptr);
  EXPECT_EQ(stream.Data(), "| ");
}

TEST(TJSONFormatter, WorkedExampleByteForByte) {
  TFastJSON json;
  json.Parse(kExample);
  EXPECT_EQ(WriteFormatted(json), ExampleLayout());
}

TEST(TJSONFormatter, SavedFileReadsBackToTheSameTree) {
  TFastJSON json;
  json.Parse(kExample);
  TFastJSON back;
  back.Parse(WriteFormatted(json));
  EXPECT_EQ(back.Stringify(), kExample);
}

TEST(TJSONFormatter, EmptyRoots) {
  TFastJSON json;
  json.Parse("{}");
  EXPECT_EQ(WriteFormatted(json), "  {\r\n  }");
  json.Parse("[]");
  EXPECT_EQ(WriteFormatted(json), "[\r\n   ]\r\n");
  json.Parse("[1,\"a\"]");
  EXPECT_EQ(WriteFormatted(json), "[1,\"a\"\r\n   ]\r\n");
  TFastJSON empty;
  EXPECT_EQ(WriteFormatted(empty), "");
}

TEST(TJSONFormatter, ObjectNotAtTheStreamStartBeginsALine) {
  TFastJSON json;
  json.Parse("{\"a\":1}");
  TJSONFormatter formatter("\n", 0);
  TMemoryStream stream;
  stream.WriteText("x");
  json.WriteTo(stream, &formatter);
  EXPECT_EQ(stream.Data(), "x\n{\n\"a\":1\n}");
}

TEST(TJSONFormatter, DeepLevelsAreNotIndented) {
  TFastJSON json;
  json.Parse("[[[[[[[{\"a\":1}]]]]]]]");
  // Seven arrays: the object stands at level 7, which has no indentation;
  // levels 6 and 5 have 7 and 6 blanks.
  EXPECT_EQ(WriteFormatted(json, 0),
            "[[[[[[["
            "\r\n{\r\n\"a\":1\r\n}"
            "\r\n]\r\n"
            "\r\n       ]\r\n"
            "\r\n      ]\r\n"
            "\r\n    ]\r\n"
            "\r\n   ]\r\n"
            "\r\n  ]\r\n"
            "\r\n ]\r\n");
}

TEST(TJSONFormatter, TextLayoutBreaksBeforeArrayElements) {
  TFastJSON json;
  json.Parse("{\"a\":[1,{\"b\":2}]}");
  TJSONFormatter formatter("\n", 1);
  EXPECT_EQ(json.Stringify(&formatter),
            " {\n"
            " \"a\":[\n"
            "1,\n"
            "  {\n"
            "  \"b\":2\n"
            "  }\n"
            "  ]\n"
            "\n"
            " }");
  EXPECT_EQ(formatter.Level, 1);
}

TEST(TJSONFormatter, NoFormatterGivesCompactBytes) {
  TFastJSON json;
  json.Parse(kExample);
  TMemoryStream stream;
  json.WriteTo(stream);
  EXPECT_EQ(stream.Data(), kExample);
  EXPECT_EQ(json.Stringify(), kExample);
  EXPECT_EQ(json.Stringify(nullptr), kExample);
}

TEST(TJSONFormatter, LargeDocumentsThroughTheStreamBuffer) {
  // More than one block of the writer's buffer, with an object start
  // falling after the first flush.
  TFastJSON json;
  TJsonArray& parts = json.Values("Parts").AsArray();
  for (int i = 0; i < 5000; ++i) {
    TJsonObject& part = parts.Add().AsObject();
    part.Values("Position").SetAsString(std::to_string(i));
    part.Values("Text").SetAsString(std::string(40, 'x'));
  }
  TJSONFormatter formatter("\r\n", 2);
  const std::string text = json.Stringify();
  TMemoryStream stream;
  json.WriteTo(stream);
  EXPECT_EQ(stream.Data(), text);
  TMemoryStream formatted;
  json.WriteTo(formatted, &formatter);
  TFastJSON back;
  back.Parse(formatted.Data());
  EXPECT_EQ(back.Stringify(), text);
}

}  // namespace
}  // namespace vx
