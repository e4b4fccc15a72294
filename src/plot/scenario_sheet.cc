#include "plot/scenario_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "base/windows1252.h"
#include "model/kilometre_axis.h"
#include "model/line_grid.h"
#include "model/param_table.h"
#include "plot/svg_builder.h"

namespace scenario {
namespace {

// Sheet geometry, in pixels.
constexpr double kMarginLeft = 120;
constexpr double kMarginRight = 40;
constexpr double kPanelGap = 16;
constexpr double kTitleHeight = 86;
constexpr double kGradientHeight = 140;
constexpr double kSpeedHeight = 180;
constexpr double kAdhesionHeight = 90;
constexpr int kStationLanes = 6;
constexpr double kLaneHeight = 16;
constexpr double kSignalsHeight = 36;
constexpr double kSlowdownsHeight = 58;
constexpr double kBoardsHeight = 150;
constexpr double kCodesHeight = 48;
constexpr double kAxisHeight = 54;
// The plan's box: at most this share of the width in height.
constexpr double kPlanMaxHeightShare = 0.6;
constexpr double kPlanPad = 24;
// Grid coordinates beyond this many metres from the origin cannot come
// from a line of at most 1000 km; such points are left out as corrupt.
constexpr double kPlanCoordinateLimit = 1e8;
// Points of a polyline closer than this (in pixels) are merged.
constexpr double kPathTolerance = 0.5;
// Rough advance of one character, as a share of the font size, for
// keeping labels apart.
constexpr double kCharAdvance = 0.64;

constexpr double kMetresPerCell = 50;

constexpr char kFontFamily[] = "DejaVu Sans, Helvetica, Arial, sans-serif";

// One of a speed board's three words: the speed of its s set and of its d
// set.
struct SpeedPair {
  int s = 0;  // km/h of the s set, 0 when absent
  int d = 0;  // km/h of the d set, 0 when absent
};

// A speed board's word is the s speed times 20 plus the d speed over 5.
// With speeds in multiples of 5 km/h below 500 km/h (all real ones) that
// is s/5 hundreds plus d/5, which this undoes exactly.
SpeedPair DecodeBoardWord(std::int16_t w) {
  if (w <= 0) return {};
  return {(w / 100) * 5, (w % 100) * 5};
}

std::string Printf(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string ToString(std::int64_t v) { return std::to_string(v); }

// Precise enough to compare with the grid's own numbers.
std::string ExactNumber(double v) { return Printf("%.12g", v); }

// hh:mm, or hh:mm:ss when the seconds are not 0; "" for 0 (no time).
std::string FormatTime(std::int32_t seconds) {
  if (seconds == 0) return "";
  const std::int64_t t = seconds;
  const std::int64_t magnitude = t < 0 ? -t : t;
  char buf[48];
  const long long h = magnitude / 3600;
  const long long m = (magnitude % 3600) / 60;
  const long long s = magnitude % 60;
  if (s != 0) {
    std::snprintf(buf, sizeof buf, "%s%lld:%02lld:%02lld", t < 0 ? "-" : "", h,
                  m, s);
  } else {
    std::snprintf(buf, sizeof buf, "%s%lld:%02lld", t < 0 ? "-" : "", h, m);
  }
  return buf;
}

// Characters (not bytes) of a UTF-8 text.
double CharCount(std::string_view utf8) {
  double n = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  }
  return n;
}

bool IsEmptySlot(const ParamSlot& s) {
  return s.byte1 == 0 && s.long1 == 0 && s.long2 == 0 && s.long3 == 0 &&
         s.byte2 == 0 && s.text.empty() && s.int1 == 0 && s.int2 == 0 &&
         s.int3 == 0 && s.int4 == 0 && s.int5 == 0 && s.byte3 == 0 &&
         s.byte4 == 0 && s.byte5 == 0 && s.byte6 == 0 && s.long4 == 0;
}

struct Station {
  int slot = 0;
  double position = 0;
  double start = 0;
  double end = 0;
  bool stops = false;  // kinds below 25 get a stop mark
  std::string name;    // UTF-8
  std::string time;
};

// Stations fill the slots from 1 upwards without a gap and stop below the
// lowest slot that an indicator board's cell names.
std::vector<Station> FindStations(const std::vector<TrackCell>& cells,
                                  const ParamTable& table) {
  int lowest_board_slot = kFirstBoardTextSlot + 1;
  for (const TrackCell& c : cells) {
    if (c.kind == kKindIndicatorBoard && c.w2 >= kFirstStationSlot &&
        c.w2 < lowest_board_slot) {
      lowest_board_slot = c.w2;
    }
  }
  std::vector<Station> stations;
  for (int k = kFirstStationSlot; k < lowest_board_slot; ++k) {
    const ParamSlot& s = table[k];
    if (IsEmptySlot(s)) break;
    Station st;
    st.slot = k;
    st.position = s.long3;
    st.start = s.long1;
    st.end = s.long2;
    st.stops = s.byte1 < 25;
    st.name = Windows1252ToUtf8(s.text);
    st.time = FormatTime(s.long4);
    stations.push_back(std::move(st));
  }
  return stations;
}

// Where an item of a cell stands, in metres: cell k covers the 50 m
// around (k - 1) x 50 for the items placed with the "+ 1" rule, and
// starts at k x 50 for the code marks and the pre-warning cells.
double ItemPosition(const TrackCell& c, std::int64_t k) {
  switch (c.kind) {
    case kKindPreWarning:
    case kKindCodeMark:
    case kKindCodeOff:
      return static_cast<double>(k) * kMetresPerCell;
    default:
      return static_cast<double>(k - 1) * kMetresPerCell;
  }
}

// Maps positions along the line onto the sheet's x axis.
struct XAxis {
  double from;
  double to;
  double left;
  double width;

