#include "plot/raster.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace scenario {
namespace {

constexpr char kSmallSvg[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"321\" height=\"123\">"
    "<rect x=\"10\" y=\"10\" width=\"50\" height=\"50\" fill=\"red\"/>"
    "<text x=\"70\" y=\"40\" font-size=\"14\">Citt\xC3\xA0</text></svg>";

std::uint32_t BigEndian32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    v = (v << 8) | static_cast<std::uint8_t>(s[at + i]);
  }
  return v;
}

TEST(RasterizeSvg, PngHasTheDocumentsSize) {
  std::string png;
  const Status s = RasterizeSvg(kSmallSvg, RasterFormat::kPng, &png);
  ASSERT_TRUE(s.ok()) << s.message();
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian32(png, 16), 321u);
  EXPECT_EQ(BigEndian32(png, 20), 123u);
}

TEST(RasterizeSvg, PdfIsOneCompleteDocument) {
  std::string pdf;
  const Status s = RasterizeSvg(kSmallSvg, RasterFormat::kPdf, &pdf);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("%%EOF", pdf.size() - 16), std::string::npos);
  // 321 x 123 px at 0.75 pt per px.
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 240.75 92.25 ]"), std::string::npos);
}

TEST(RasterizeSvg, RefusesWhatItCannotDraw) {
  struct Case {
    const char* name;
    std::string svg;
    const char* message_part;
  };
  const Case kCases[] = {
      {"not xml", "this is not <svg", "does not parse"},
      {"no size",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100%\" "
       "height=\"100%\"/>",
       "no size"},
      {"too large",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100000\" "
       "height=\"100000\"/>",
       "too large"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    for (const RasterFormat f : {RasterFormat::kPng, RasterFormat::kPdf}) {
      std::string out = "old";
      const Status s = RasterizeSvg(c.svg, f, &out);
      EXPECT_FALSE(s.ok());
      EXPECT_NE(s.message().find(c.message_part), std::string::npos)
          << s.message();
      EXPECT_TRUE(out.empty());
    }
  }
}

}  // namespace
}  // namespace scenario
