#include "model/cell_item_json.h"

#include <string>
#include <variant>
#include <vector>

#include "model/cell_items.h"

namespace scenario {

using nlohmann::json;

std::string KilometreText(const std::optional<KilometreAxis>& axis,
                          double position) {
  return axis ? FormatKilometre(axis->Reading(position)) : std::string("-");
}

ItemPlace PlaceOf(const TrackCell& c, std::int64_t cell,
                  const std::optional<KilometreAxis>& axis) {
  ItemPlace place;
  place.at = ItemPositionText(c, cell);
  if (ItemRowIsKnown(c)) {
    place.sort_at = ItemPosition(c, cell);
    place.km = KilometreText(axis, place.sort_at);
    return place;
  }
  const CellSpan span = SpanOfCell(cell);
  place.span = span;
  place.sort_at = static_cast<double>(span.from);
  place.km = axis ? KilometreText(axis, static_cast<double>(span.from)) + "-" +
                        KilometreText(axis, static_cast<double>(span.to))
                  : std::string("-");
  return place;
}

json ItemFieldsJson(const TrackCell& c, std::int64_t cell,
                    const ParamTable* params) {
  json fields = json::object();
  for (const ItemField& f : ItemFields(c, cell, params)) {
    if (const std::string* text = std::get_if<std::string>(&f.value)) {
      fields[f.name] = *text;
    } else {
      fields[f.name] = std::get<std::int64_t>(f.value);
    }
  }
  return fields;
}

json CellItemJson(const TrackCell& c, std::int64_t cell,
                  const ParamTable* params,
                  const std::optional<KilometreAxis>& axis) {
  const ItemPlace place = PlaceOf(c, cell, axis);
  json entry = {{"cell", cell},
                {"position", place.span ? json(nullptr) : json(place.sort_at)},
                {"km", place.km},
                {"kind", c.kind},
                {"name", HasItem(c) ? ItemName(c, cell) : "approach mark"},
                {"fields", ItemFieldsJson(c, cell, params)}};
  entry["approach_mark"] = c.b11 == 0 ? json(nullptr) : json(c.b11);
  if (place.span) {
    entry["span"] = {{"from", place.span->from}, {"to", place.span->to}};
  }
  return entry;
}

}  // namespace scenario