  bool Inside(double p) const { return p >= from && p <= to; }
  double X(double p) const {
    const double q = std::clamp(p, from, to);
    return left + (q - from) / (to - from) * width;
  }
};

// A panel with a value scale: lo at its bottom edge, hi at its top.
struct Panel {
  double top;
  double height;
  double lo;
  double hi;

  double bottom() const { return top + height; }
  double Y(double v) const {
    const double q = std::clamp(v, lo, hi);
    return bottom() - (q - lo) / (hi - lo) * height;
  }
};

double RoundUpTo(double v, double step) { return std::ceil(v / step) * step; }

// Keeps labels of one row from covering each other: each label takes the
// first lane where it fits; when none is free it goes where the lane
// ends first (labels that must all show, such as station names).
class LaneAllocator {
 public:
  explicit LaneAllocator(int lanes) : ends_(lanes, -1e300) {}

  // Lane for a label spanning [x0, x1]; -1 when none is free and
  // may_overlap is false.
  int Place(double x0, double x1, bool may_overlap) {
    for (std::size_t i = 0; i < ends_.size(); ++i) {
      if (ends_[i] + 4 <= x0) {
        ends_[i] = x1;
        return static_cast<int>(i);
      }
    }
    if (!may_overlap) return -1;
    const auto it = std::min_element(ends_.begin(), ends_.end());
    *it = std::max(*it, x1);
    return static_cast<int>(it - ends_.begin());
  }

