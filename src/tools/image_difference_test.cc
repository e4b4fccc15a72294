#include "tools/image_difference.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/compiled_pair_testing.h"

namespace scenario {
namespace {

ScenarioImages Images(const CompiledPair& pair) {
  return {pair.param_file, pair.cell_file, pair.grid_file, true};
}

// The reference's example pair with one row changed: the first byte that
// differs is named in the author's terms, with both values.
TEST(ImageDifference, NamesTheFirstDifferingByteInAuthorTerms) {
  struct Case {
    const char* from;
    const char* to;
    const char* file;
    std::int64_t offset;
    const char* what;
  };
  const Case kCases[] = {
      {"velocita,    1000,    90", "velocita,    1000,    95", ".dat",
       20 * 15 + 12,
       "cell 20 (metre 1000), speed limit step: 18 (90 km/h) in the file, 19 "
       "(95 km/h) compiled"},
      {"segnale,    4700,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       "segnale,    4700,   2, 3, 1,  1, 0,    0,  0,0,0, 9", ".dat",
       95 * 15 + 9,
       "cell 95 (metre 4700), signal, b10: 0 in the file, 101 compiled"},
      {"8,14,30, Ponte Rio", "8,15,30, Ponte Rio", ".sim", -1,
       "slot 2 (station 2 \"Ponte Rio\"), time: "},
      {"curvad4,  3800,  250", "curvad4,  3800,  300", "_linea.dat", -1,
       "line grid metre 4051, x: "},
      {"lunghezza percorso,    6000", "lunghezza percorso,    6050", ".sim", -1,
       "slot 84 (general values), line length: 6000 m in the file, 6050 "
       "m compiled"},
  };
  const DescriptionPair example = RealPairs()[1];
  CompiledPair original;
  CompilePair(example.line_text, example.train_text, example.line_name,
              example.train_name, &original);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.to);
    std::string line = example.line_text;
    std::string train = example.train_text;
    std::string& text = line.find(c.from) != std::string::npos ? line : train;
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string(c.from).size(), c.to);
    CompiledPair changed;
    CompilePair(line, train, example.line_name, example.train_name, &changed);
    const std::optional<RoundTripDifference> d =
        FirstImageDifference(Images(original), Images(changed));
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->file, c.file);
    if (c.offset >= 0) {
      EXPECT_EQ(d->offset, c.offset);
    }
    EXPECT_EQ(d->what.substr(0, std::string(c.what).size()), c.what) << d->what;
  }
  EXPECT_FALSE(FirstImageDifference(Images(original), Images(original)));
}

// Files of other lengths that agree as far as the shorter goes differ at
// its end, and what differs is their extent.
TEST(ImageDifference, ALengthDifferenceIsTheExtent) {
  const DescriptionPair example = RealPairs()[1];
  CompiledPair pair;
  CompilePair(example.line_text, example.train_text, example.line_name,
              example.train_name, &pair);
  ScenarioImages shorter = Images(pair);
  shorter.cell_file.resize(shorter.cell_file.size() - 15);
  std::optional<RoundTripDifference> d =
      FirstImageDifference(Images(pair), shorter);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->file, ".dat");
  EXPECT_EQ(d->offset, static_cast<std::int64_t>(shorter.cell_file.size()));
  EXPECT_EQ(d->what,
            "the cell array's length: 261 cells in the file, 260 compiled "
            "(the line's length sets it)");

  // The grid of a scenario without one is not compared.
  ScenarioImages no_grid = Images(pair);
  no_grid.has_grid = false;
  ScenarioImages other_grid = no_grid;
  other_grid.grid_file = "x";
  EXPECT_FALSE(FirstImageDifference(no_grid, other_grid));
}

}  // namespace
}  // namespace scenario
