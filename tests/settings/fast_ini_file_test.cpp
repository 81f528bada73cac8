#include "settings/fast_ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "settings/settings_test_util.h"
#include "support/errors.h"
#include "support/file_contents.h"
#include "support/os_file.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class FastIniFile : public TSettingsTest {
 protected:
  std::string Name() const { return Folder + "UserMode.INI"; }
  // Writes the lines with CR LF and returns the file's bytes.
  std::string Make(const std::string& text) {
    WriteFileBytes(Name(), text);
    return text;
  }
};

// A big section switches the file to per-section key tables.
std::string BigSection(const std::string& name, int keys) {
  std::string text = "[" + name + "]\r\n";
  for (int i = 0; i < keys; ++i) text += "k" + std::to_string(i) + "=" + name + std::to_string(i) + "\r\n";
  return text;
}

TEST_F(FastIniFile, ReadsValuesAsWritten) {
  Make(
      "top=before any section\r\n"
      "[Mode]\r\n"
      "  name =  value ; note\r\n"
      "quoted=\"a;b\"\r\n"
      "single='x'\r\n"
      "bare\r\n"
      "empty=\r\n"
      "\xe4nderung=umlaut\r\n"
      " [Other]\r\n"
      "hidden=1\r\n");
  struct Case {
    const char* section;
    const char* key;
    bool stripQuotes;
    const char* expected;
  } cases[] = {
      {"MODE", "name", false, "value"},
      {"mode", "NAME", false, "value"},
      {"MODE", "quoted", false, "\"a;b\""},
      {"MODE", "quoted", true, "a;b"},
      {"MODE", "single", true, "x"},
      {"MODE", "bare", false, "<default>"},
      {"MODE", "empty", false, ""},
      {"MODE", "\xc4NDERUNG", false, "umlaut"},
      // A blank before the bracket makes no header: the line is in MODE.
      {"Other", "hidden", false, "<default>"},
      {"MODE", "hidden", false, "1"},
      {"", "top", false, "<default>"},
      {"Missing", "name", false, "<default>"},
  };
  for (const Case& c : cases) {
    TFastIniFile ini(Name());
    ini.StripQuotes = c.stripQuotes;
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected) << c.section << "/" << c.key;
  }
  TFastIniFile ini(Name());
  ini.StripComments = false;
  EXPECT_EQ(ini.ReadString("MODE", "name", ""), "value ; note");
}

TEST_F(FastIniFile, WritingOneKeyKeepsEveryOtherByte) {
  const std::string before =
      "; settings of the order tool, edited by hand\r\n"
      "\r\n"
      "[Mode]\r\n"
      "   Indented  =  spaced   value\r\n"
      "\tTabbed=\t1 ; why\r\n"
      "target = old ; keep this note\r\n"
      "no equals sign here\r\n"
      "Dup=first\r\n"
      "Dup=second\r\n"
      "\r\n"
      "; about the next section\r\n"
      "[Other]\r\n"
      "x = 1\r\n";
  Make(before);
  {
    TFastIniFile ini(Name());
    // Looking at the lines splits them; that alone must not change them.
    EXPECT_EQ(ini.ReadString("Mode", "Dup", ""), "first");
    EXPECT_EQ(ini.ReadString("Other", "x", ""), "1");
    ini.WriteString("mode", "TARGET", "new");
  }
  std::string expected = before;
  const std::string oldLine = "target = old ; keep this note";
  expected.replace(expected.find(oldLine), oldLine.size(), "target=new ; keep this note");
  EXPECT_EQ(ReadFileBytes(Name()), expected);
}

TEST_F(FastIniFile, CommentKeepsItsColumnWhenThereIsRoom) {
  struct Case {
    const char* value;
    const char* line;
  } cases[] = {
      {"w", "name=w     ; note"},
      {"abcde", "name=abcde ; note"},
      {"abcdef", "name=abcdef ; note"},
      {"a much longer value", "name=a much longer value ; note"},
  };
  for (const Case& c : cases) {
    Make("[S]\r\n  name =  value ; note\r\n");
    {
      TFastIniFile ini(Name());
      EXPECT_EQ(ini.ReadString("S", "name", ""), "value");
      ini.WriteString("S", "name", c.value);
      EXPECT_EQ(ini.ReadString("S", "name", ""), c.value);
    }
    EXPECT_EQ(ReadFileBytes(Name()), std::string("[S]\r\n") + c.line + "\r\n") << c.value;
  }
}