 private:
  std::vector<double> ends_;
};

std::string Title(std::string_view utf8) {
  return "<title>" + XmlEscape(utf8) + "</title>";
}

// An element with a tooltip: <name attributes><title>..</title></name>.
void TitledElement(SvgBuilder* svg, std::string_view name,
                   std::string_view attributes, std::string_view title) {
  std::string m = "<";
  m.append(name);
  m += ' ';
  m.append(attributes);
  m += '>';
  m += Title(title);
  m += "</";
  m.append(name);
  m += ">\n";
  svg->Raw(m);
}

std::string At(double x, double y) {
  return "x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) + "\"";
}

// The panel's frame and its name at the left.
void PanelFrame(SvgBuilder* svg, const XAxis& axis, double top, double height,
                std::string_view name) {
  svg->Rect(axis.left, top, axis.width, height,
            "fill=\"none\" stroke=\"#999\" stroke-width=\"0.8\"");
  svg->Text(8, top + 14, name,
            "font-size=\"12\" font-weight=\"bold\" fill=\"#333\"");
}

// A key to the panel's marks, just above its frame on the right.
void Legend(SvgBuilder* svg, const XAxis& axis, double top,
            std::string_view text) {
  svg->Text(axis.left + axis.width, top - 4, text,
            "font-size=\"10\" text-anchor=\"end\" fill=\"#555\"");
}

// Value labels and light lines at the given levels.
void ValueScale(SvgBuilder* svg, const XAxis& axis, const Panel& panel,
                const std::vector<double>& levels) {
  for (const double v : levels) {
    const double y = panel.Y(v);
    svg->Line(axis.left, y, axis.left + axis.width, y,
              "stroke=\"#ddd\" stroke-width=\"0.6\"");
    svg->Text(axis.left - 6, y + 4, SvgNumber(v),
              "font-size=\"10\" text-anchor=\"end\" fill=\"#555\"");
  }
}

// A step profile over the cells in the axis' range: cell n holds its
// value from n x 50 to (n + 1) x 50.
template <typename ValueOf>
std::string StepProfile(const std::vector<TrackCell>& cells, const XAxis& axis,
                        const Panel& panel, ValueOf value_of) {
  if (cells.empty()) return {};
  const auto n0 = static_cast<std::int64_t>(
      std::max(0.0, std::floor(axis.from / kMetresPerCell)));
  const auto n1 =
      static_cast<std::int64_t>(std::min(static_cast<double>(cells.size() - 1),
                                         std::floor(axis.to / kMetresPerCell)));
  ColumnEnvelope envelope;
  for (std::int64_t n = n0; n <= n1; ++n) {
    const double p = std::max(axis.from, static_cast<double>(n) * 50);
    envelope.Add(axis.X(p), panel.Y(value_of(cells[n])));
  }
  return envelope.Finish(
      axis.X(std::min(axis.to, static_cast<double>(n1 + 1) * kMetresPerCell)));
}

// The stretch of cells worth visiting for items in the axis' range.
struct CellSpan {
  std::int64_t first;
  std::int64_t last;  // inclusive; last < first when empty
};

CellSpan ItemCells(const std::vector<TrackCell>& cells, const XAxis& axis) {
  const double first = std::max(0.0, std::floor(axis.from / 50) - 1);
  const double last = std::min(static_cast<double>(cells.size()) - 1,
                               std::ceil(axis.to / 50) + 2);
  return {static_cast<std::int64_t>(first), static_cast<std::int64_t>(last)};
}

struct SheetContext {
  const SheetScenario& scenario;
  const std::vector<TrackCell>& cells;
  const ParamTable& table;
  const KilometreAxis& km;
  std::vector<Station> stations;
  double width;
};

void DrawTitle(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis) {
  svg->OpenGroup("title");
  std::string heading = ctx.scenario.line_name;
  if (!ctx.scenario.train_name.empty()) {
    heading += " \xE2\x80\x94 " + ctx.scenario.train_name;  // em dash
  }
  svg->Text(kMarginLeft, 34, heading,
            "font-size=\"24\" font-weight=\"bold\" fill=\"#111\"");

  std::string codes = "race codes: ";
  if (ctx.cells.size() > 1 && ctx.cells[1].w2 == 5121) {
    codes += "plain " + ToString(ctx.cells[1].w4);
  } else {
    codes += "plain not stamped";
  }
  const ParamSlot& line_slot = ctx.table[kLineSlot];
  if (line_slot.int1 == 610) {
    codes += ", weighted " + ToString(line_slot.long4);
  } else {
    codes += ", weighted not stamped";
  }
  svg->Text(kMarginLeft, 56, codes,
            "id=\"race-codes\" font-size=\"13\" fill=\"#222\"");

  std::string facts = "line length " +
                      SvgNumber(ctx.table[kGeneralSlot].long2 / 1000.0) +
                      " km" + " \xC2\xB7 " +
                      ToString(static_cast<std::int64_t>(ctx.stations.size())) +
                      " stations \xC2\xB7 shown: km " +
                      FormatKilometre(ctx.km.Reading(axis.from)) + " to " +
                      FormatKilometre(ctx.km.Reading(axis.to));
  const ParamSlot& train_slot = ctx.table[kTrainSlot];
  if (train_slot.int3 != 0 || train_slot.int4 != 0 || train_slot.int5 != 0) {
    char clock[64];
    std::snprintf(clock, sizeof clock, " \xC2\xB7 clock %d:%02d:%02d",
                  train_slot.int3, train_slot.int4, train_slot.int5);
    facts += clock;
  }
  svg->Text(kMarginLeft, 76, facts, "font-size=\"12\" fill=\"#444\"");
  svg->CloseGroup();
}

// Largest of 1, 2, 5 times a power of ten not above v (at least 1).
double NiceBelow(double v) {
  double best = 1;
  for (double power = 1; power <= 1e9; power *= 10) {
    for (const double f : {1.0, 2.0, 5.0}) {
      if (f * power <= v) best = f * power;
    }
  }
  return best;
}

struct PlanExtent {
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  std::int64_t points = 0;
};

bool UsablePoint(const LineGrid& grid, std::int64_t m) {
  if (grid.tag(m) == GridTag::kEmpty) return false;
  const double x = grid.x(m);
  const double y = grid.y(m);
  return std::isfinite(x) && std::isfinite(y) &&
         std::fabs(x) <= kPlanCoordinateLimit &&
         std::fabs(y) <= kPlanCoordinateLimit;
}

PlanExtent MeasurePlan(const LineGrid& grid) {
  PlanExtent e;
  for (std::int64_t m = 0; m < grid.size(); ++m) {
    if (!UsablePoint(grid, m)) continue;
    const double x = grid.x(m);
    const double y = grid.y(m);
    if (e.points == 0) {
      e.min_x = e.max_x = x;
      e.min_y = e.max_y = y;
    } else {
      e.min_x = std::min(e.min_x, x);
      e.max_x = std::max(e.max_x, x);
      e.min_y = std::min(e.min_y, y);
      e.max_y = std::max(e.max_y, y);
    }
    ++e.points;
  }
  return e;
}

// The plan point for a position: its own metre, or the nearest usable
// one a little before it (the last metres of a grid stay empty).
bool PlanPoint(const LineGrid& grid, double position, double* x, double* y) {
  if (grid.size() == 0 || !std::isfinite(position)) return false;
  const double clamped = std::clamp(std::round(position), 0.0,
                                    static_cast<double>(grid.size() - 1));
  const auto m = static_cast<std::int64_t>(clamped);
  for (std::int64_t k = m; k >= 0 && k >= m - 100; --k) {
    if (UsablePoint(grid, k)) {
      *x = grid.x(k);
      *y = grid.y(k);
      return true;
    }
  }
  return false;
}

// Where the plan goes on the sheet: equal scales on both axes, north
// (+y) up, centred in a box as wide as the profiles.
struct PlanLayout {
  PlanExtent extent;
  double height = 36;  // the note's height when there is no plan
  double scale = 1;    // pixels per metre
  double box_w = 0;
  double x0 = 0;  // offsets of the extent's corner from the panel's
  double y0 = 0;  // left edge and top
};

PlanLayout LayOutPlan(const SheetContext& ctx, const XAxis& axis) {
  PlanLayout l;
  if (ctx.scenario.grid == nullptr) return l;
  l.extent = MeasurePlan(*ctx.scenario.grid);
  const PlanExtent& e = l.extent;
  if (e.points == 0) return l;
  l.box_w = axis.width - 2 * kPlanPad;
  const double box_h_max = ctx.width * kPlanMaxHeightShare - 2 * kPlanPad;
  const double ext_w = std::max(e.max_x - e.min_x, 1.0);
  const double ext_h = std::max(e.max_y - e.min_y, 1.0);
  l.scale = std::min(l.box_w / ext_w, box_h_max / ext_h);
  const double drawn_w = (e.max_x - e.min_x) * l.scale;
  const double drawn_h = (e.max_y - e.min_y) * l.scale;
  l.height = std::max(drawn_h + 2 * kPlanPad, 140.0);
  l.x0 = kPlanPad + (l.box_w - drawn_w) / 2;
  l.y0 = (l.height - drawn_h) / 2;
  return l;
}

void DrawPlan(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
              const PlanLayout& layout, double top) {
  const LineGrid* grid = ctx.scenario.grid;
  const PlanExtent& e = layout.extent;
  if (grid == nullptr || e.points == 0) {
    svg->OpenGroup("plan-missing");
    svg->Text(kMarginLeft, top + 22,
              grid == nullptr
                  ? "No line grid file: the plan of the line is left out."
                  : "The line grid file holds no usable point: the plan of "
                    "the line is left out.",
              "font-size=\"14\" font-style=\"italic\" fill=\"#a00\"");
    svg->CloseGroup();
    return;
  }
  const double scale = layout.scale;
  const double height = layout.height;
  const double box_w = layout.box_w;
  const double x0 = axis.left + layout.x0;
  const double y0 = top + layout.y0;
  const auto px = [&](double x) { return x0 + (x - e.min_x) * scale; };
  const auto py = [&](double y) { return y0 + (e.max_y - y) * scale; };

  svg->OpenGroup("plan", "data-min-x=\"" + ExactNumber(e.min_x) +
                             "\" data-max-x=\"" + ExactNumber(e.max_x) +
                             "\" data-min-y=\"" + ExactNumber(e.min_y) +
                             "\" data-max-y=\"" + ExactNumber(e.max_y) +
                             "\" data-points=\"" + ToString(e.points) +
                             "\" data-pixels-per-metre=\"" +
                             ExactNumber(scale) + "\"");
  svg->Rect(axis.left, top, axis.width, height,
            "fill=\"#fbfbf8\" stroke=\"#999\" stroke-width=\"0.8\"");
  svg->Text(8, top + 14, "Plan",
            "font-size=\"12\" font-weight=\"bold\" fill=\"#333\"");

  // The whole line, then the stretch the profiles show on top of it.
  PathData line(kPathTolerance);
  PathData shown(kPathTolerance);
  const bool whole =
      axis.from <= 0 && axis.to >= static_cast<double>(grid->size() - 1);
  for (std::int64_t m = 0; m < grid->size(); ++m) {
    if (!UsablePoint(*grid, m)) {
      line.Break();
      shown.Break();
      continue;
    }
    const double x = px(grid->x(m));
    const double y = py(grid->y(m));
    line.Add(x, y);
    if (!whole) {
      if (axis.Inside(static_cast<double>(m))) {
        shown.Add(x, y);
      } else {
        shown.Break();
      }
    }
  }
  svg->Path(line.Finish(),
            std::string("id=\"plan-line\" fill=\"none\" stroke=\"") +
                (whole ? "#1f4e99" : "#9aa8c0") +
                "\" stroke-width=\"1.6\" stroke-linejoin=\"round\"");
  if (!whole) {
    svg->Path(shown.Finish(),
              "id=\"plan-shown\" fill=\"none\" stroke=\"#1f4e99\" "
              "stroke-width=\"2.4\" stroke-linejoin=\"round\"");
  }

  // Signals as small marks; one per pixel is enough.
  svg->OpenGroup("plan-signals");
  double last_x = -1e300, last_y = -1e300;
  for (std::size_t k = 0; k < ctx.cells.size(); ++k) {
    if (ctx.cells[k].kind != kKindSignal) continue;
    double x, y;
    if (!PlanPoint(*grid, ItemPosition(ctx.cells[k], k), &x, &y)) continue;
    const double sx = px(x), sy = py(y);
    if (std::hypot(sx - last_x, sy - last_y) < 1.5) continue;
    svg->Circle(sx, sy, 1.8, "fill=\"#c0392b\"");
    last_x = sx;
    last_y = sy;
  }
  svg->CloseGroup();

  // Stations as labelled marks.
  svg->OpenGroup("plan-stations");
  for (const Station& st : ctx.stations) {
    double x, y;
    if (!PlanPoint(*grid, st.position, &x, &y)) continue;
    const double sx = px(x), sy = py(y);
    svg->Circle(sx, sy, 3.5,
                st.stops
                    ? "fill=\"#111\" stroke=\"#fff\" stroke-width=\"1\""
                    : "fill=\"#fff\" stroke=\"#111\" stroke-width=\"1.2\"");
    svg->Text(sx + 6, sy - 4, st.name, "font-size=\"11\" fill=\"#111\"");
  }
  svg->CloseGroup();

  // Start and end of the line.
  svg->OpenGroup("plan-ends");
  double x, y;
  if (PlanPoint(*grid, 0, &x, &y)) {
    svg->Circle(px(x), py(y), 5, "fill=\"#2e8b57\"");
    svg->Text(px(x) + 8, py(y) + 14, "start",
              "font-size=\"12\" font-weight=\"bold\" fill=\"#2e8b57\"");
  }
  const double line_length = ctx.table[kGeneralSlot].long2;
  const double end_position =
      line_length > 0 ? line_length : static_cast<double>(grid->size() - 1);
  if (PlanPoint(*grid, end_position, &x, &y)) {
    svg->Rect(px(x) - 4.5, py(y) - 4.5, 9, 9, "fill=\"#8b0000\"");
    svg->Text(px(x) + 8, py(y) + 14, "end",
              "font-size=\"12\" font-weight=\"bold\" fill=\"#8b0000\"");
  }
  svg->CloseGroup();

  // Scale bar: a round length near a fifth of the box.
  const double bar_m = NiceBelow(box_w / 5 / scale);
  const double bar_px = bar_m * scale;
  const double bx = axis.left + 14;
  const double by = top + height - 14;
  svg->OpenGroup("scale-bar", "data-metres=\"" + ExactNumber(bar_m) + "\"");
  svg->Line(bx, by, bx + bar_px, by, "stroke=\"#111\" stroke-width=\"2\"");
  svg->Line(bx, by - 5, bx, by + 2, "stroke=\"#111\" stroke-width=\"1.5\"");
  svg->Line(bx + bar_px, by - 5, bx + bar_px, by + 2,
            "stroke=\"#111\" stroke-width=\"1.5\"");
  svg->Text(
      bx + bar_px / 2, by - 7,
      bar_m >= 1000 ? SvgNumber(bar_m / 1000) + " km" : SvgNumber(bar_m) + " m",
      "font-size=\"11\" text-anchor=\"middle\" fill=\"#111\"");
  svg->CloseGroup();

  // North arrow.
  const double nx = axis.left + axis.width - 22;
  const double ny = top + 14;
  svg->OpenGroup("north");
  svg->Path("M" + SvgNumber(nx) + " " + SvgNumber(ny) + " l-6 16 l6 -4 l6 4 z",
            "fill=\"#111\"");
  svg->Text(nx, ny + 30, "N",
            "font-size=\"12\" font-weight=\"bold\" text-anchor=\"middle\"");
  svg->CloseGroup();

  svg->CloseGroup();
}

void DrawKilometreGrid(SvgBuilder* svg, const SheetContext& ctx,
                       const XAxis& axis,
                       const std::vector<KilometreAxis::Tick>& ticks,
                       double top, double bottom) {
  svg->OpenGroup("km-grid");
  for (const KilometreAxis::Tick& t : ticks) {
    const double x = axis.X(t.position);
    svg->Line(x, top, x, bottom, "stroke=\"#eee\" stroke-width=\"0.8\"");
  }
  // Where the readings jump, a dashed line.
  for (const KilometreAxis::Segment& s : ctx.km.segments()) {
    if (!axis.Inside(s.start) || s.start == axis.from) continue;
    const double x = axis.X(s.start);
    svg->Line(x, top, x, bottom,
              "stroke=\"#b58900\" stroke-width=\"1\" stroke-dasharray=\"5 4\"");
  }
  svg->CloseGroup();
}

void DrawAxis(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
              const std::vector<KilometreAxis::Tick>& ticks, double step,
              double top) {
  svg->OpenGroup("axis");
  svg->Line(axis.left, top, axis.left + axis.width, top,
            "stroke=\"#333\" stroke-width=\"1\"");
  double last_label_end = -1e300;
  for (const KilometreAxis::Tick& t : ticks) {
    const double x = axis.X(t.position);
    svg->Line(x, top, x, top + 6, "stroke=\"#333\" stroke-width=\"1\"");
    const std::string label = step >= 1000
                                  ? ToString(std::llround(t.reading / 1000))
                                  : FormatKilometre(t.reading);
    const double half = CharCount(label) * 11 * kCharAdvance / 2;
    if (x - half < last_label_end + 6) continue;
    svg->Text(x, top + 19, label,
              "font-size=\"11\" text-anchor=\"middle\" fill=\"#333\"");
    last_label_end = x + half;
  }
  // Where the readings jump: the reading before and from there on.
  const std::vector<KilometreAxis::Segment>& segments = ctx.km.segments();
  for (std::size_t i = 1; i < segments.size(); ++i) {
    const KilometreAxis::Segment& s = segments[i];
    if (!axis.Inside(s.start) || s.start == axis.from) continue;
    const double x = axis.X(s.start);
    svg->Text(x + 3, top + 34,
              "km " + FormatKilometre(s.start + segments[i - 1].offset) +
                  " = " + FormatKilometre(s.start + s.offset),
              "font-size=\"10\" fill=\"#b58900\"");
  }
  svg->Text(axis.left + axis.width, top + 48,
            "kilometre readings (km), from the line's kilometre records",
            "font-size=\"11\" text-anchor=\"end\" fill=\"#555\"");
  svg->CloseGroup();
}

void DrawGradient(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top) {
  double extreme = 0;
  const CellSpan span = ItemCells(ctx.cells, axis);
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    extreme = std::max(extreme, std::fabs(ctx.cells[k].gradient - 100.0));
  }
  const double g = std::max(5.0, RoundUpTo(extreme, 5));
  const Panel panel{top, kGradientHeight, -g, g};
  svg->OpenGroup("gradient", "data-max-per-mille=\"" + SvgNumber(g) + "\"");
  PanelFrame(svg, axis, top, kGradientHeight, "Gradient (\xE2\x80\xB0)");
  ValueScale(svg, axis, panel, {-g, -g / 2, 0, g / 2, g});
  std::string d = StepProfile(ctx.cells, axis, panel, [](const TrackCell& c) {
    return c.gradient - 100.0;
  });
  if (!d.empty()) {
    svg->Path(d + " L" + SvgNumber(axis.left + axis.width) + " " +
                  SvgNumber(panel.Y(0)) + " L" + SvgNumber(axis.left) + " " +
                  SvgNumber(panel.Y(0)) + " Z",
              "fill=\"#c8a165\" fill-opacity=\"0.35\" stroke=\"none\"");
    svg->Path(d, "fill=\"none\" stroke=\"#8a5a19\" stroke-width=\"1.2\"");
  }
  svg->CloseGroup();
}

void DrawSpeed(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top) {
  const CellSpan span = ItemCells(ctx.cells, axis);
  double highest = 0;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    highest = std::max(highest, c.speed_step * 5.0);
    if (c.kind == kKindSpeedBoard) {
      for (const std::int16_t w : {c.w2, c.w4, c.w6}) {
        const SpeedPair p = DecodeBoardWord(w);
        highest = std::max({highest, double(p.s), double(p.d)});
      }
    }
  }
  const double top_speed = std::max(40.0, RoundUpTo(highest, 20));
  const Panel panel{top, kSpeedHeight, 0, top_speed};
  svg->OpenGroup("speed", "data-max-kmh=\"" + SvgNumber(top_speed) + "\"");
  PanelFrame(svg, axis, top, kSpeedHeight, "Speed (km/h)");
  std::vector<double> levels;
  const double level_step = top_speed > 200 ? 50 : 20;
  for (double v = 0; v <= top_speed; v += level_step) levels.push_back(v);
  ValueScale(svg, axis, panel, levels);
  svg->Path(StepProfile(ctx.cells, axis, panel,
                        [](const TrackCell& c) { return c.speed_step * 5.0; }),
            "id=\"speed-limit\" fill=\"none\" stroke=\"#1f4e99\" "
            "stroke-width=\"1.6\"");

