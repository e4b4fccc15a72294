#include "model/coding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace scenario {
namespace {

TEST(Coding, FixedWidthsAreLittleEndian) {
  std::string out;
  PutFixed16(&out, 0x1401);
  PutFixed16(&out, static_cast<std::uint16_t>(std::int16_t{-2}));
  PutFixed32(&out, 0x12345678u);
  PutFixed32(&out, static_cast<std::uint32_t>(std::int32_t{-1}));
  PutFixed8(&out, 0xab);
  EXPECT_EQ(out, std::string("\x01\x14\xfe\xff\x78\x56\x34\x12\xff\xff\xff\xff"
                             "\xab",
                             13));
}

TEST(Coding, DoubleIsIeeeLittleEndian) {
  std::string out;
  PutDouble(&out, 1.0);  // 0x3ff0000000000000
  EXPECT_EQ(out, std::string("\0\0\0\0\0\0\xf0\x3f", 8));
}

TEST(Coding, RoundTripsExtremes) {
  std::string out;
  PutFixed16(&out, 0xffff);
  PutFixed32(&out, 0x80000000u);
  PutDouble(&out, -0.0);
  PutDouble(&out, std::numeric_limits<double>::denorm_min());
  std::string_view in = out;
  std::uint16_t v16;
  std::uint32_t v32;
  double d1, d2;
  ASSERT_TRUE(GetFixed16(&in, &v16));
  ASSERT_TRUE(GetFixed32(&in, &v32));
  ASSERT_TRUE(GetDouble(&in, &d1));
  ASSERT_TRUE(GetDouble(&in, &d2));
  EXPECT_TRUE(in.empty());
  EXPECT_EQ(v16, 0xffff);
  EXPECT_EQ(v32, 0x80000000u);
  EXPECT_TRUE(std::signbit(d1));
  EXPECT_EQ(d2, std::numeric_limits<double>::denorm_min());
}

TEST(Coding, ShortInputIsRefusedAndLeftUntouched) {
  std::string_view in("\x01\x02\x03", 3);
  std::uint32_t v32 = 7;
  double d = 7;
  std::string bytes = "keep";
  EXPECT_FALSE(GetFixed32(&in, &v32));
  EXPECT_FALSE(GetDouble(&in, &d));
  EXPECT_FALSE(GetBytes(&in, 4, &bytes));
  EXPECT_EQ(in.size(), 3u);
  EXPECT_EQ(v32, 7u);
  EXPECT_EQ(bytes, "keep");
  std::uint8_t v8;
  ASSERT_TRUE(GetFixed8(&in, &v8));
  EXPECT_EQ(v8, 1);
  std::uint16_t v16;
  ASSERT_TRUE(GetFixed16(&in, &v16));
  EXPECT_EQ(v16, 0x0302);
  EXPECT_FALSE(GetFixed8(&in, &v8));
}

}  // namespace
}  // namespace scenario
