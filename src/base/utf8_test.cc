#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string_view>

namespace scenario {
namespace {

TEST(DecodeUtf8, TakesWellFormedSequencesOnly) {
  struct Case {
    std::string_view text;
    std::size_t length;  // 0: malformed
    char32_t cp;
  };
  using namespace std::string_view_literals;
  const Case kCases[] = {
      {"A"sv, 1, U'A'},
      {"\0"sv, 1, 0},
      {"\xC3\xA0 rest"sv, 2, U'\u00E0'},         // à
      {"\xE2\x82\xAC"sv, 3, U'\u20AC'},          // €
      {"\xF0\x9F\x9A\x82"sv, 4, U'\U0001F682'},  // beyond the BMP
      {"\xF4\x8F\xBF\xBF"sv, 4, U'\U0010FFFF'},  // the last one
      {"\xC3"sv, 0, 0},                          // cut off
      {"\xE2\x82"sv, 0, 0},                      // cut off
      {"\xC3("sv, 0, 0},                         // no continuation
      {"\xA0"sv, 0, 0},                          // a continuation
      {"\xC0\xAF"sv, 0, 0},                      // overlong '/'
      {"\xE0\x80\xAF"sv, 0, 0},                  // overlong '/'
      {"\xF0\x82\x82\xAC"sv, 0, 0},              // overlong €
      {"\xED\xA0\x80"sv, 0, 0},                  // a surrogate
      {"\xF4\x90\x80\x80"sv, 0, 0},              // beyond U+10FFFF
      {"\xF8\x88\x80\x80\x80"sv, 0, 0},          // five bytes
      {"\xFF"sv, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    char32_t cp = 0xFFFD;
    EXPECT_EQ(DecodeUtf8(c.text, 0, &cp), c.length);
    if (c.length > 0) {
      EXPECT_EQ(cp, c.cp);
    }
    EXPECT_EQ(DecodeUtf8(c.text, 0), c.length);
  }
}

TEST(DecodeUtf8, ReadsFromTheGivenByte) {
  constexpr std::string_view kText = "a\xC3\xA0\xE2\x82";
  EXPECT_EQ(DecodeUtf8(kText, 1), 2u);
  EXPECT_EQ(DecodeUtf8(kText, 2), 0u);
  EXPECT_EQ(DecodeUtf8(kText, 3), 0u);  // cut off by the end
}

}  // namespace
}  // namespace scenario