  // Boards: a mark per speed (A, B, C), filled for the s set, hollow for
  // the d set.
  static constexpr const char* kColours[3] = {"#c0392b", "#16a085", "#8e44ad"};
  svg->OpenGroup("speed-boards");
  double last_x = -1e300;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindSpeedBoard) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    if (x - last_x < 1) continue;
    last_x = x;
    const SpeedPair pairs[3] = {DecodeBoardWord(c.w2), DecodeBoardWord(c.w4),
                                DecodeBoardWord(c.w6)};
    std::string tip =
        "speed board at km " + FormatKilometre(ctx.km.Reading(p)) + ": " +
        ToString(pairs[0].s) + "/" + ToString(pairs[1].s) + "/" +
        ToString(pairs[2].s) + " km/h, stripes " + ToString(c.w8 / 10);
    if (pairs[0].d || pairs[1].d || pairs[2].d) {
      tip += "; d set " + ToString(pairs[0].d) + "/" + ToString(pairs[1].d) +
             "/" + ToString(pairs[2].d) + " km/h, stripes " +
             ToString(c.w8 % 10);
    }
    svg->OpenGroup("");
    svg->Raw(Title(tip));
    for (int i = 0; i < 3; ++i) {
      if (pairs[i].s > 0) {
        const double y = panel.Y(pairs[i].s);
        svg->Path(
            "M" + SvgNumber(x - 3.5) + " " + SvgNumber(y - 6) + " h7 l-3.5 6 z",
            std::string("fill=\"") + kColours[i] + "\"");
      }
      if (pairs[i].d > 0) {
        const double y = panel.Y(pairs[i].d);
        svg->Path(
            "M" + SvgNumber(x - 3.5) + " " + SvgNumber(y - 6) + " h7 l-3.5 6 z",
            std::string("fill=\"none\" stroke-width=\"1\" stroke=\"") +
                kColours[i] + "\"");
      }
    }
    svg->CloseGroup();
  }
  svg->CloseGroup();
  Legend(svg, axis, top,
         "line: speed limit \xC2\xB7 \xE2\x96\xBC board speeds A, B, C "
         "(red, green, violet; filled: s set, hollow: d set)");
  svg->CloseGroup();
}

