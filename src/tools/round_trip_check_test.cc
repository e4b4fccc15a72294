#include "tools/round_trip_check.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "tools/compiled_pair_testing.h"
#include "tools/recovered_text.h"

namespace scenario {
namespace {

// The rows the readers read of each real pair, written as decompile writes
// rows, compile back to the pair's own files: the writer's layout, its
// order of rows and the self-check's compile agree with a compile by an
// author.
TEST(RoundTripCheck, RowsOfRealPairsWrittenBackCompileToTheSameFiles) {
  for (const DescriptionPair& p : RealPairs()) {
    SCOPED_TRACE(p.label);
    CompiledPair pair;
    CompilePair(p.line_text, p.train_text, p.line_name, p.train_name, &pair);
    Decompiled out;
    out.line = LoggedRows(pair.line_log);
    out.train = LoggedRows(pair.train_log);
    out.line_text = LineDescriptionText(out.line);
    out.train_text = TrainDescriptionText(out.train);
    CheckRoundTrip(pair.loaded, &out);
    EXPECT_TRUE(out.same_bytes)
        << out.difference.file << " at " << out.difference.offset << ": "
        << out.difference.what;
  }
}

TEST(RoundTripCheck, ADifferenceIsReportedAndNeverClaimedSame) {
  const DescriptionPair example = RealPairs()[1];
  CompiledPair pair;
  CompilePair(example.line_text, example.train_text, example.line_name,
              example.train_name, &pair);
  Decompiled out;
  out.line = LoggedRows(pair.line_log);
  out.train = LoggedRows(pair.train_log);
  for (RecoveredRow& row : out.train.rows) {
    if (row.kind == RowKind::kCodeChange) row.numbers[1] = 180;
  }
  out.line_text = LineDescriptionText(out.line);
  out.train_text = TrainDescriptionText(out.train);
  CheckRoundTrip(pair.loaded, &out);
  EXPECT_FALSE(out.same_bytes);
  EXPECT_EQ(out.difference.file, ".dat");
  EXPECT_EQ(out.difference.what.find("cell "), 0u) << out.difference.what;
  EXPECT_EQ(out.difference.compile_code, "");

  // A row the compile refuses: the code it recorded is named beside the
  // first byte, since it is what made the bytes differ.
  Decompiled twice;
  twice.line = LoggedRows(pair.line_log);
  twice.train = LoggedRows(pair.train_log);
  for (std::size_t i = 0; i < twice.train.rows.size(); ++i) {
    if (twice.train.rows[i].kind != RowKind::kSignal) continue;
    twice.train.rows.insert(
        twice.train.rows.begin() + static_cast<std::ptrdiff_t>(i) + 1,
        twice.train.rows[i]);
    break;
  }
  twice.line_text = LineDescriptionText(twice.line);
  twice.train_text = TrainDescriptionText(twice.train);
  CheckRoundTrip(pair.loaded, &twice);
  EXPECT_FALSE(twice.same_bytes);
  EXPECT_EQ(twice.difference.compile_code.find("code 16 at "), 0u)
      << twice.difference.compile_code;

  // Descriptions that compile to nothing: no file to point at, and why.
  out.line_text = "[fine]\r\n";
  CheckRoundTrip(pair.loaded, &out);
  EXPECT_FALSE(out.same_bytes);
  EXPECT_EQ(out.difference.file, "");
  EXPECT_EQ(out.difference.what.find("the descriptions do not compile: "), 0u)
      << out.difference.what;
}

}  // namespace
}  // namespace scenario
