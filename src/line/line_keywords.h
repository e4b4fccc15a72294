#ifndef SCENARIO_LINE_LINE_KEYWORDS_H_
#define SCENARIO_LINE_LINE_KEYWORDS_H_

#include <string_view>

#include "line/read_log.h"
#include "line/row_reading.h"

namespace scenario {

// The keyword tests of the line description, the one place they are
// written. Each test is a substring test, made independently on the same
// field: a field may pass several, and is then read as each of those rows
// in turn, in the order of RowKind.

// Whether a field is the line description's start, "[generale]" in any
// case; everything before it is passed over.
bool IsLineGeneralHeader(std::string_view field);

// A field in keyword position that holds a dash (a separator line) is
// passed over without a test, up to this many in a row; the one after
// them is tested whatever it holds.
bool IsDashField(std::string_view field);
inline constexpr int kLineGeneralDashSkips = 10;
inline constexpr int kLineMainDashSkips = 2;

// The general part: the length row ignores case, the others are exact.
// With fold_case every test ignores case (to tell an author that a row
// missed only by its letter case).
RowKindSet LineGeneralRowKinds(std::string_view field, bool fold_case = false);

// After the general part, all ignoring case. A curve keyword passes even
// when no grid is built; the reader then passes it over.
RowKindSet LineMainRowKinds(std::string_view field);

// A bracketed field ends the general part, unless it begins with a dash
// after its leading blanks.
bool EndsGeneralPart(std::string_view field);

}  // namespace scenario

#endif  // SCENARIO_LINE_LINE_KEYWORDS_H_