void DrawAdhesion(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top) {
  const CellSpan span = ItemCells(ctx.cells, axis);
  double highest = 0;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    highest = std::max(highest, double(ctx.cells[k].adhesion));
  }
  const double a = std::max(10.0, RoundUpTo(highest, 10));
  const Panel panel{top, kAdhesionHeight, 0, a};
  svg->OpenGroup("adhesion", "data-max=\"" + SvgNumber(a) + "\"");
  PanelFrame(svg, axis, top, kAdhesionHeight, "Adhesion");
  ValueScale(svg, axis, panel, {0, a / 2, a});
  svg->Path(StepProfile(ctx.cells, axis, panel,
                        [](const TrackCell& c) { return double(c.adhesion); }),
            "fill=\"none\" stroke=\"#2e8b57\" stroke-width=\"1.4\"");
  svg->CloseGroup();
}

double DrawStations(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                    double top) {
  const double height = kStationLanes * kLaneHeight + 26;
  svg->OpenGroup("stations");
  PanelFrame(svg, axis, top, height, "Stations");
  const double base = top + height - 8;
  LaneAllocator lanes(kStationLanes);
  for (const Station& st : ctx.stations) {
    const double lo = std::min({st.start, st.end, st.position});
    const double hi = std::max({st.start, st.end, st.position});
    if (hi < axis.from || lo > axis.to) continue;
    const double x = axis.X(st.position);
    svg->Rect(axis.X(std::min(st.start, st.end)), base - 3,
              std::max(1.0, axis.X(std::max(st.start, st.end)) -
                                axis.X(std::min(st.start, st.end))),
              6, "fill=\"#bbb\"");
    std::string label = st.name;
    if (!st.time.empty()) label += "  " + st.time;
    const double label_w = CharCount(label) * 11 * kCharAdvance;
    // A label that would run past the right edge ends at its mark instead.
    const bool flipped = x + 2 + label_w > axis.left + axis.width;
    const double x0 = flipped ? x - 2 - label_w : x;
    const int lane = lanes.Place(x0, x0 + label_w + 4, true);
    const double y = top + 16 + lane * kLaneHeight;
    svg->Line(x, y + 3, x, base, "stroke=\"#777\" stroke-width=\"0.7\"");
    svg->Circle(x, base, 3.5,
                st.stops
                    ? "fill=\"#111\""
                    : "fill=\"#fff\" stroke=\"#111\" stroke-width=\"1.2\"");
    svg->Text(flipped ? x - 2 : x + 2, y, label,
              std::string(flipped ? "text-anchor=\"end\" " : "") +
                  "font-size=\"11\" fill=\"#111\" data-slot=\"" +
                  ToString(st.slot) + "\"");
  }
  Legend(svg, axis, top,
         "\xE2\x97\x8F stop \xC2\xB7 \xE2\x97\x8B no stop mark \xC2\xB7 "
         "bar: station stretch \xC2\xB7 times of the timetable");
  svg->CloseGroup();
  return height;
}