TEST_F(FastIniFile, SameValueOrNewEmptyKeySavesNothing) {
  Make("[S]\r\na = 1 ; one\r\n");
  {
    TFastIniFile ini(Name());
    ini.WriteString("S", "a", "1");
    ini.WriteString("S", "new", "");
    ini.WriteInteger("S", "a", 1);
    EXPECT_FALSE(ini.Modified());
    // Proof that the file is not written: it changes under the object.
    WriteFileBytes(Name(), "changed elsewhere");
  }
  EXPECT_EQ(ReadFileBytes(Name()), "changed elsewhere");
}

TEST_F(FastIniFile, NewKeysAndSections) {
  struct Case {
    const char* before;
    const char* section;
    const char* after;
  } cases[] = {
      {"", "MODE", "[MODE]\r\nk=v\r\n"},
      {"a=1\r\n", "New", "a=1\r\n\r\n[New]\r\nk=v\r\n"},
      {"a=1\r\n\r\n", "New", "a=1\r\n\r\n[New]\r\nk=v\r\n"},
      // After the last key, before the comments that lead to the next header.
      {"[S]\r\nx=1\r\n; next\r\n\r\n[T]\r\n", "S", "[S]\r\nx=1\r\nk=v\r\n; next\r\n\r\n[T]\r\n"},
      {"[S]\r\n; only a comment\r\n[T]\r\n", "S", "[S]\r\nk=v\r\n; only a comment\r\n[T]\r\n"},
      {"[S]\r\nplain line\r\n\r\n", "s", "[S]\r\nplain line\r\nk=v\r\n\r\n"},
  };
  for (const Case& c : cases) {
    Make(c.before);
    {
      TFastIniFile ini(Name());
      ini.WriteString(c.section, "k", "v");
    }
    EXPECT_EQ(ReadFileBytes(Name()), c.after) << c.before;
  }
}

TEST_F(FastIniFile, EraseSectionLeavesCommentsOfTheNextSection) {
  struct Case {
    const char* before;
    const char* after;
  } cases[] = {
      {"[A]\r\na=1\r\n[B]\r\nb=2\r\n", "[B]\r\nb=2\r\n"},
      {"[A]\r\na=1\r\n; about B\r\n[B]\r\n", "; about B\r\n[B]\r\n"},
      {"[A]\r\na=1\r\n; about B\r\n\r\n[B]\r\n", "; about B\r\n\r\n[B]\r\n"},
      // A second empty line in a row belongs to the erased body.
      {"[A]\r\na=1\r\n; about B\r\n\r\n\r\n[B]\r\n", "[B]\r\n"},
      {"[A]\r\na=1\r\n\r\n; about B\r\n[B]\r\n", "; about B\r\n[B]\r\n"},
      {"[A]\r\n; inside\r\na=1\r\n[B]\r\n", "[B]\r\n"},
      {"x=0\r\n\r\n[A]\r\na=1\r\n", "x=0\r\n\r\n"},
  };
  for (const Case& c : cases) {
    Make(c.before);
    {
      TFastIniFile ini(Name());
      ini.EraseSection("a");
      EXPECT_EQ(ini.ReadString("A", "a", "gone"), "gone");
    }
    EXPECT_EQ(ReadFileBytes(Name()), c.after) << c.before;
  }
  // An empty key with an empty value erases too.
  Make("[A]\r\na=1\r\n[B]\r\nb=2\r\n");
  {
    TFastIniFile ini(Name());
    ini.WriteString("A", "", "");
    ini.WriteString("B", "", "not empty");
    EXPECT_EQ(ini.ReadString("B", "b", ""), "2");
  }
  EXPECT_EQ(ReadFileBytes(Name()), "[B]\r\nb=2\r\n");
}

