#include "scenario/coding.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::vector<int> bytes_of(const std::string& s) {
  std::vector<int> out;
  for (char c : s) out.push_back(static_cast<uint8_t>(c));
  return out;
}

TEST(CodingTest, IntegersGoLeastSignificantByteFirst) {
  std::string dst;
  put_s32(dst, 0x04030201);
  EXPECT_EQ(bytes_of(dst), (std::vector<int>{0x01, 0x02, 0x03, 0x04}));

  dst.clear();
  put_u16(dst, 0x0201);
  put_s16(dst, -2);
  put_u8(dst, 0xFE);
  put_s32(dst, -1);
  put_s32(dst, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(bytes_of(dst),
            (std::vector<int>{0x01, 0x02, 0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}));
}

TEST(CodingTest, PutAppendsWithoutTouchingWhatIsThere) {
  std::string dst = "ab";
  put_s16(dst, 610);
  EXPECT_EQ(bytes_of(dst), (std::vector<int>{'a', 'b', 0x62, 0x02}));
}

TEST(CodingTest, DoubleIsItsEightIeeeBytesLittleEndian) {
  std::string dst;
  put_f64(dst, 1.0);  // 0x3FF0000000000000
  EXPECT_EQ(bytes_of(dst), (std::vector<int>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

  dst.clear();
  put_f64(dst, -2.5);  // 0xC004000000000000
  EXPECT_EQ(bytes_of(dst), (std::vector<int>{0, 0, 0, 0, 0, 0, 0x04, 0xC0}));

  dst.clear();
  put_f64(dst, 0.1);  // 0x3FB999999999999A
  EXPECT_EQ(bytes_of(dst), (std::vector<int>{0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}));
}

TEST(CodingTest, DecodeReadsBackWhatPutWrote) {
  const std::vector<int16_t> shorts{0, 1, -1, 5121, 32767, -32768};
  for (int16_t v : shorts) {
    std::string dst;
    put_s16(dst, v);
    ASSERT_EQ(dst.size(), kS16Size);
    EXPECT_EQ(decode_s16(dst.data()), v);
  }
  const std::vector<int32_t> longs{
      0, 1, -1, 82875, 0x04030201, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
  for (int32_t v : longs) {
    std::string dst;
    put_s32(dst, v);
    ASSERT_EQ(dst.size(), kS32Size);
    EXPECT_EQ(decode_s32(dst.data()), v);
  }
  const std::vector<double> doubles{0.0,
                                    -0.0,
                                    1.0,
                                    -123.456,
                                    1e300,
                                    std::numeric_limits<double>::denorm_min(),
                                    std::numeric_limits<double>::infinity()};
  for (double v : doubles) {
    std::string dst;
    put_f64(dst, v);
    ASSERT_EQ(dst.size(), kF64Size);
    const double back = decode_f64(dst.data());
    EXPECT_EQ(back, v);
    EXPECT_EQ(std::signbit(back), std::signbit(v));
  }
  std::string dst;
  put_u16(dst, 65535);
  put_u8(dst, 255);
  EXPECT_EQ(decode_u16(dst.data()), 65535);
  EXPECT_EQ(decode_u8(dst.data() + 2), 255);
}

TEST(CodingTest, DecodeFromFixedBytes) {
  const char bytes[] = {'\x01', '\x02', '\x03', '\x04'};
  EXPECT_EQ(decode_s32(bytes), 0x04030201);
  EXPECT_EQ(decode_u16(bytes), 0x0201);
  const char high[] = {'\xFF', '\xFF', '\xFF', '\x7F'};
  EXPECT_EQ(decode_s32(high), 0x7FFFFFFF);
  EXPECT_EQ(decode_s16(high), -1);
}

TEST(CodingTest, ACursorReadsBackWhatWasAppendedInOrderAndNoFurther) {
  std::string bytes;
  put(bytes, uint8_t{7});
  put(bytes, int16_t{-2});
  put(bytes, int32_t{-70000});
  put_f64(bytes, 0.25);
  bytes += "abc";
  ByteCursor cursor(bytes);
  EXPECT_EQ(cursor.u8(), 7);
  int16_t word = 0;
  cursor.get(word);
  EXPECT_EQ(word, -2);
  EXPECT_EQ(cursor.s32(), -70000);
  EXPECT_EQ(cursor.f64(), 0.25);
  EXPECT_EQ(cursor.offset(), 15u);
  EXPECT_EQ(cursor.bytes(2), "ab");
  EXPECT_EQ(cursor.left(), 1u);
  EXPECT_THROW(cursor.u16(), std::out_of_range);
  EXPECT_EQ(cursor.u8(), 'c');
}

}  // namespace
