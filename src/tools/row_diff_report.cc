#include "tools/row_diff_report.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "base/strings.h"
#include "line/row_fields.h"
#include "tools/row_diff.h"

namespace scenario {
namespace {

// Keys in the order written, so that a change reads like its text line.
using json = nlohmann::ordered_json;

std::string Metres(std::int64_t at) { return std::to_string(at) + " m"; }

bool IsTime(const FieldChange& f) { return f.name == "time"; }

std::string Value(const std::optional<FieldValue>& v, const FieldChange& f) {
  if (!v) return "(none)";
  if (const auto* n = std::get_if<std::int64_t>(&*v)) return std::to_string(*n);
  const std::string& text = std::get<std::string>(*v);
  return IsTime(f) ? text : QuotedName(text);
}

std::string WithUnit(std::string value, const FieldChange& f) {
  return f.unit.empty() ? value : value + " " + f.unit;
}

// True when the row kind has one field besides its position (the hours,
// minutes and seconds of a time being one), so that naming it says
// nothing: "gradient from 1250 m: -4 -> -5 per mille".
bool OneField(const RowChange& c) {
  if (c.fields.size() != 1 || c.fields.front().name == "keyword") return false;
  std::size_t n = RowFields(c.kind).size();
  if (c.old_position || c.new_position) --n;
  for (const FieldGuide& g : RowFields(c.kind)) {
    if (g.name == "hours") n -= 2;
  }
  return n == 1;
}

std::string FieldsText(const RowChange& c) {
  const bool named = !OneField(c);
  std::string out;
  for (const FieldChange& f : c.fields) {
    if (!out.empty()) out += ", ";
    if (named) out += f.name + " ";
    if (c.change == RowChangeKind::kAdded) {
      out += WithUnit(Value(f.new_value, f), f);
    } else {
      out +=
          Value(f.old_value, f) + " -> " + WithUnit(Value(f.new_value, f), f);
    }
  }
  return out;
}

// "at 17000 m", "from 1250 m" for a run; "" for a general row.
std::string Where(const RowChange& c, const std::optional<std::int64_t>& at) {
  if (!at) return "";
  return std::string(c.run ? " from " : " at ") + Metres(*at);
}

std::string ChangeText(const RowChange& c) {
  std::string out(RowKindName(c.kind));
  if (c.kind == RowKind::kStation) out += " " + QuotedName(c.station);
  switch (c.change) {
    case RowChangeKind::kRemoved:
      return out + " removed" + Where(c, c.old_position);
    case RowChangeKind::kAdded:
      out += " added" + Where(c, c.new_position);
      return c.fields.empty() ? out : out + ": " + FieldsText(c);
    case RowChangeKind::kMoved:
      out += Where(c, c.old_position) + " moved to " +
             (c.new_position ? Metres(*c.new_position) : "(none)");
      return c.fields.empty() ? out : out + ", " + FieldsText(c);
    case RowChangeKind::kChanged:
      return out + Where(c, c.old_position) + ": " + FieldsText(c);
  }
  return out;
}

json JsonValue(const std::optional<FieldValue>& v) {
  if (!v) return nullptr;
  if (const auto* n = std::get_if<std::int64_t>(&*v)) return *n;
  return std::get<std::string>(*v);
}

json JsonChange(const RowChange& c) {
  json j = {{"description", RowHalfName(c.half)},
            {"kind", std::string(RowKindName(c.kind))},
            {"change", RowChangeName(c.change)}};
  if (c.change == RowChangeKind::kMoved) {
    j["old_position"] = c.old_position ? json(*c.old_position) : json();
    j["new_position"] = c.new_position ? json(*c.new_position) : json();
  } else if (c.old_position || c.new_position) {
    j["position"] = c.old_position ? *c.old_position : *c.new_position;
  }
  if (c.kind == RowKind::kStation) j["station"] = c.station;
  if (c.run) j["run"] = true;
  json fields = json::object();
  for (const FieldChange& f : c.fields) {
    json field = {{"old", JsonValue(f.old_value)},
                  {"new", JsonValue(f.new_value)}};
    if (!f.unit.empty()) field["unit"] = f.unit;
    fields[f.name] = std::move(field);
  }
  j["fields"] = std::move(fields);
  return j;
}

}  // namespace

std::string FormatRowDiffText(const RowDiff& diff) {
  std::string out;
  for (const RowChange& c : diff.changes) out += ChangeText(c) + "\n";
  return out;
}

std::string FormatRowDiffJson(const RowDiff& diff) {
  json changes = json::array();
  for (const RowChange& c : diff.changes) changes.push_back(JsonChange(c));
  const json doc = {{"identical", diff.empty()}, {"changes", changes}};
  // Texts come from the files and may hold any bytes.
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace scenario
