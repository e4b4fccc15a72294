#include "model/narrowing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/errors.h"

namespace scenario {
namespace {

TEST(Narrowing, WrapsKeepTheLowBits) {
  struct Case {
    std::int64_t value;
    std::uint8_t byte;
    std::int16_t word;
  };
  constexpr Case kCases[] = {
      {0, 0, 0},
      {255, 255, 255},
      {256, 0, 256},
      {-1, 255, -1},
      {32767, 255, 32767},
      {32768, 0, -32768},
      {65536 + 300, 44, 300},
      {-32769, 255, 32767},
      {INT64_MIN, 0, 0},
      {INT64_MAX, 255, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(LowByte(c.value), c.byte);
    EXPECT_EQ(LowWord(c.value), c.word);
  }
}

TEST(Narrowing, CheckedNarrowingsFaultJustPastTheirRange) {
  const SourceSpot where{"Valle-.txt", 3, 7};
  EXPECT_EQ(FitLong(INT32_MAX, "x"), INT32_MAX);
  EXPECT_EQ(FitLong(INT32_MIN, "x"), INT32_MIN);
  EXPECT_EQ(FitWord(INT16_MAX, "x"), INT16_MAX);
  EXPECT_EQ(FitWord(INT16_MIN, "x"), INT16_MIN);
  try {
    FitLong(std::int64_t{INT32_MAX} + 1, "the time", where);
    FAIL() << "no fault";
  } catch (const Fault& fault) {
    EXPECT_EQ(fault.message(), "the time does not fit a long");
    EXPECT_EQ(fault.where().line, 3);
    EXPECT_EQ(fault.where().column, 7);
  }
  EXPECT_THROW(FitLong(std::int64_t{INT32_MIN} - 1, "x"), Fault);
  try {
    FitWord(INT16_MIN - 1, "the word (-32769)");
    FAIL() << "no fault";
  } catch (const Fault& fault) {
    EXPECT_EQ(fault.message(),
              "the word (-32769) does not fit -32768 to 32767");
  }
  EXPECT_THROW(FitWord(INT16_MAX + 1, "x"), Fault);
}

}  // namespace
}  // namespace scenario
