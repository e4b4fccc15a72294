#ifndef SCENARIO_MODEL_CELL_ITEM_JSON_H_
#define SCENARIO_MODEL_CELL_ITEM_JSON_H_

// What stands in one cell as a JSON object, the one form every JSON view
// of a compiled cell file gives it (inspect --json, the HTML sheet's
// data): {"cell", "position", "km", "kind", "name", "fields",
// "approach_mark"} and, for content placed by the cell's own span
// (ItemRowIsKnown false), "span" {"from", "to"} with "position" null.
// The names, fields and positions are those of model/cell_items.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "model/cell_items.h"
#include "model/kilometre_axis.h"
#include "model/track_cells.h"

namespace scenario {

class ParamTable;

// Where a cell's content is listed (ItemPositionText): its row's position,
// or the cell's span with the readings of both ends.
struct ItemPlace {
  double sort_at = 0;  // metres: the position, or the span's start
  std::string at;      // "1000 m", "950-1000 m"
  std::string km;      // "1+000", "0+950-1+000", "-" without readings
  std::optional<CellSpan> span;
};

// axis: the scenario's kilometre readings; absent without a parameter
// file, which gives "-" for every reading.
ItemPlace PlaceOf(const TrackCell& c, std::int64_t cell,
                  const std::optional<KilometreAxis>& axis);

// "-" without an axis.
std::string KilometreText(const std::optional<KilometreAxis>& axis,
                          double position);

// The item's fields (ItemFields) as one object, field name to value.
nlohmann::json ItemFieldsJson(const TrackCell& c, std::int64_t cell,
                              const ParamTable* params);

// REQUIRES: something stands in the cell (HasItem) or it carries an
// approach mark (b11 != 0). params and axis may be absent, as above.
nlohmann::json CellItemJson(const TrackCell& c, std::int64_t cell,
                            const ParamTable* params,
                            const std::optional<KilometreAxis>& axis);

}  // namespace scenario

#endif  // SCENARIO_MODEL_CELL_ITEM_JSON_H_