// Changes that move lines must keep every later section (and its key table)
// right, in both lookup modes.
TEST_F(FastIniFile, LaterSectionsStayFoundAfterLinesMove) {
  for (int keys : {3, 300}) {
    Make(BigSection("A", keys) + BigSection("B", keys) + BigSection("C", keys));
    TFastIniFile ini(Name());
    EXPECT_EQ(ini.ReadString("C", "k2", ""), "C2");  // builds C's table
    EXPECT_EQ(ini.Items().Hashed, keys > 249);
    ini.WriteString("A", "added", "1");
    EXPECT_EQ(ini.ReadString("C", "k2", ""), "C2");
    EXPECT_EQ(ini.ReadString("A", "added", ""), "1");
    ini.DeleteKey("A", "k0");
    ini.DeleteKey("A", "k0");
    EXPECT_EQ(ini.ReadString("A", "k0", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("A", "k1", ""), "A1");
    EXPECT_EQ(ini.ReadString("C", "k1", ""), "C1");
    ini.EraseSection("B");
    EXPECT_EQ(ini.ReadString("C", "k0", ""), "C0");
    ini.WriteString("C", "k1", "changed");
    ini.WriteString("C", "new", "n");
    EXPECT_EQ(ini.ReadString("C", "k1", ""), "changed");
    EXPECT_EQ(ini.ReadString("C", "new", ""), "n");
    EXPECT_EQ(ini.ReadString("A", "added", ""), "1");
  }
}

TEST_F(FastIniFile, RepeatedKeyFirstWinsInSmallLastInBigSections) {
  Make("[S]\r\nk=first\r\nk=last\r\n");
  EXPECT_EQ(TFastIniFile(Name()).ReadString("S", "K", ""), "first");
  Make(BigSection("S", 300) + "k=first\r\nk=last\r\n");
  EXPECT_EQ(TFastIniFile(Name()).ReadString("S", "K", ""), "last");
}

TEST_F(FastIniFile, ReadInteger) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"42", 42},   {"-5", -5},           {"0x10", 16},          {"0X1f", 31},       {"$FF", 255},
      {"abc", -1},  {"12abc", -1},        {"0x", -1},            {"", -1},           {"2147483647", 2147483647},
      {"2147483648", -1}, {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1 /* all bits */}, {"1 ; note", 1},
  };
  for (const Case& c : cases) {
    Make(std::string("[S]\r\nn=") + c.text + "\r\n");
    EXPECT_EQ(TFastIniFile(Name()).ReadInteger("S", "n", -1), c.expected) << c.text;
  }
}

TEST_F(FastIniFile, ListsSectionsAndKeys) {
  Make("[A]\r\nx=1 ; c\r\nplain\r\n; y=2\r\nz = 3\r\n[B]\r\n[]\r\n");
  TFastIniFile ini(Name());
  TStringList list;
  ini.ReadSections(list);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A", "B", ""}));
  ini.ReadSection("a", list);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"x", "z"}));
  ini.ReadSectionValues("A", list);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"x=1", "z=3"}));
  ini.ReadSection("missing", list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(FastIniFile, LineBreaksAndNulByte) {
  Make(std::string("[S]\ra=1\nb=2\r\n\r\nc=3\0d=4\r\n", 24));
  TFastIniFile ini(Name());
  EXPECT_EQ(ini.ReadString("S", "b", ""), "2");
  EXPECT_EQ(ini.ReadString("S", "c", ""), "3");
  EXPECT_EQ(ini.ReadString("S", "d", "cut"), "cut");
  EXPECT_EQ(ini.Items().Count(), 5);
  EXPECT_EQ(ini.Items().Text(), "[S]\r\na=1\r\nb=2\r\n\r\nc=3\r\n");
}

// A stream that announces more than it gives, as a read failing part-way.
class TBreakingStream : public TMemoryStream {
 public:
  int64_t Read(void* buffer, int64_t count) override { return TMemoryStream::Read(buffer, count / 2); }
};

TEST_F(FastIniFile, ReadBreakingOffKeepsTheListAndReports) {
  TIniItems items;
  items.LoadFromText("[S]\r\na=1\r\n");
  TBreakingStream stream;
  stream.SetData("[S]\r\na=2\r\n[T]\r\nb=3\r\n");
  EXPECT_THROW(items.LoadFromStream(stream), EStreamError);
  EXPECT_EQ(items.Text(), "[S]\r\na=1\r\n");
}

TEST_F(FastIniFile, LineIndexOutsideTheList) {
  TIniItems items;
  items.LoadFromText("a\r\nb\r\n");
  EXPECT_EQ(items.Get(1).Text, "b");
  try {
    items.Get(2);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "Der Index der Liste \xfc" "berschreitet das Maximum (2)");
  }
  EXPECT_THROW(items.Get(-1), EStringListError);
}

TEST_F(FastIniFile, NameComparisonModes) {
  const std::string text = "[\xc4rger]\r\nKey=1\r\n";
  struct Case {
    TIniCompare compare;
    const char* section;
    const char* key;
    bool found;
  } cases[] = {
      {icLocale, "\xe4RGER", "key", true},
      {icAscii, "\xe4RGER", "key", false},
      {icAscii, "\xc4RGER", "key", true},
      {icExact, "\xc4rger", "key", false},
      {icExact, "\xc4rger", "Key", true},
  };
  for (const Case& c : cases) {
    TIniItems items(c.compare);
    items.LoadFromText(text);
    TIniSection* section = items.FindSection(c.section, false);
    EXPECT_EQ(section && items.FindKey(section, c.key, false) >= 0, c.found) << c.section << "/" << c.key;
  }
}

