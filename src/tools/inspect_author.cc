#include "tools/inspect_author.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <variant>

#include "base/strings.h"
#include "base/windows1252.h"
#include "line/row_fields.h"
#include "model/cell_item_json.h"
#include "model/cell_items.h"
#include "model/kilometre_axis.h"

namespace scenario {

namespace {

using nlohmann::json;

std::string Number(std::int64_t v) { return std::to_string(v); }

// The station row's fields that its slot keeps as given: fields 4 to 13.
constexpr std::size_t kFirstStoredStationField = 3;

std::string Quoted(const std::string& windows1252) {
  return QuotedName(Windows1252ToUtf8(windows1252));
}

// --- the cell file -------------------------------------------------------

// The line's properties at one cell, in author units.
struct Profile {
  int gradient;     // per mille
  int speed_limit;  // km/h
  int adhesion;
  int mountain;  // mountain-side type, 0 outside a stretch

  bool operator==(const Profile&) const = default;
};

Profile ProfileOf(const TrackCell& c) {
  return {GradientPerMille(c), SpeedLimitKmh(c), c.adhesion, c.mountain};
}

// The changes from before to now, as "gradient -11 per mille, ...".
std::string ProfileChanges(const std::optional<Profile>& before,
                           const Profile& now) {
  std::string out;
  auto add = [&out](const std::string& part) {
    if (!out.empty()) out += ", ";
    out += part;
  };
  if (!before || before->gradient != now.gradient) {
    add("gradient " + Number(now.gradient) + " per mille");
  }
  if (!before || before->speed_limit != now.speed_limit) {
    add("speed limit " + Number(now.speed_limit) + " km/h");
  }
  if (!before || before->adhesion != now.adhesion) {
    add("adhesion " + Number(now.adhesion));
  }
  if (!before || before->mountain != now.mountain) {
    add(now.mountain == 0 ? std::string("no mountain side")
                          : "mountain side type " + Number(now.mountain));
  }
  return out;
}

std::string FieldText(const ItemField& f) {
  std::string value;
  if (const std::string* text = std::get_if<std::string>(&f.value)) {
    value = QuotedName(*text);
  } else {
    value = std::to_string(std::get<std::int64_t>(f.value));
  }
  if (!f.unit.empty()) value += " " + f.unit;
  return f.name + " " + value;
}

std::string ItemText(const TrackCell& c, std::int64_t cell,
                     const ParamTable* params) {
  std::string out = ItemName(c, cell);
  const std::vector<ItemField> fields = ItemFields(c, cell, params);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    out += (i == 0 ? ": " : ", ") + FieldText(fields[i]);
  }
  return out;
}

std::string Kilometre(const std::optional<KilometreAxis>& axis, double p) {
  return KilometreText(axis, p);
}

std::string Dump(const json& doc) {
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

// Walks the cells in order: on_profile(cell, now, before) where the line's
// properties change (at every cell with all), then on_item(cell) where an
// item or an approach mark stands.
template <typename OnProfile, typename OnItem>
void WalkCells(const std::vector<TrackCell>& cells, bool all,
               OnProfile on_profile, OnItem on_item) {
  std::optional<Profile> before;
  const std::int64_t count = static_cast<std::int64_t>(cells.size());
  for (std::int64_t i = 0; i < count; ++i) {
    const TrackCell& c = cells[i];
    const Profile now = ProfileOf(c);
    if (!before || !(now == *before) || all) {
      on_profile(i, now, before);
      before = now;
    }
    if (HasItem(c) || c.b11 != 0) on_item(i);
  }
}

std::string CellsJson(const std::vector<TrackCell>& cells,
                      const ParamTable* params, bool all) {
  std::optional<KilometreAxis> axis;
  if (params != nullptr) axis.emplace(*params);
  json items = json::array();
  json profile = json::array();
  const auto on_profile = [&](std::int64_t i, const Profile& now,
                              const std::optional<Profile>&) {
    const double at = ProfilePosition(i);
    profile.push_back({{"cell", i},
                       {"position", at},
                       {"km", Kilometre(axis, at)},
                       {"gradient", now.gradient},
                       {"speed_limit", now.speed_limit},
                       {"adhesion", now.adhesion},
                       {"mountain", now.mountain}});
  };
  const auto on_item = [&](std::int64_t i) {
    items.push_back(CellItemJson(cells[i], i, params, axis));
  };
  WalkCells(cells, all, on_profile, on_item);
  const std::int64_t count = static_cast<std::int64_t>(cells.size());
  return Dump({{"file", "cells"},
               {"cell_count", count},
               {"last_cell", count - 1},
               {"kilometres", params != nullptr},
               {"items", items},
               {"profile", profile}});
}

std::string CellsText(const std::vector<TrackCell>& cells,
                      const ParamTable* params, bool all) {
  std::optional<KilometreAxis> axis;
  if (params != nullptr) axis.emplace(*params);
  // Listing lines by position: an item stands up to one cell before the
  // cell that holds it, so the lines are sorted (stably: a change of the
  // profile comes before the items at the same metre).
  std::vector<std::pair<double, std::string>> lines;
  const auto on_profile = [&](std::int64_t i, const Profile& now,
                              const std::optional<Profile>& before) {
    const double at = ProfilePosition(i);
    const std::string changes =
        ProfileChanges(all ? std::nullopt : before, now);
    lines.emplace_back(
        at,
        StringPrintf("%10.0f m  %9s  cell %6lld  from here: ", at,
                     Kilometre(axis, at).c_str(), static_cast<long long>(i)) +
            changes + "\n");
  };
  const auto on_item = [&](std::int64_t i) {
    const TrackCell& c = cells[i];
    const ItemPlace place = PlaceOf(c, i, axis);
    std::string what = HasItem(c) ? ItemText(c, i, params) : std::string();
    if (c.b11 != 0) {
      what += (what.empty() ? "" : "; ") + std::string("approach mark ") +
              Number(c.b11);
    }
    lines.emplace_back(
        place.sort_at,
        StringPrintf("%12s  %9s  cell %6lld  ", place.at.c_str(),
                     place.km.c_str(), static_cast<long long>(i)) +
            what + "\n");
  };
  WalkCells(cells, all, on_profile, on_item);

  const std::int64_t count = static_cast<std::int64_t>(cells.size());
  std::string head = "cell file: " + Number(count) + " cells (last_cell " +
                     Number(count - 1) + "), metres 0 to " +
                     Number((count - 1) * 50) + "\n";
  if (params == nullptr) {
    head +=
        "(no parameter file beside it: no kilometre readings, station "
        "names or board texts)\n";
  }
  std::stable_sort(
      lines.begin(), lines.end(),
      [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [at, line] : lines) head += line;
  return head;
}

// --- the parameter file --------------------------------------------------

// Where a parameter table's stations and board texts lie. Stations fill
// the slots from 1 upwards, the board texts those from 80 downwards: every
// slot in between is empty.
struct ParamLayout {
  int last_station = 0;
  std::vector<int> boards;  // their slots, from 80 downwards
};

ParamLayout LayoutOf(const ParamTable& t) {
  ParamLayout layout;
  while (layout.last_station + 1 < kFirstBoardTextSlot &&
         !t[layout.last_station + 1].empty()) {
    ++layout.last_station;
  }
  for (int k = kFirstBoardTextSlot; k > layout.last_station; --k) {
    if (!t[k].empty()) layout.boards.push_back(k);
  }
  return layout;
}

// The clock at the start of the run, h:mm:ss.
std::string StartClock(const ParamSlot& train) {
  return ClockText(std::int64_t{train.int3} * 3600 + train.int4 * 60 +
                   train.int5);
}

// The station row's fields 4 to 13 as its slot keeps them, by the names
// the row field table gives them.
struct StoredField {
  std::string_view name;
  std::int64_t value;
};
std::vector<StoredField> StoredStationFields(const ParamSlot& s) {
  const std::int64_t values[] = {s.byte2, s.byte6, s.byte5, s.int1, s.int2,
                                 s.byte3, s.int3,  s.int4,  s.int5, s.byte4};
  const auto fields = RowFields(RowKind::kStation);
  std::vector<StoredField> out;
  for (std::size_t i = 0; i < std::size(values); ++i) {
    out.push_back({fields[kFirstStoredStationField + i].name, values[i]});
  }
  return out;
}

json StationJson(const ParamSlot& s, int k, const KilometreAxis& axis) {
  json row_fields = json::object();
  for (const StoredField& f : StoredStationFields(s)) {
    row_fields[std::string(f.name)] = f.value;
  }
  return {{"slot", k},
          {"name", Windows1252ToUtf8(s.text)},
          {"kind", s.byte1},
          {"position", s.long3},
          {"km", FormatKilometre(axis.Reading(s.long3))},
          {"stretch_start", s.long1},
          {"stretch_end", s.long2},
          {"time", s.long4 == 0 ? json(nullptr) : json(ClockText(s.long4))},
          {"time_seconds", s.long4},
          {"row_fields", row_fields}};
}

std::string ParamsJson(const ParamTable& t, const ParamLayout& layout) {
  const KilometreAxis axis(t);
  const ParamSlot& general = t[kGeneralSlot];
  const ParamSlot& line = t[kLineSlot];
  const ParamSlot& train = t[kTrainSlot];
  json stations = json::array();
  for (int k = 1; k <= layout.last_station; ++k) {
    stations.push_back(StationJson(t[k], k, axis));
  }
  json records = json::array();
  for (int k = kKilometreSlotFirst; k <= kKilometreSlotLast; ++k) {
    records.push_back({{"slot", k},
                       {"start", t[k].long1},
                       {"offset", t[k].long2},
                       {"flag", t[k].long3}});
  }
  json board_texts = json::array();
  for (int k : layout.boards) {
    board_texts.push_back(
        {{"slot", k}, {"text", Windows1252ToUtf8(t[k].text)}});
  }
  return Dump(
      {{"file", "params"},
       {"line_name", Windows1252ToUtf8(line.text)},
       {"train_name", Windows1252ToUtf8(train.text)},
       {"line_length", general.long2},
       {"coaches", general.long3},
       {"braked_mass_percent", general.long1},
       {"sand", train.int1},
       {"clock", StartClock(train)},
       {"scenery",
        {{"uno", line.long1}, {"due", line.long3}, {"tre", line.long2}}},
       {"signal_repetition",
        {{"start", train.long1}, {"end", train.long2}, {"codes", train.long3}}},
       {"header_mark", line.int1},
       {"weighted_race_code", line.long4},
       {"kilometre_records", records},
       {"stations", stations},
       {"boards", board_texts}});
}

// The names, the general values, the signal repetition and the header.
std::string ParamsHeadText(const ParamTable& t) {
  const ParamSlot& general = t[kGeneralSlot];
  const ParamSlot& line = t[kLineSlot];
  const ParamSlot& train = t[kTrainSlot];
  std::string out = "parameter file: line " + Quoted(line.text) + ", train " +
                    Quoted(train.text) + "\n";
  out += "line length " + Number(general.long2) + " m; " +
         Number(general.long3) + " coaches; braked mass " +
         Number(general.long1) + " %; sand " + Number(train.int1) +
         "; clock at start " + StartClock(train) + "\n";
  out += "scenery: sfondo uno " + Number(line.long1) + ", due " +
         Number(line.long3) + ", tre " + Number(line.long2) + "\n";
  if (train.long3 == 0) {
    out += "signal repetition: none\n";
  } else {
    out += "signal repetition: " + Number(train.long1) + " m to " +
           Number(train.long2) + " m, " + Number(train.long3) + " codes\n";
  }
  out += "header: mark " + Number(line.int1) + ", weighted race code " +
         Number(line.long4) + "\n";
  return out;
}

std::string ParamsText(const ParamTable& t, const ParamLayout& layout) {
  const KilometreAxis axis(t);
  std::string out = ParamsHeadText(t);
  out += "kilometre records (start, offset, flag):\n";
  for (int k = kKilometreSlotFirst; k <= kKilometreSlotLast; ++k) {
    out += "  slot " + Number(k) + ": " + Number(t[k].long1) + " m, " +
           Number(t[k].long2) + " m, " + Number(t[k].long3) + "\n";
  }
  out += "stations (" + Number(layout.last_station) + "):\n";
  for (int k = 1; k <= layout.last_station; ++k) {
    const ParamSlot& s = t[k];
    out += StringPrintf(
        "  %2d  %9d m  km %-9s  %-8s  kind %3d  stretch %d to %d m  ", k,
        s.long3, FormatKilometre(axis.Reading(s.long3)).c_str(),
        s.long4 == 0 ? "-" : ClockText(s.long4).c_str(), s.byte1, s.long1,
        s.long2);
    std::string sep;
    for (const StoredField& f : StoredStationFields(s)) {
      out += sep + std::string(f.name) + " " + Number(f.value);
      sep = ", ";
    }
    out += "  " + Quoted(s.text) + "\n";
  }
  out += "indicator boards (" + Number(static_cast<int>(layout.boards.size())) +
         "):\n";
  for (int k : layout.boards) {
    out += "  slot " + Number(k) + ": " + Quoted(t[k].text) + "\n";
  }
  return out;
}

}  // namespace

std::string RenderCellsForAuthors(const std::vector<TrackCell>& cells,
                                  const ParamTable* params, bool json_out,
                                  bool all) {
  return json_out ? CellsJson(cells, params, all)
                  : CellsText(cells, params, all);
}

std::string RenderParamsForAuthors(const ParamTable& t, bool json_out) {
  const ParamLayout layout = LayoutOf(t);
  return json_out ? ParamsJson(t, layout) : ParamsText(t, layout);
}

}  // namespace scenario
