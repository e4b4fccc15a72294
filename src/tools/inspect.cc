#include "tools/inspect.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <vector>

#include "base/file_system.h"
#include "base/strings.h"
#include "base/windows1252.h"
#include "model/cell_file.h"
#include "model/cell_items.h"
#include "model/grid_file.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/track_cells.h"
#include "tools/inspect_author.h"

namespace scenario {

namespace {

using nlohmann::json;

// The storage view lists a cell when an item stands there or one of its
// item fields is set, the approach mark (b11) included (cell 1 carries the
// header values with kind 0).
bool HasStoredItem(const TrackCell& c) {
  return c.kind != 0 || c.w2 != 0 || c.w4 != 0 || c.w6 != 0 || c.w8 != 0 ||
         c.b10 != 0 || c.b11 != 0;
}

std::string RenderCells(const std::vector<TrackCell>& cells,
                        const InspectOptions& o) {
  if (o.json) {
    json list = json::array();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const TrackCell& c = cells[i];
      if (!o.all && !HasStoredItem(c)) continue;
      list.push_back({{"index", i},
                      {"kind", c.kind},
                      {"kind_name", KindName(c.kind)},
                      {"w2", c.w2},
                      {"w4", c.w4},
                      {"w6", c.w6},
                      {"w8", c.w8},
                      {"b10", c.b10},
                      {"b11", c.b11},
                      {"mountain", c.mountain},
                      {"speed_step", c.speed_step},
                      {"gradient", c.gradient},
                      {"adhesion", c.adhesion}});
    }
    json doc = {{"file", "cells"},
                {"cell_count", cells.size()},
                {"last_cell", cells.size() - 1},
                {"cells", list}};
    return doc.dump(2) + "\n";
  }
  std::string out = StringPrintf("cell file: %zu cells (last_cell %zu)\n",
                                 cells.size(), cells.size() - 1);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& c = cells[i];
    if (!o.all && !HasStoredItem(c)) continue;
    // At the same position as the author view and diff show it.
    const std::string at = ItemPositionText(c, static_cast<std::int64_t>(i));
    out += StringPrintf(
        "cell %7zu  %17s  %-16s w2=%d w4=%d w6=%d w8=%d b10=%d b11=%d  "
        "mountain=%d speed_step=%d gradient=%d adhesion=%d\n",
        i, at.c_str(), KindName(c.kind).c_str(), c.w2, c.w4, c.w6, c.w8, c.b10,
        c.b11, c.mountain, c.speed_step, c.gradient, c.adhesion);
  }
  return out;
}

std::string RenderParams(const ParamTable& table, const InspectOptions& o) {
  if (o.json) {
    json list = json::array();
    for (int i = 0; i < kParamSlotCount; ++i) {
      const ParamSlot& s = table[i];
      if (!o.all && s.empty()) continue;
      list.push_back({{"slot", i},
                      {"byte1", s.byte1},
                      {"long1", s.long1},
                      {"long2", s.long2},
                      {"long3", s.long3},
                      {"byte2", s.byte2},
                      {"text", Windows1252ToUtf8(s.text)},
                      {"int1", s.int1},
                      {"int2", s.int2},
                      {"int3", s.int3},
                      {"int4", s.int4},
                      {"int5", s.int5},
                      {"byte3", s.byte3},
                      {"byte4", s.byte4},
                      {"byte5", s.byte5},
                      {"byte6", s.byte6},
                      {"long4", s.long4}});
    }
    json doc = {{"file", "params"}, {"slots", list}};
    return doc.dump(2) + "\n";
  }
  std::string out = "parameter file: 87 slots\n";
  for (int i = 0; i < kParamSlotCount; ++i) {
    const ParamSlot& s = table[i];
    if (!o.all && s.empty()) continue;
    out += StringPrintf(
        "slot %2d: byte1=%d long1=%d long2=%d long3=%d byte2=%d "
        "int1=%d int2=%d int3=%d int4=%d int5=%d byte3=%d byte4=%d "
        "byte5=%d byte6=%d long4=%d",
        i, s.byte1, s.long1, s.long2, s.long3, s.byte2, s.int1, s.int2, s.int3,
        s.int4, s.int5, s.byte3, s.byte4, s.byte5, s.byte6, s.long4);
    out += " text=" + QuotedName(Windows1252ToUtf8(s.text)) + "\n";
  }
  return out;
}

const char* TagName(GridTag tag) {
  switch (tag) {
    case GridTag::kEmpty:
      return "empty";
    case GridTag::kInt16:
      return "int16";
    case GridTag::kDouble:
      return "double";
  }
  return "?";
}

// What a grid holds: its elements by tag, and the extent of the placed
// ones.
struct GridStats {
  std::int64_t counts[3] = {0, 0, 0};  // empty, int16, double
  bool any = false;                    // an element is placed
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
};

GridStats StatsOf(const LineGrid& grid) {
  GridStats st;
  for (std::int64_t m = 0; m < grid.size(); ++m) {
    const GridTag tag = grid.tag(m);
    st.counts[tag == GridTag::kEmpty ? 0 : tag == GridTag::kInt16 ? 1 : 2]++;
    if (tag == GridTag::kEmpty) continue;
    if (!st.any) {
      st.min_x = st.max_x = grid.x(m);
      st.min_y = st.max_y = grid.y(m);
      st.any = true;
    }
    st.min_x = std::min(st.min_x, grid.x(m));
    st.max_x = std::max(st.max_x, grid.x(m));
    st.min_y = std::min(st.min_y, grid.y(m));
    st.max_y = std::max(st.max_y, grid.y(m));
  }
  return st;
}

