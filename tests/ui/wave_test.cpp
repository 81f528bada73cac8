#include "ui/wave.h"

#include <gtest/gtest.h>

#include "support/errors.h"

namespace vx {
namespace {

TEST(TWaveData, ReadsSizeThenBytes) {
  TMemoryStream stream;
  stream.SetData(std::string("\x05\x00\x00\x00" "RIFFxtail", 13));
  TWaveData wave;
  wave.ReadData(stream);
  EXPECT_EQ(wave.Data(), "RIFFx");
  TMemoryStream written;
  wave.WriteData(written);
  EXPECT_EQ(written.Data(), std::string("\x05\x00\x00\x00" "RIFFx", 9));
}

TEST(TWaveData, EmptyAndBrokenData) {
  TWaveData wave;
  TMemoryStream stream;
  stream.SetData(std::string("\x03\x00\x00\x00" "abc", 7));
  wave.ReadData(stream);
  ASSERT_FALSE(wave.Empty());
  for (const std::string& bytes : {std::string(4, '\0'), std::string("\xff\xff\xff\xff", 4)}) {
    stream.SetData(bytes);
    wave.ReadData(stream);
    EXPECT_TRUE(wave.Empty());
  }
  TMemoryStream nothing;
  wave.WriteData(nothing);
  EXPECT_EQ(nothing.Size(), 0);
  stream.SetData(std::string("\x08\x00\x00\x00" "abc", 7));
  EXPECT_THROW(wave.ReadData(stream), EStreamError);
  EXPECT_TRUE(wave.Empty());
}

}  // namespace
}  // namespace vx
