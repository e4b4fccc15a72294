#ifndef SCENARIO_TOOLS_SCENARIO_DIFF_H_
#define SCENARIO_TOOLS_SCENARIO_DIFF_H_

// What changed between two compiled scenarios, in the author's terms: the
// parameter slots by field name, the items of the cell array and the
// stretches where the line's properties differ, in position order, and the
// line grid's largest displacement. Works on decoded files only.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/cell_items.h"
#include "model/line_grid.h"
#include "model/param_table.h"
#include "model/track_cells.h"

namespace scenario {

// One side of the comparison: the decoded files. grid is null when the
// scenario has no line grid file.
struct DiffSide {
  const std::vector<TrackCell>* cells = nullptr;
  const ParamTable* table = nullptr;
  const LineGrid* grid = nullptr;
};

enum class Change { kAdded, kRemoved, kChanged };

// "added", "removed", "changed".
const char* ChangeName(Change change);

// A field on both sides; absent on a side that has no such field.
struct FieldChange {
  std::string name;
  std::optional<FieldValue> old_value;
  std::optional<FieldValue> new_value;
  std::string unit;
};

// A parameter slot's field that differs.
struct SlotChange {
  int slot = 0;
  // What the slot holds: "general values", "station 3", "board text",
  // "kilometre record", ... and the field's name in those terms.
  std::string role;
  FieldChange field;
};

// Something that changed along the line. An item (a kind of cell, or an
// approach mark) stands in one cell; a line property differs over a
// stretch of cells, with the same old and new value throughout.
struct LineChange {
  Change change = Change::kChanged;
  std::string kind;  // the item's name, "approach mark", or a property
  bool stretch = false;
  // An item whose row the files do not tell (an approach mark, a stop
  // mark, ...): position and end_position are its cell's span
  // (ItemPositionText), not a position of its own.
  bool span = false;
  std::int64_t first_cell = 0;
  std::int64_t last_cell = 0;
  double position = 0;      // metres
  double end_position = 0;  // a stretch's or span's end, else position
  std::string km;           // readings of position and end_position
  std::string end_km;
  // Added or removed: every field of the item. Changed: the fields that
  // differ (a stretch: its one property).
  std::vector<ItemField> fields;
  std::vector<FieldChange> changes;
};

// The cell arrays' lengths, when they differ. Cells beyond the shorter
// array appear as added or removed items; their properties are not
// compared.
struct ExtentChange {
  std::int64_t old_cells = 0;
  std::int64_t new_cells = 0;
};

// How the plans of the line differ.
struct GridChange {
  bool old_exists = false;
  bool new_exists = false;
  std::int64_t old_metres = 0;  // extended_length + 1, when it exists
  std::int64_t new_metres = 0;
  // Over the metres both grids hold: the first metre where they differ,
  // and the largest distance between the two points of one metre (metres
  // that are empty on one side only count as differing but have no
  // distance).
  std::optional<std::int64_t> first_metre;
  std::string first_km;
  double largest = 0;
  std::int64_t largest_metre = 0;
  std::string largest_km;
};

struct KindCount {
  std::string kind;
  int added = 0;
  int removed = 0;
  int changed = 0;
};

struct ScenarioDiff {
  std::vector<SlotChange> slots;  // in slot order
  std::optional<ExtentChange> extent;
  std::vector<LineChange> line;  // in position order
  std::optional<GridChange> grid;
  // Per kind, in order of first appearance: parameter fields (kind
  // "parameter"), the line's changes, the grid ("line grid").
  std::vector<KindCount> counts;

  bool empty() const {
    return slots.empty() && !extent && line.empty() && !grid;
  }
};

// Compares old_side with new_side. REQUIRES: cells and table set on both
// sides.
ScenarioDiff DiffScenarios(const DiffSide& old_side, const DiffSide& new_side);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_DIFF_H_
