#include "model/diagnostics.h"

#include <gtest/gtest.h>

#include "model/errors.h"

namespace scenario {
namespace {

TEST(Diagnostics, ExplainCodeGivesTheTableSummary) {
  EXPECT_EQ(ExplainCode(kCodeSignalTaken),
            "a signal falls on a cell that is already taken");
  EXPECT_EQ(ExplainCode(kCodeSignalTaken), FindCodeEntry(16)->summary);
  EXPECT_EQ(ExplainCode(14), "");  // unused
}

// error_code keeps the last code and error_position the last position
// given; every recorded code stays in the list with its summary.
TEST(Diagnostics, RecordKeepsEveryCodeAndTheLastPosition) {
  ErrorRegisters errors;
  errors.Record(kCodeSignalTaken, 1000, SourceSpot{"t.txt", 20, 1});
  errors.Record(kCodeNoStationSlot, std::nullopt, SourceSpot{"t.txt", 31, 1});
  EXPECT_EQ(errors.error_code, kCodeNoStationSlot);
  EXPECT_EQ(errors.error_position, 1000);
  ASSERT_EQ(errors.diagnostics.size(), 2u);
  EXPECT_EQ(errors.diagnostics[0].code, kCodeSignalTaken);
  EXPECT_EQ(errors.diagnostics[0].position, 1000);
  EXPECT_EQ(errors.diagnostics[0].where.line, 20);
  EXPECT_EQ(errors.diagnostics[0].message, ExplainCode(kCodeSignalTaken));
  EXPECT_EQ(errors.diagnostics[1].position, std::nullopt);
  EXPECT_EQ(errors.diagnostics[1].message, ExplainCode(kCodeNoStationSlot));
}

}  // namespace
}  // namespace scenario
