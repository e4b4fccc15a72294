#include "plot/svg_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "plot/svg_testing.h"

namespace scenario {
namespace {

TEST(XmlEscape, MarkupControlsAndBadUtf8) {
  struct Case {
    const char* input;
    const char* output;
  };
  const Case kCases[] = {
      {"plain", "plain"},
      {"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c&apos;"},
      {"tab\tkept", "tab\tkept"},
      {"bell\x07", "bell\xEF\xBF\xBD"},          // not an XML character
      {"Citt\xC3\xA0", "Citt\xC3\xA0"},          // well-formed UTF-8 stays
      {"Citt\xE0", "Citt\xEF\xBF\xBD"},          // a stray Latin-1 byte
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong form
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // surrogate
      {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // cut short
      {"\xEF\xBF\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // U+FFFF
      {"\xF0\x9F\x9A\x86", "\xF0\x9F\x9A\x86"},  // train, 4 bytes
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(XmlEscape(c.input), c.output);
  }
  // A NUL inside the view is a control too.
  EXPECT_EQ(XmlEscape(std::string_view("a\0b", 3)),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(SvgNumber, RoundsTrimsAndStaysValid) {
  struct Case {
    double value;
    const char* text;
  };
  const Case kCases[] = {
      {0, "0"},
      {-0.0, "0"},
      {-0.001, "0"},
      {12, "12"},
      {12.5, "12.5"},
      {1.236, "1.24"},
      {-3.1, "-3.1"},
      {std::numeric_limits<double>::quiet_NaN(), "0"},
      {std::numeric_limits<double>::infinity(), "0"},
      {1e300, "1000000000"},
      {-1e300, "-1000000000"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(SvgNumber(c.value), c.text);
  }
}

TEST(SvgBuilder, GroupsCloseAndTextIsEscaped) {
  SvgBuilder svg(100, 50, "data-x=\"1\"");
  svg.OpenGroup("outer");
  svg.OpenGroup("inner", "fill=\"red\"");
  svg.Text(1, 2, "A & B <c>");
  // Finish closes the two open groups.
  const std::string doc = svg.Finish();
  const ParsedSvg parsed(doc);
  ASSERT_TRUE(parsed.ok()) << doc;
  EXPECT_EQ(parsed.First("/s:svg/@width"), "100");
  EXPECT_EQ(parsed.First("/s:svg/@viewBox"), "0 0 100 50");
  EXPECT_EQ(parsed.First("//s:g[@id='outer']/s:g[@id='inner']/s:text"),
            "A & B <c>");
}

// Counts the points of a path's "d" text.
int PointCount(const std::string& d) {
  return static_cast<int>(std::count(d.begin(), d.end(), 'L') +
                          std::count(d.begin(), d.end(), 'M'));
}

TEST(PathData, DropsClosePointsButKeepsEndsAndBreaks) {
  PathData path(1.0);
  // 1000 points 0.01 apart: only about one per unit survives, and the
  // last one always does.
  for (int i = 0; i <= 1000; ++i) path.Add(i * 0.01, 0);
  path.Break();
  path.Add(50, 50);
  path.Add(std::numeric_limits<double>::quiet_NaN(), 1);  // a break too
  path.Add(60, 60);
  const std::string d = path.Finish();
  EXPECT_EQ(d.substr(0, 4), "M0 0");
  EXPECT_NE(d.find("L10 0"), std::string::npos) << d;
  EXPECT_NE(d.find(" M50 50"), std::string::npos) << d;
  EXPECT_NE(d.find(" M60 60"), std::string::npos) << d;
  EXPECT_LE(PointCount(d), 14);
  EXPECT_EQ(PathData(1).Finish(), "");
}

TEST(ColumnEnvelope, BoundedPerColumnAndKeepsSpikes) {
  ColumnEnvelope env;
  // 100000 alternating levels squeezed into 10 pixel columns, with one
  // spike to 99 in the middle.
  for (int i = 0; i < 100000; ++i) {
    const double x = i * 0.0001;
    env.Add(x, i == 50000 ? 99 : (i % 2 ? 10 : 20));
  }
  const std::string d = env.Finish(10);
  EXPECT_LE(PointCount(d), 10 * 5 + 2);
  EXPECT_NE(d.find(" 99"), std::string::npos) << d;
  EXPECT_EQ(d.substr(d.rfind('L')), "L10 10");  // ends on the last level
}

TEST(ColumnEnvelope, PlainStepsStayExact) {
  ColumnEnvelope env;
  env.Add(0, 5);
  env.Add(3, 5);  // no change, no point
  env.Add(10, 7);
  env.Add(20, 2);
  EXPECT_EQ(env.Finish(30), "M0 5 L10 5 L10 7 L20 7 L20 2 L30 2");
  EXPECT_EQ(ColumnEnvelope().Finish(5), "");
}

}  // namespace
}  // namespace scenario
