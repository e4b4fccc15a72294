#ifndef SCENARIO_TOOLS_ROW_DIFF_H_
#define SCENARIO_TOOLS_ROW_DIFF_H_

// What changed between two scenarios in the rows of their descriptions:
// the rows decompile recovers from each, compared kind by kind, so that an
// author reads "slowdown at 17000 m moved to 17500 m" where the cells show
// a start, an end, a warning board and a dozen marks.
//
// How rows are matched, per kind and per description:
// - the general rows (line length, kilometre records, scenery selectors,
//   signal repetition, braked mass, coaches, clock, sand) by their kind;
// - stations by name, then the rest by slot (their rank among the
//   stations: a renamed station is a change of name, not a station
//   removed and another added);
// - every other row by its position (the row's first field), rows that
//   equal each other first where several share one.
// A row left over on each side, of one kind, with no other row of that
// kind between them on either side and at most a third of its other
// fields different, is a move (the likeliest pair first: fewest fields
// changed, then nearest). The profiles (gradient, speed
// limit, adhesion) are compared as runs: a row that the other side lacks
// reads as the run from its position taking another value, unless the
// value there is the same on both sides.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "line/read_log.h"
#include "tools/recovered_rows.h"
#include "tools/scenario_diff.h"

namespace scenario {

enum class RowChangeKind : std::uint8_t { kAdded, kRemoved, kMoved, kChanged };

// "added", "removed", "moved", "changed".
const char* RowChangeName(RowChangeKind change);

// Which of the two descriptions a row belongs to.
enum class RowHalf : std::uint8_t { kLine, kTrain };

// "line", "train".
const char* RowHalfName(RowHalf half);

struct RowChange {
  RowHalf half = RowHalf::kLine;
  RowKind kind = RowKind::kLength;
  RowChangeKind change = RowChangeKind::kChanged;
  // The row's position on each side (its first field, in metres); absent
  // for a general row and on the side that lacks the row. A moved row has
  // both, a changed one the same on both.
  std::optional<std::int64_t> old_position;
  std::optional<std::int64_t> new_position;
  // A run of a profile: the positions are where the run starts.
  bool run = false;
  // A station's name (UTF-8), the new one when it changed; else empty.
  std::string station;
  // Added or removed: every field of the row but its position and a
  // station's name, one side empty. Moved or changed: the fields that
  // differ. Names and units are the fields' own (line/row_fields.h); a
  // station's or the clock's hours, minutes and seconds show as one field
  // "time" (h:mm:ss), and a keyword that differs (a curve's side and
  // class) as the field "keyword".
  std::vector<FieldChange> fields;
};

// The changes in line order, then train order; within each description
// the general rows first (in the order of their kinds), then the rest by
// position (a moved row by its old one).
struct RowDiff {
  std::vector<RowChange> changes;

  bool empty() const { return changes.empty(); }
};

// One scenario's rows: its line description and its train description.
struct DescriptionRows {
  const RecoveredDescription* line = nullptr;
  const RecoveredDescription* train = nullptr;
};

// Compares the rows of old_rows with those of new_rows; the notes are not
// compared. REQUIRES: line and train set on both sides. Rows whose numbers
// fall short of their kind's fields compare as if the missing ones were
// absent.
RowDiff DiffRows(const DescriptionRows& old_rows,
                 const DescriptionRows& new_rows);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_ROW_DIFF_H_