// The metres sampled: every grid_every metres, and the last metre.
std::vector<std::int64_t> Samples(const LineGrid& grid, int grid_every) {
  std::vector<std::int64_t> samples;
  for (std::int64_t m = 0; m < grid.size(); m += grid_every) {
    samples.push_back(m);
  }
  if (samples.empty() || samples.back() != grid.size() - 1) {
    samples.push_back(grid.size() - 1);
  }
  return samples;
}

std::string GridJson(const LineGrid& grid, const GridStats& st,
                     const std::vector<std::int64_t>& samples) {
  json list = json::array();
  for (std::int64_t m : samples) {
    json sample = {{"metre", m}, {"tag", TagName(grid.tag(m))}};
    if (grid.tag(m) != GridTag::kEmpty) {
      sample["x"] = grid.x(m);
      sample["y"] = grid.y(m);
    }
    list.push_back(sample);
  }
  json doc = {{"file", "grid"},         {"extended_length", grid.size() - 1},
              {"empty", st.counts[0]},  {"int16", st.counts[1]},
              {"double", st.counts[2]}, {"samples", list}};
  if (st.any) {
    doc["extent"] = {{"min_x", st.min_x},
                     {"max_x", st.max_x},
                     {"min_y", st.min_y},
                     {"max_y", st.max_y}};
  }
  return doc.dump(2) + "\n";
}

std::string RenderGrid(const LineGrid& grid, const InspectOptions& o) {
  const GridStats st = StatsOf(grid);
  const std::vector<std::int64_t> samples = Samples(grid, o.grid_every);
  if (o.json) return GridJson(grid, st, samples);
  std::string out = StringPrintf(
      "line grid: metres 0 to %lld; %lld empty, %lld int16, %lld double\n",
      static_cast<long long>(grid.size() - 1),
      static_cast<long long>(st.counts[0]),
      static_cast<long long>(st.counts[1]),
      static_cast<long long>(st.counts[2]));
  if (st.any) {
    out += StringPrintf("extent: x %.3f to %.3f, y %.3f to %.3f\n", st.min_x,
                        st.max_x, st.min_y, st.max_y);
  }
  for (std::int64_t m : samples) {
    if (grid.tag(m) == GridTag::kEmpty) {
      out += StringPrintf("metre %8lld: empty\n", static_cast<long long>(m));
    } else {
      out += StringPrintf("metre %8lld: x=%.6f y=%.6f (%s)\n",
                          static_cast<long long>(m), grid.x(m), grid.y(m),
                          TagName(grid.tag(m)));
    }
  }
  return out;
}

}  // namespace

std::optional<BinaryKind> BinaryKindFromName(std::string_view path) {
  if (path.ends_with("_linea.dat")) return BinaryKind::kGrid;
  if (path.ends_with(".dat")) return BinaryKind::kCells;
  if (path.ends_with(".sim")) return BinaryKind::kParams;
  return std::nullopt;
}

std::optional<BinaryKind> BinaryKindFromWord(std::string_view word) {
  if (word == "cells") return BinaryKind::kCells;
  if (word == "params") return BinaryKind::kParams;
  if (word == "grid") return BinaryKind::kGrid;
  return std::nullopt;
}

bool InspectImage(std::string_view image, BinaryKind kind,
                  const InspectOptions& options, std::string* out,
                  std::string* error) {
  switch (kind) {
    case BinaryKind::kCells: {
      std::vector<TrackCell> cells;
      if (!DecodeCellFile(image, &cells)) {
        *error = "not a cell file: its size (" + std::to_string(image.size()) +
                 " bytes) is not a positive multiple of 15";
        return false;
      }
      *out = options.raw ? RenderCells(cells, options)
                         : RenderCellsForAuthors(cells, options.params,
                                                 options.json, options.all);
      return true;
    }
    case BinaryKind::kParams: {
      ParamTable table;
      if (!DecodeParamFile(image, &table)) {
        *error = "not a parameter file: its " + std::to_string(image.size()) +
                 " bytes do not hold exactly 87 packed slots";
        return false;
      }
      *out = options.raw ? RenderParams(table, options)
                         : RenderParamsForAuthors(table, options.json);
      return true;
    }
    case BinaryKind::kGrid: {
      LineGrid grid;
      if (!DecodeGridFile(image, &grid)) {
        *error = "not a line grid file: its " + std::to_string(image.size()) +
                 " bytes do not hold two equal runs of tagged elements "
                 "(tags 0, 2, 5)";
        return false;
      }
      *out = RenderGrid(grid, options);
      return true;
    }
  }
  *error = "unknown file kind";
  return false;
}

Status InspectFile(const std::string& path, BinaryKind kind,
                   InspectOptions options, FileSystem& fs,
                   std::string* listing) {
  std::string image;
  Status status = ReadNormalFile(fs, path, &image);
  if (!status.ok()) return status;
  ParamTable params;
  if (kind == BinaryKind::kCells && !options.raw && path.ends_with(".dat")) {
    const std::string sim = path.substr(0, path.size() - 4) + ".sim";
    std::string sim_image;
    if (fs.IsNormalFile(sim) && ReadNormalFile(fs, sim, &sim_image).ok() &&
        DecodeParamFile(sim_image, &params)) {
      options.params = &params;
    }
  }
  std::string error;
  if (!InspectImage(image, kind, options, listing, &error)) {
    return Status::Error(QuotedName(path) + " is " + error);
  }
  return Status::Ok();
}

}  // namespace scenario
