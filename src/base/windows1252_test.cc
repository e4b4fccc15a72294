#include "base/windows1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace scenario {
namespace {

TEST(Windows1252, ConvertsFromUtf8) {
  struct Case {
    const char* utf8;
    std::optional<std::string> want;
  };
  const Case kCases[] = {
      {"", std::string()},
      {"Attendere, 1 2", std::string("Attendere, 1 2")},
      {"\xc3\xa0\xc3\xa8\xc3\xac\xc3\xb2", std::string("\xe0\xe8\xec\xf2")},
      {"\xe2\x82\xac", std::string("\x80")},  // euro sign
      {"\xc5\xb8", std::string("\x9f")},      // Y with diaeresis
      {"\xe2\x80\x9c", std::string("\x93")},  // left double quote
      {"\xc2\xa0\xc3\xbf", std::string("\xa0\xff")},
      {"\xc2\x81", std::string("\x81")},   // C1 control, round trip
      {"\xe2\x86\x92", std::nullopt},      // arrow: no byte
      {"\xc4\x80", std::nullopt},          // A with macron
      {"\xc2\x80", std::nullopt},          // U+0080: 0x80 is the euro
      {"\xf0\x9f\x98\x80", std::nullopt},  // emoji
      {"\xc3", std::nullopt},              // truncated
      {"\xa0", std::nullopt},              // stray continuation
      {"\xc0\xa0", std::nullopt},          // overlong
      {"\xed\xa0\x80", std::nullopt},      // surrogate
      {"\xf4\x90\x80\x80", std::nullopt},  // beyond U+10FFFF
      {"\xe8 ok", std::nullopt},           // Windows-1252 given as is
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.want);
  }
}

TEST(Windows1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Windows1252ToUtf8(all);
  EXPECT_EQ(Utf8ToWindows1252(utf8), all);
  EXPECT_EQ(Windows1252ToUtf8("\x80\xe8"), "\xe2\x82\xac\xc3\xa8");
}

TEST(Windows1252, LowerCase) {
  struct Case {
    unsigned char in, want;
  };
  constexpr Case kCases[] = {
      {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {'@', '@'},   {'[', '['},
      {'5', '5'},   {' ', ' '},   {0xC0, 0xE0}, {0xC8, 0xE8}, {0xDE, 0xFE},
      {0xD7, 0xD7}, {0xDF, 0xDF}, {0xE0, 0xE0}, {0x8A, 0x9A}, {0x8C, 0x9C},
      {0x8E, 0x9E}, {0x9F, 0xFF}, {0x9A, 0x9A}, {0x80, 0x80}, {0x8B, 0x8B},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.in));
    EXPECT_EQ(
        static_cast<unsigned char>(LowerWindows1252(static_cast<char>(c.in))),
        c.want);
  }
  EXPECT_EQ(LowerWindows1252("EXP 5147\xc8"), "exp 5147\xe8");
}

}  // namespace
}  // namespace scenario