void DrawSignals(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                 double top) {
  svg->OpenGroup("signals");
  PanelFrame(svg, axis, top, kSignalsHeight, "Signals");
  const CellSpan span = ItemCells(ctx.cells, axis);
  double last_x = -1e300;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindSignal) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    if (x - last_x < 1) continue;
    last_x = x;
    const std::string tip = "signal at km " +
                            FormatKilometre(ctx.km.Reading(p)) + " (cell " +
                            ToString(k) + "): " + ToString(c.w2) + " " +
                            ToString(c.w4) + " " + ToString(c.w6) + ", types " +
                            ToString(c.w8) + ", time " + ToString(c.b10);
    TitledElement(svg, "path",
                  "d=\"M" + SvgNumber(x) + " " + SvgNumber(top + 30) +
                      " v-18 h5 v7 h-5\" fill=\"none\" stroke=\"#c0392b\" "
                      "stroke-width=\"1.4\"",
                  tip);
  }
  svg->CloseGroup();
}

void DrawSlowdowns(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                   double top) {
  svg->OpenGroup("slowdowns");
  PanelFrame(svg, axis, top, kSlowdownsHeight, "Slowdowns");
  const double mid = top + kSlowdownsHeight / 2 + 4;
  // One pass over every cell: a start is paired with the next end.
  bool open = false;
  double open_start = 0;
  double last_label_end = -1e300;
  for (std::size_t k = 0; k < ctx.cells.size(); ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind < kKindSlowdownEnd || c.kind > kKindPreWarning) continue;
    const double p = ItemPosition(c, k);
    if (c.kind == kKindSlowdownStart) {
      open = true;
      open_start = p;
    }
    if (c.kind == kKindSlowdownEnd && open) {
      if (p >= axis.from && open_start <= axis.to) {
        const double x0 = axis.X(open_start);
        svg->Rect(x0, mid - 3, std::max(1.0, axis.X(p) - x0), 6,
                  "fill=\"#f39c12\" fill-opacity=\"0.5\"");
      }
      open = false;
    }
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    const std::string where = " at km " + FormatKilometre(ctx.km.Reading(p));
    std::string label;
    switch (c.kind) {
      case kKindWarningBoard:
        TitledElement(
            svg, "path",
            "d=\"M" + SvgNumber(x) + " " + SvgNumber(mid - 12) +
                " l6 11 h-12 z\" fill=\"#f1c40f\" stroke=\"#333\" "
                "stroke-width=\"0.8\"",
            "slowdown warning" + where + ": " + ToString(c.w2) + " km/h");
        label = ToString(c.w2);
        break;
      case kKindSlowdownStart:
        TitledElement(
            svg, "rect",
            At(x - 4, mid - 4) + " width=\"8\" height=\"8\" fill=\"#d35400\"",
            "slowdown start" + where + ": " + ToString(c.w2) + " km/h");
        label = ToString(c.w2);
        break;
      case kKindSlowdownEnd:
        TitledElement(svg, "rect",
                      At(x - 4, mid - 4) +
                          " width=\"8\" height=\"8\" fill=\"#fff\" "
                          "stroke=\"#d35400\" stroke-width=\"1.4\"",
                      "slowdown end" + where);
        break;
      default:  // pre-warning cell
        svg->Circle(x, mid, 1.6, "fill=\"#333\"");
        break;
    }
    if (!label.empty()) {
      const double w = CharCount(label) * 10 * kCharAdvance;
      if (x - w / 2 > last_label_end + 3) {
        svg->Text(x, mid + 18, label,
                  "font-size=\"10\" text-anchor=\"middle\" fill=\"#333\"");
        last_label_end = x + w / 2;
      }
    }
  }
  Legend(svg, axis, top,
         "\xE2\x96\xB2 warning \xC2\xB7 \xE2\x96\xA0 start \xC2\xB7 "
         "\xE2\x96\xA1 end \xC2\xB7 \xE2\x80\xA2 pre-warning \xC2\xB7 "
         "speeds in km/h");
  svg->CloseGroup();
}

