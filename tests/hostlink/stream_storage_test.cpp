#include "hostlink/stream_storage.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/errors.h"

namespace vx {
namespace {

std::string Utf16(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Int64(int64_t v) { return std::string(reinterpret_cast<const char*>(&v), 8); }

std::string Entry(const std::string& name, const std::string& value) {
  return Int32(static_cast<int32_t>(name.size() * 2)) + Utf16(name) + Int64(static_cast<int64_t>(value.size())) + value;
}

std::unique_ptr<TStreamStorage> Received(const std::string& bytes) {
  auto storage = std::make_unique<TStreamStorage>();
  storage->SetBytes(bytes);
  return storage;
}

TEST(StreamStorage, ReadRequestBlockIsByteExact) {
  TStreamStorage storage;
  storage.AddText("COMMAND", "GETJSON");
  storage.AddInteger("INDEX", -1);
  storage.AddBoolean("SYNC", true);
  const std::string expected = std::string("\x0e\0\0\0", 4) + Utf16("COMMAND") + std::string("\x0e\0\0\0\0\0\0\0", 8) +
                               Utf16("GETJSON") + std::string("\x0a\0\0\0", 4) + Utf16("INDEX") +
                               std::string("\x04\0\0\0\0\0\0\0", 8) + "\xff\xff\xff\xff" +
                               std::string("\x08\0\0\0", 4) + Utf16("SYNC") + std::string("\x01\0\0\0\0\0\0\0", 8) +
                               "\x01";
  ASSERT_EQ(87u, expected.size());
  EXPECT_EQ(expected, storage.Bytes());
  EXPECT_EQ(87, storage.ScanPosition);
}

TEST(StreamStorage, EmptyNameOrTextWritesNothing) {
  TStreamStorage storage;
  storage.AddText("DATA", "");
  storage.AddText("", "x");
  storage.AddInteger("", 5);
  storage.AddBoolean("", true);
  EXPECT_EQ(0, storage.Size());
  EXPECT_EQ("", storage.FindText("DATA"));
  // The empty text was not indexed either, so the name is still free.
  storage.AddText("DATA", "x");
  EXPECT_EQ("x", storage.FindText("DATA"));
}

TEST(StreamStorage, DuplicateNameRaisesAndLeavesBufferAlone) {
  TStreamStorage storage;
  storage.AddText("COMMAND", "DBPATH");
  const std::string before = storage.Bytes();
  for (auto add : {+[](TStreamStorage& s) { s.AddText("COMMAND", "X"); },
                   +[](TStreamStorage& s) { s.AddInteger("COMMAND", 1); },
                   +[](TStreamStorage& s) { s.AddBoolean("COMMAND", false); }}) {
    try {
      add(storage);
      FAIL() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ("Value with name \"COMMAND\" already exists", e.Message());
    }
    EXPECT_EQ(before, storage.Bytes());
  }
  // Names are case-sensitive.
  EXPECT_NO_THROW(storage.AddText("command", "X"));
}

TEST(StreamStorage, AnsiTextRoundTripsThroughUtf16) {
  TStreamStorage storage;
  const std::string text = "M\xfc" "ller \x80 5 \xdf";
  storage.AddText("DATA", text);
  // The euro sign is U+20AC on the wire.
  EXPECT_NE(std::string::npos, storage.Bytes().find("\xac\x20"));
  EXPECT_EQ(text, Received(storage.Bytes())->FindText("DATA"));
}

TEST(StreamStorage, ReverseLookupsParseTheBlockOnce) {
  const std::string block = Entry("A", Utf16("1")) + Entry("B", Utf16("22")) + Entry("C", Utf16("333"));
  auto storage = Received(block);
  EXPECT_EQ("333", storage->FindText("C"));
  EXPECT_EQ(static_cast<int64_t>(block.size()), storage->ScanPosition);
  // Earlier names were indexed on the way to C.
  EXPECT_EQ("22", storage->FindText("B"));
  EXPECT_EQ("1", storage->FindText("A"));
  EXPECT_EQ("", storage->FindText("D"));
  EXPECT_EQ(static_cast<int64_t>(block.size()), storage->ScanPosition);
}

TEST(StreamStorage, DuplicateNamesInAReceivedBlockGiveTheFirstUntilTheSecondIsScanned) {
  const std::string block = Entry("DATA", Utf16("first")) + Entry("DATA", Utf16("second")) + Entry("Z", Utf16("z"));
  auto storage = Received(block);
  EXPECT_EQ("first", storage->FindText("DATA"));
  EXPECT_EQ("z", storage->FindText("Z"));
  // The newest index item of a name wins.
  EXPECT_EQ("second", storage->FindText("DATA"));
}

TEST(StreamStorage, MalformedEntriesCountAsNotFound) {
  struct TCase {
    const char* What;
    std::string Block;
    std::string Wanted;
  };
  const std::string good = Entry("A", Utf16("ok"));
  const TCase cases[] = {
      {"name length past end", good + Int32(1000) + Utf16("DATA"), "DATA"},
      {"negative name length", good + Int32(-4) + Utf16("DATA"), "DATA"},
      {"value size past end", good + Int32(8) + Utf16("DATA") + Int64(1 << 20) + Utf16("x"), "DATA"},
      {"negative value size", good + Int32(8) + Utf16("DATA") + Int64(-2) + Utf16("x"), "DATA"},
      {"truncated name length", good + std::string("\x08\0", 2), "DATA"},
      {"truncated value size", good + Int32(8) + Utf16("DATA") + std::string("\x02\0\0", 3), "DATA"},
      {"bad entry before", good + Int32(8) + Utf16("XXXX") + Int64(-1) + Entry("DATA", Utf16("x")), "DATA"},
  };
  for (const TCase& c : cases) {
    auto storage = Received(c.Block);
    EXPECT_EQ("", storage->FindText(c.Wanted)) << c.What;
    EXPECT_EQ("ok", storage->FindText("A")) << c.What;
    EXPECT_EQ("", storage->FindText(c.Wanted)) << c.What;
    EXPECT_LE(storage->ScanPosition, storage->Size()) << c.What;
  }
}

TEST(StreamStorage, OddValueSizeDropsTheLastByte) {
  auto storage = Received(Entry("DATA", Utf16("ab") + "c"));
  EXPECT_EQ("ab", storage->FindText("DATA"));
}

TEST(StringHash, NewestItemWinsAndMissingIsMinusOne) {
  TStringHash hash(TStreamStorage::kIndexBuckets);
  hash.Add("DATA", 1);
  hash.Add("DATA", 2);
  hash.Add("data", 3);
  EXPECT_EQ(2, hash.ValueOf("DATA"));
  EXPECT_EQ(3, hash.ValueOf("data"));
  EXPECT_EQ(-1, hash.ValueOf("DAT"));
  hash.Clear();
  EXPECT_EQ(-1, hash.ValueOf("DATA"));
}

TEST(StringHash, LongChainsAreFreedWithoutRecursion) {
  TStringHash hash(1);
  for (int i = 0; i < 1000000; ++i) hash.Add("k", i);
  EXPECT_EQ(999999, hash.ValueOf("k"));
}

}  // namespace
}  // namespace vx
