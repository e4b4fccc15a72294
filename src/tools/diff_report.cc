#include "tools/diff_report.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "base/strings.h"
#include "model/cell_items.h"
#include "tools/scenario_diff.h"

namespace scenario {
namespace {

// Keys in the order written, so that a change reads like its text line.
using json = nlohmann::ordered_json;

std::string Metres(double position) {
  return std::to_string(std::llround(position)) + " m";
}

std::string Value(const FieldValue& v, const std::string& unit) {
  std::string out;
  if (const auto* n = std::get_if<std::int64_t>(&v)) {
    out = std::to_string(*n);
  } else {
    out = QuotedName(std::get<std::string>(v));
  }
  if (!unit.empty()) out += " " + unit;
  return out;
}

std::string Value(const std::optional<FieldValue>& v, const std::string& unit) {
  return v ? Value(*v, unit) : std::string("(none)");
}

std::string ChangeText(const FieldChange& f) {
  return f.name + " " + Value(f.old_value, f.unit) + " -> " +
         Value(f.new_value, f.unit);
}

std::string LineText(const LineChange& c) {
  std::string out = std::string(ChangeName(c.change)) + " " + c.kind;
  if (c.stretch) {
    out += " from " + Metres(c.position) + " to " + Metres(c.end_position) +
           ", km " + c.km + " to " + c.end_km + " (cells " +
           std::to_string(c.first_cell) + "-" + std::to_string(c.last_cell) +
           "): ";
    // A stretch has its one property: no need to name it twice.
    const FieldChange& f = c.changes.front();
    return out + Value(f.old_value, "") + " -> " + Value(f.new_value, f.unit);
  }
  if (c.span) {
    out += " at " +
           SpanText({std::llround(c.position), std::llround(c.end_position)}) +
           ", km " + c.km + "-" + c.end_km;
  } else {
    out += " at " + Metres(c.position) + ", km " + c.km;
  }
  out += " (cell " + std::to_string(c.first_cell) + ")";
  std::string sep = ": ";
  for (const ItemField& f : c.fields) {
    out += sep + f.name + " " + Value(f.value, f.unit);
    sep = ", ";
  }
  for (const FieldChange& f : c.changes) {
    out += sep + ChangeText(f);
    sep = ", ";
  }
  return out;
}

std::string GridText(const GridChange& g) {
  if (!g.old_exists || !g.new_exists) {
    return std::string("line grid: only in the ") +
           (g.old_exists ? "old" : "new") + " scenario";
  }
  std::string out = "line grid:";
  if (g.old_metres != g.new_metres) {
    out += " metres 0 to " + std::to_string(g.old_metres - 1) + " -> 0 to " +
           std::to_string(g.new_metres - 1);
    if (g.first_metre) out += ";";
  }
  if (g.first_metre) {
    const std::string largest = StringPrintf("%.3f", g.largest);
    out += " differs from metre " + std::to_string(*g.first_metre) + ", km " +
           g.first_km;
    // Metres filled on one side only, or equal numbers stored apart
    // (0 and -0), move no point.
    if (g.largest > 0) {
      out += "; largest displacement " + largest + " m at metre " +
             std::to_string(g.largest_metre) + ", km " + g.largest_km;
    } else {
      out += "; no point moved";
    }
  }
  return out;
}

std::string CountText(const KindCount& k) {
  std::string out = k.kind;
  std::string sep = " ";
  for (const auto& [n, word] : {std::pair{k.added, "added"},
                                {k.removed, "removed"},
                                {k.changed, "changed"}}) {
    if (n == 0) continue;
    out += sep + std::to_string(n) + " " + word;
    sep = ", ";
  }
  return out;
}

json JsonValue(const FieldValue& v) {
  if (const auto* n = std::get_if<std::int64_t>(&v)) return *n;
  return std::get<std::string>(v);
}

json JsonValue(const std::optional<FieldValue>& v) {
  return v ? JsonValue(*v) : json(nullptr);
}

json JsonOldNew(const FieldChange& f) {
  json j = {{"old", JsonValue(f.old_value)}, {"new", JsonValue(f.new_value)}};
  if (!f.unit.empty()) j["unit"] = f.unit;
  return j;
}

// Fields and changes are objects keyed by the field's name (names are
// unique within an item).
json JsonLine(const LineChange& c) {
  json j = {{"change", ChangeName(c.change)}, {"kind", c.kind}};
  if (c.stretch) {
    j["first_cell"] = c.first_cell;
    j["last_cell"] = c.last_cell;
    j["position"] = std::llround(c.position);
    j["end_position"] = std::llround(c.end_position);
    j["km"] = c.km;
    j["end_km"] = c.end_km;
  } else if (c.span) {
    // The cell's span, as a stretch gives its ends.
    j["cell"] = c.first_cell;
    j["position"] = std::llround(c.position);
    j["end_position"] = std::llround(c.end_position);
    j["km"] = c.km;
    j["end_km"] = c.end_km;
  } else {
    j["cell"] = c.first_cell;
    j["position"] = std::llround(c.position);
    j["km"] = c.km;
  }
  if (c.change == Change::kChanged) {
    json changes = json::object();
    for (const FieldChange& f : c.changes) changes[f.name] = JsonOldNew(f);
    j["changes"] = changes;
  } else {
    json fields = json::object();
    json units = json::object();
    for (const ItemField& f : c.fields) {
      fields[f.name] = JsonValue(f.value);
      if (!f.unit.empty()) units[f.name] = f.unit;
    }
    j["fields"] = fields;
    j["units"] = units;
  }
  return j;
}

json JsonGrid(const GridChange& g) {
  json j = {{"old_exists", g.old_exists}, {"new_exists", g.new_exists}};
  if (g.old_exists) j["old_extended_length"] = g.old_metres - 1;
  if (g.new_exists) j["new_extended_length"] = g.new_metres - 1;
  if (g.first_metre) {
    j["first_metre"] = *g.first_metre;
    j["first_km"] = g.first_km;
    j["largest_displacement"] = g.largest;
    if (g.largest > 0) {
      j["largest_metre"] = g.largest_metre;
      j["largest_km"] = g.largest_km;
    }
  } else {
    j["first_metre"] = nullptr;
  }
  return j;
}

}  // namespace

bool SplitDiffInputs(const std::vector<std::string>& inputs,
                     std::vector<std::string>* old_inputs,
                     std::vector<std::string>* new_inputs) {
  if (inputs.size() < 2 || inputs.size() % 2 != 0) return false;
  const auto half = inputs.begin() + static_cast<long>(inputs.size() / 2);
  old_inputs->assign(inputs.begin(), half);
  new_inputs->assign(half, inputs.end());
  return true;
}

std::string FormatDiffText(const ScenarioDiff& diff) {
  std::string out;
  for (const SlotChange& s : diff.slots) {
    out += "slot " + std::to_string(s.slot) + " (" + s.role +
           "): " + ChangeText(s.field) + "\n";
  }
  if (diff.extent) {
    out += "cell array: " + std::to_string(diff.extent->old_cells) + " -> " +
           std::to_string(diff.extent->new_cells) + " cells\n";
  }
  for (const LineChange& c : diff.line) out += LineText(c) + "\n";
  if (diff.grid) out += GridText(*diff.grid) + "\n";
  if (!diff.counts.empty()) {
    std::string sep = "counts: ";
    for (const KindCount& k : diff.counts) {
      out += sep + CountText(k);
      sep = "; ";
    }
    out += "\n";
  }
  return out;
}

std::string FormatDiffJson(const ScenarioDiff& diff) {
  json slots = json::array();
  for (const SlotChange& s : diff.slots) {
    json j = {{"slot", s.slot}, {"role", s.role}, {"field", s.field.name}};
    j.update(JsonOldNew(s.field));
    slots.push_back(j);
  }
  json line = json::array();
  for (const LineChange& c : diff.line) line.push_back(JsonLine(c));
  json counts = json::array();
  for (const KindCount& k : diff.counts) {
    counts.push_back({{"kind", k.kind},
                      {"added", k.added},
                      {"removed", k.removed},
                      {"changed", k.changed}});
  }
  json doc = {{"identical", diff.empty()}, {"slots", slots},
              {"cell_array", nullptr},     {"line", line},
              {"grid", nullptr},           {"counts", counts}};
  if (diff.extent) {
    doc["cell_array"] = {{"old_cells", diff.extent->old_cells},
                         {"new_cells", diff.extent->new_cells}};
  }
  if (diff.grid) doc["grid"] = JsonGrid(*diff.grid);
  // Texts come from the files and may hold any bytes.
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace scenario