void DrawBoards(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                double top) {
  svg->OpenGroup("boards");
  PanelFrame(svg, axis, top, kBoardsHeight, "Boards");
  Legend(svg, axis, top, "indicator boards with their texts");
  const CellSpan span = ItemCells(ctx.cells, axis);
  const double base = top + kBoardsHeight - 6;
  double last_x = -1e300;
  double last_label_x = -1e300;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindIndicatorBoard) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    if (x - last_x < 1) continue;
    last_x = x;
    const bool known = c.w2 >= 0 && c.w2 < kParamSlotCount;
    const std::string text = known ? Windows1252ToUtf8(ctx.table[c.w2].text)
                                   : "(no text: slot " + ToString(c.w2) + ")";
    TitledElement(
        svg, "rect",
        At(x - 2, base - 4) + " width=\"4\" height=\"4\" fill=\"#34495e\"",
        "board at km " + FormatKilometre(ctx.km.Reading(p)) + ": " + text);
    // Vertical labels, reading upwards; one per 11 px.
    if (x - last_label_x < 11) continue;
    last_label_x = x;
    svg->Text(x + 4, base - 8, text,
              "font-size=\"10\" fill=\"#34495e\" transform=\"rotate(-90 " +
                  SvgNumber(x + 4) + " " + SvgNumber(base - 8) + ")\"");
  }
  svg->CloseGroup();
}