TEST_F(FastIniFile, TwoWritersOneAfterTheOther) {
  Make("; kept\r\n[MODE]\r\nshared=0\r\n\r\n[Other]\r\nx = 1\r\n");
  {
    TFastIniFile first(Name());
    first.WriteString("MODE", "shared", "1");
    first.WriteString("MODE", "mine", "a");
  }
  {
    TFastIniFile second(Name());
    second.WriteString("MODE", "shared", "2");
  }
  EXPECT_EQ(ReadFileBytes(Name()), "; kept\r\n[MODE]\r\nshared=2\r\nmine=a\r\n\r\n[Other]\r\nx = 1\r\n");
}

TEST_F(FastIniFile, SaveCreatesTheFolderAndLeavesNoTemporaryFile) {
  const std::string name = Folder + "sub" + kPathDelim + "deeper" + kPathDelim + "UserMode.INI";
  {
    TFastIniFile ini(name);
    ini.WriteInteger("MODE", "n", 7);
  }
  EXPECT_EQ(ReadFileBytes(name), "[MODE]\r\nn=7\r\n");
  EXPECT_EQ(Pauses, 0);
}

TEST_F(FastIniFile, FailedSaveKeepsTheOldFileAndReportsAtOnce) {
  Make("[MODE]\r\nn=1\r\n");
  ASSERT_TRUE(WriteFileAttributes(Name(), kAttrReadOnly));
  {
    TFastIniFile ini(Name());
    ini.WriteInteger("MODE", "n", 2);
    try {
      ini.UpdateFile();
      FAIL();
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "Datei " + Name() + " kann nicht erstellt werden");
    }
    // A write-protected file does not change by waiting.
    EXPECT_EQ(Pauses, 0);
    // Once an update failed, the object's end does not save again.
    WriteFileAttributes(Name(), 0);
  }
  EXPECT_EQ(ReadFileBytes(Name()), "[MODE]\r\nn=1\r\n");

  // A folder that cannot be made: a file stands in its way.
  const std::string blocked = Name() + kPathDelim + "UserMode.INI";
  TFastIniFile other(blocked);
  other.WriteInteger("MODE", "n", 2);
  EXPECT_THROW(other.UpdateFile(), EFCreateError);
  EXPECT_EQ(Pauses, 0);
}

TEST_F(FastIniFile, Utf8ByteOrderMarkIsReadPastAndWrittenBack) {
  const std::string mark = "\xef\xbb\xbf";
  struct Case {
    std::string before;
    std::string after;
  } cases[] = {
      {mark + "[S]\r\na=1\r\n", mark + "[S]\r\na=1\r\nb=2\r\n"},
      {mark, mark + "[S]\r\nb=2\r\n"},
      // Anywhere else the bytes are text like any other.
      {"x\r\n" + mark + "[S]\r\n", "x\r\n" + mark + "[S]\r\n\r\n[S]\r\nb=2\r\n"},
  };
  for (const Case& c : cases) {
    Make(c.before);
    {
      TFastIniFile ini(Name());
      EXPECT_EQ(ini.ReadString("S", "a", "none"), c.before.find("a=1") != std::string::npos ? "1" : "none");
      ini.WriteString("S", "b", "2");
    }
    EXPECT_EQ(ReadFileBytes(Name()), c.after);
  }
}

// The low byte of a name's hash comes from its last four letters only, so
// these names all share one bucket of the section index; a load that walked
// the bucket for every header took half a minute for this file.
TEST_F(FastIniFile, SectionsSharingOneHashBucketLoadWithoutDelay) {
  constexpr int kSections = 200000;
  std::string text;
  text.reserve(kSections * 24);
  char header[32];
  for (int i = 0; i < kSections; ++i) {
    std::snprintf(header, sizeof header, "[%08dZZZZ]\r\nk=%d\r\n", i, i);
    text += header;
  }
  const auto start = std::chrono::steady_clock::now();
  TIniItems items;
  items.LoadFromText(text);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(10));
  TIniSection* last = items.FindSection("00199999zzzz", false);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(items.Get(items.FindKey(last, "k", false)).Value, "199999");
  ASSERT_NE(items.FindSection("00000000ZZZZ", false), nullptr);
}

}  // namespace
}  // namespace vx
