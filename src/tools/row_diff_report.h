#ifndef SCENARIO_TOOLS_ROW_DIFF_REPORT_H_
#define SCENARIO_TOOLS_ROW_DIFF_REPORT_H_

// diff --rows' listing of a row diff, as text and as JSON.

#include <string>

namespace scenario {

struct RowDiff;

// One line per change, in the diff's order:
//   slowdown at 17000 m moved to 17500 m, v 30 -> 40 km/h
//   station "Tarvo San Rocco" at 3100 m: time 17:18:00 -> 17:19:00
//   gradient from 1250 m: -4 -> -5 per mille
//   slowdown added at 23000 m: v 60 km/h, l 800 m, ...
//   signal removed at 12050 m
//   line length: 185700 -> 186000 m
// A row with one field besides its position shows that field's values
// without its name; texts are quoted, times read h:mm:ss. Empty when
// nothing changed.
std::string FormatRowDiffText(const RowDiff& diff);

// The same as one JSON object: "identical", and "changes", each with its
// description ("line" or "train"), kind, change (added, removed, moved,
// changed), "position" (or "old_position" and "new_position" for a move;
// none for a general row), a station's "station" name, "run" for a
// profile's run, and "fields": per field name its "old" and "new" (null
// on the side that lacks it) and its "unit" when it has one.
std::string FormatRowDiffJson(const RowDiff& diff);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_ROW_DIFF_REPORT_H_
