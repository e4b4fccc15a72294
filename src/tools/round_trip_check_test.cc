#include "tools/round_trip_check.h"

#include <gtest/gtest.h>

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