void DrawCodes(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top) {
  svg->OpenGroup("codes");
  PanelFrame(svg, axis, top, kCodesHeight, "Code marks");
  Legend(svg, axis, top,
         "code marks with their code \xC2\xB7 bar: signal repetition "
         "stretch");
  // The stretch with signal repetition.
  const ParamSlot& rep = ctx.table[kTrainSlot];
  if (rep.long2 != 0 && rep.long2 > rep.long1 && rep.long2 >= axis.from &&
      rep.long1 <= axis.to) {
    const double x0 = axis.X(rep.long1);
    const double x1 = axis.X(rep.long2);
    TitledElement(svg, "rect",
                  At(x0, top + 6) + " width=\"" + SvgNumber(x1 - x0) +
                      "\" height=\"4\" fill=\"#9b59b6\" fill-opacity=\"0.5\"",
                  "signal repetition, " + ToString(rep.long3) + " codes, " +
                      "km " + FormatKilometre(ctx.km.Reading(rep.long1)) +
                      " to " + FormatKilometre(ctx.km.Reading(rep.long2)));
  }
  const CellSpan span = ItemCells(ctx.cells, axis);
  double last_x = -1e300;
  double last_label_end = -1e300;
  const double base = top + kCodesHeight - 8;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindCodeMark && c.kind != kKindCodeOff) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    if (x - last_x < 1) continue;
    last_x = x;
    const bool on = c.kind == kKindCodeMark;
    const std::string label = on ? ToString(c.w2) : "off";
    TitledElement(
        svg, "path",
        "d=\"M" + SvgNumber(x) + " " + SvgNumber(base) + " v-16\" stroke=\"" +
            (on ? "#6c3483" : "#999") + "\" stroke-width=\"1.6\"",
        std::string(on ? "code mark " : "code off") + " at km " +
            FormatKilometre(ctx.km.Reading(p)) + (on ? ": " + label : ""));
    const double w = CharCount(label) * 10 * kCharAdvance;
    if (x + 2 > last_label_end + 3) {
      svg->Text(x + 2, base - 18, label, "font-size=\"10\" fill=\"#6c3483\"");
      last_label_end = x + 2 + w;
    }
  }
  svg->CloseGroup();
}

}  // namespace

std::optional<SheetRange> ResolveSheetRange(const SheetScenario& scenario,
                                            const SheetOptions& options) {
  const std::vector<TrackCell>& cells = *scenario.cells;
  const ParamTable& table = *scenario.table;
  const double cells_end =
      cells.empty() ? 0 : static_cast<double>(cells.size() - 1) * 50;
  const double length = table[kGeneralSlot].long2;
  const double hi = length > 0 && length <= cells_end
                        ? length
                        : std::max(cells_end, kMetresPerCell);
  if ((options.from_km && !std::isfinite(*options.from_km)) ||
      (options.to_km && !std::isfinite(*options.to_km))) {
    return std::nullopt;
  }
  std::optional<double> from, to;
  if (options.from_km) from = *options.from_km * 1000;
  if (options.to_km) to = *options.to_km * 1000;
  const KilometreAxis km(table);
  const auto range = km.PositionsFor(0, hi, from, to);
  if (!range) return std::nullopt;
  return SheetRange{range->from, range->to};
}

std::string DrawScenarioSheet(const SheetScenario& scenario,
                              const SheetOptions& options) {
  const double width =
      std::clamp(std::isfinite(options.width) ? options.width : 0.0,
                 kMinSheetWidth, kMaxSheetWidth);
  const KilometreAxis km(*scenario.table);
  SheetContext ctx{scenario, *scenario.cells, *scenario.table, km, {}, width};
  ctx.stations = FindStations(ctx.cells, ctx.table);

  std::optional<SheetRange> range = ResolveSheetRange(scenario, options);
  if (!range) range = ResolveSheetRange(scenario, SheetOptions{});
  const XAxis axis{range->from, range->to, kMarginLeft,
                   width - kMarginLeft - kMarginRight};

  const PlanLayout plan = LayOutPlan(ctx, axis);
  const double plan_top = kTitleHeight;
  const double profiles_top = plan_top + plan.height + kPanelGap;
  const double stations_height = kStationLanes * kLaneHeight + 26;
  const double profiles_bottom = profiles_top + kGradientHeight + kSpeedHeight +
                                 kAdhesionHeight + stations_height +
                                 kSignalsHeight + kSlowdownsHeight +
                                 kBoardsHeight + kCodesHeight + 7 * kPanelGap;
  const double height = profiles_bottom + kAxisHeight;

  SvgBuilder body(width, height,
                  std::string("font-family=\"") + kFontFamily +
                      "\" data-from-m=\"" + ExactNumber(axis.from) +
                      "\" data-to-m=\"" + ExactNumber(axis.to) + "\"");
  body.Rect(0, 0, width, height, "fill=\"#ffffff\"");
  DrawTitle(&body, ctx, axis);
  DrawPlan(&body, ctx, axis, plan, plan_top);

  const double step = NiceStep(axis.to - axis.from,
                               std::max(2, static_cast<int>(axis.width / 70)));
  const std::vector<KilometreAxis::Tick> ticks =
      km.Ticks(axis.from, axis.to, step);
  DrawKilometreGrid(&body, ctx, axis, ticks, profiles_top, profiles_bottom);

  double y = profiles_top;
  DrawGradient(&body, ctx, axis, y);
  y += kGradientHeight + kPanelGap;
  DrawSpeed(&body, ctx, axis, y);
  y += kSpeedHeight + kPanelGap;
  DrawAdhesion(&body, ctx, axis, y);
  y += kAdhesionHeight + kPanelGap;
  y += DrawStations(&body, ctx, axis, y) + kPanelGap;
  DrawSignals(&body, ctx, axis, y);
  y += kSignalsHeight + kPanelGap;
  DrawSlowdowns(&body, ctx, axis, y);
  y += kSlowdownsHeight + kPanelGap;
  DrawBoards(&body, ctx, axis, y);
  y += kBoardsHeight + kPanelGap;
  DrawCodes(&body, ctx, axis, y);
  y += kCodesHeight;
  DrawAxis(&body, ctx, axis, ticks, step, y);
  return body.Finish();
}

}  // namespace scenario
