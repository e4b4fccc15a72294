#include "tools/decompile.h"

#include <gtest/gtest.h>

#include "tools/compiled_pair_testing.h"
#include "tools/recovered_text.h"

namespace scenario {
namespace {

// The built-in pair as export writes it, the reference's example and the
// tests' small pair: decompile's descriptions compile to their files, and
// the texts are the recovered rows as the writer lays them out.
TEST(Decompile, RealPairsComeBackAsDescriptionsOfTheSameBytes) {
  for (const DescriptionPair& p : RealPairs()) {
    SCOPED_TRACE(p.label);
    CompiledPair pair;
    CompilePair(p.line_text, p.train_text, p.line_name, p.train_name, &pair);
    Decompiled out;
    const Status status = Decompile(pair.loaded, &out);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_TRUE(out.same_bytes)
        << out.difference.file << " at " << out.difference.offset << ": "
        << out.difference.what;
    EXPECT_EQ(out.line_text, LineDescriptionText(out.line));
    EXPECT_EQ(out.train_text, TrainDescriptionText(out.train));
  }
}

// Without a grid nothing of the plan is compared (nor can it be
// recovered), and the rest still comes back.
TEST(Decompile, AScenarioWithoutItsGridComesBackWithoutCurves) {
  const DescriptionPair example = RealPairs()[1];
  CompiledPair pair;
  CompilePair(example.line_text, example.train_text, example.line_name,
              example.train_name, &pair);
  pair.loaded.grid = LineGrid();
  Decompiled out;
  const Status status = Decompile(pair.loaded, &out);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(out.same_bytes) << out.difference.what;
}

}  // namespace
}  // namespace scenario
