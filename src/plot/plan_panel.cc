#include "plot/plan_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "model/line_grid.h"
#include "model/param_table.h"
#include "plot/label_placer.h"

namespace scenario {
namespace sheet {
namespace {

// The plan's box: at most this share of the width in height, at least
// kPlanMinHeight, and taller while its labels do not all fit: by
// kPlanGrowth at a time, or by a sixteenth of the room left if that is
// more, so that a plan whose labels never fit is given up soon.
constexpr double kPlanMaxHeightShare = 0.6;
constexpr double kPlanMinHeight = 140;
constexpr double kPlanGrowth = 24;
constexpr double kPlanPad = 24;
// A line whose ends lie closer together than this share of its extent's
// diagonal (a loop) keeps north up: its chord says little about its shape.
constexpr double kShortChord = 0.25;
// The band the line and its marks take, beyond the drawn extent.
constexpr double kBandMargin = 6;
// Points of the line, this far apart in pixels, that labels keep clear of.
constexpr double kLineSampleSpacing = 3;
// Grid coordinates beyond this many metres from the origin cannot come
// from a line of at most 1000 km; such points are left out as corrupt.
constexpr double kPlanCoordinateLimit = 1e8;
// Points of a polyline closer than this (in pixels) are merged.
constexpr double kPathTolerance = 0.5;

// How the plan draws its marks; the legend shows each the same way.
constexpr char kLineStyle[] =
    "fill=\"none\" stroke=\"#1f4e99\" stroke-width=\"1.6\" "
    "stroke-linejoin=\"round\"";
constexpr char kRestStyle[] =
    "fill=\"none\" stroke=\"#9aa8c0\" stroke-width=\"1.6\" "
    "stroke-linejoin=\"round\"";
constexpr char kShownStyle[] =
    "fill=\"none\" stroke=\"#1f4e99\" stroke-width=\"2.4\" "
    "stroke-linejoin=\"round\"";
constexpr char kSignalStyle[] = "fill=\"#c0392b\"";
constexpr char kStopStyle[] =
    "fill=\"#111\" stroke=\"#fff\" stroke-width=\"1\"";
constexpr char kStationStyle[] =
    "fill=\"#fff\" stroke=\"#111\" stroke-width=\"1.2\"";
constexpr char kStartStyle[] = "fill=\"#2e8b57\"";
constexpr char kEndStyle[] = "fill=\"#8b0000\"";

// The key to the plan's marks: the line (the stretch the profiles show
// stands out when it is not the whole line), signals, stations, start and
// end. The scale bar and the north arrow say what they are themselves.
std::vector<LegendEntry> PlanLegend(bool whole) {
  std::vector<LegendEntry> entries;
  if (whole) {
    entries.push_back({Swatch::kLine, kLineStyle, "the line"});
  } else {
    entries.push_back({Swatch::kLine, kShownStyle, "the stretch shown"});
    entries.push_back({Swatch::kLine, kRestStyle, "the rest of the line"});
  }
  entries.push_back({Swatch::kDot, kSignalStyle, "signal"});
  entries.push_back({Swatch::kDot, kStopStyle, "station with a stop"});
  entries.push_back({Swatch::kDot, kStationStyle, "station, no stop mark"});
  entries.push_back({Swatch::kDot, kStartStyle, "start"});
  entries.push_back({Swatch::kSquare, kEndStyle, "end"});
  return entries;
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

// Where the line ends: its length, or the grid's last metre without one.
double EndPosition(const SheetContext& ctx, const LineGrid& grid) {
  const double line_length = ctx.table[kGeneralSlot].long2;
  return line_length > 0 ? line_length : static_cast<double>(grid.size() - 1);
}

double MarkRadius(PlanMark::Kind kind) {
  switch (kind) {
    case PlanMark::Kind::kStart:
      return 5;
    case PlanMark::Kind::kEnd:
      return 4.5;
    default:
      return 4;
  }
}

double LabelSize(PlanMark::Kind kind) {
  return kind == PlanMark::Kind::kStart || kind == PlanMark::Kind::kEnd ? 12
                                                                        : 11;
}

bool LabelBold(PlanMark::Kind kind) {
  return kind == PlanMark::Kind::kStart || kind == PlanMark::Kind::kEnd;
}

// The scale bar: a round length near a fifth of the box, in metres, at
// the panel's bottom left.
double ScaleBarMetres(const PlanLayout& l) {
  return NiceBelow(l.box_w / 5 / l.scale);
}
std::string ScaleBarLabel(double metres) {
  return metres >= 1000 ? SvgNumber(metres / 1000) + " km"
                        : SvgNumber(metres) + " m";
}
constexpr double kScaleBarInset = 14;
// The north arrow's tip, from the panel's top right corner.
constexpr double kNorthFromRight = 22;
constexpr double kNorthFromTop = 14;

// Places every mark's label for the layout's current height. False when
// some label found no free place.
bool PlaceLabels(const XAxis& axis, double drawn_h,
                 const std::vector<double>& sample_x,
                 const std::vector<double>& sample_y,
                 const std::vector<double>& mark_y, PlanLayout* l) {
  std::vector<double> mark_xs;
  for (const PlanMark& mark : l->marks) mark_xs.push_back(mark.x);
  LabelPlacer placer(
      Box{axis.left + 4, 4, axis.left + axis.width - 4, l->height - 4},
      l->y0 - kBandMargin, l->y0 + drawn_h + kBandMargin, std::move(mark_xs));
  for (std::size_t i = 0; i < sample_x.size(); ++i) {
    const double y = l->y0 + sample_y[i];
    placer.AddObstacle(Box{sample_x[i] - 2, y - 2, sample_x[i] + 2, y + 2});
  }
  const double nx = axis.left + axis.width - kNorthFromRight;
  placer.AddObstacle(Box{nx - 12, kNorthFromTop - 4, nx + 12,
                         kNorthFromTop + 30 + TextDescent(12) + 2});
  const double bar_m = ScaleBarMetres(*l);
  const double bar_px = bar_m * l->scale;
  const double bx = axis.left + kScaleBarInset;
  const double by = l->height - kScaleBarInset;
  const double bar_label_w = TextWidth(ScaleBarLabel(bar_m), 11, false);
  const double bar_mid = bx + bar_px / 2;
  placer.AddObstacle(Box{
      std::min(bx, bar_mid - bar_label_w / 2) - 2, by - 7 - TextAscent(11) - 2,
      std::max(bx + bar_px, bar_mid + bar_label_w / 2) + 2, by + 4});
  for (std::size_t i = 0; i < l->marks.size(); ++i) {
    PlanMark& mark = l->marks[i];
    mark.y = l->y0 + mark_y[i];
    const double r = MarkRadius(mark.kind);
    placer.AddObstacle(Box{mark.x - r, mark.y - r, mark.x + r, mark.y + r});
  }
  // From right to left: a label in a lane runs to the right of its
  // leader, so the leaders of the marks further left pass to the left of
  // it and the nearest free lane is always a good one.
  std::vector<PlanMark*> order;
  for (PlanMark& mark : l->marks) order.push_back(&mark);
  std::stable_sort(
      order.begin(), order.end(),
      [](const PlanMark* a, const PlanMark* b) { return a->x > b->x; });
  bool all = true;
  for (PlanMark* m : order) {
    PlanMark& mark = *m;
    const double size = LabelSize(mark.kind);
    mark.placed =
        placer.Place(mark.x, mark.y, MarkRadius(mark.kind),
                     TextWidth(mark.label, size, LabelBold(mark.kind)), size);
    if (!mark.placed) all = false;
  }
  return all;
}

// Turns the plan so that a chord of (dx, dy) from the start to the end
// runs left to right, unless the chord is too short to say a direction.
void TurnPlan(double dx, double dy, PlanLayout* l) {
  const PlanExtent& e = l->extent;
  const double chord = std::hypot(dx, dy);
  const double diagonal = std::hypot(e.max_x - e.min_x, e.max_y - e.min_y);
  if (chord > 0 && chord >= kShortChord * diagonal) {
    l->cos = dx / chord;
    l->sin = dy / chord;
    l->turn_degrees = std::atan2(dy, dx) * 180 / std::numbers::pi;
  }
}

// The box of the turned plan: u along the chord, v across it.
struct TurnedBounds {
  double min_u = 0, max_u = 0, min_v = 0, max_v = 0;
};

TurnedBounds BoundTurnedPlan(const LineGrid& grid, const PlanLayout& l) {
  TurnedBounds b;
  bool first = true;
  for (std::int64_t m = 0; m < grid.size(); ++m) {
    if (!UsablePoint(grid, m)) continue;
    const double u = grid.x(m) * l.cos + grid.y(m) * l.sin;
    const double v = grid.y(m) * l.cos - grid.x(m) * l.sin;
    if (first) {
      b.min_u = b.max_u = u;
      b.min_v = b.max_v = v;
      first = false;
    }
    b.min_u = std::min(b.min_u, u);
    b.max_u = std::max(b.max_u, u);
    b.min_v = std::min(b.min_v, v);
    b.max_v = std::max(b.max_v, v);
  }
  return b;
}

// Points of the drawn line, one every kLineSampleSpacing or so along each
// run of usable metres, for the labels to keep clear of.
void SampleLine(const LineGrid& grid, const PlanLayout& l, double left,
                std::vector<double>* sample_x, std::vector<double>* sample_y) {
  double last_x = 0, last_y = 0;
  bool in_run = false;
  for (std::int64_t m = 0; m < grid.size(); ++m) {
    if (!UsablePoint(grid, m)) {
      in_run = false;
      continue;
    }
    const double x = l.X(left, grid.x(m), grid.y(m));
    const double y = l.Y(grid.x(m), grid.y(m));
    if (in_run && std::hypot(x - last_x, y - last_y) < kLineSampleSpacing) {
      continue;
    }
    sample_x->push_back(x);
    sample_y->push_back(y);
    last_x = x;
    last_y = y;
    in_run = true;
  }
}

}  // namespace

PlanLayout LayOutPlan(const SheetContext& ctx, const XAxis& axis) {
  PlanLayout l;
  if (ctx.scenario.grid == nullptr) return l;
  const LineGrid& grid = *ctx.scenario.grid;
  l.extent = MeasurePlan(grid);
  const PlanExtent& e = l.extent;
  if (e.points == 0) return l;

  // Turned so that the chord from the start to the end runs left to right.
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
  const bool has_start = PlanPoint(grid, 0, &start_x, &start_y);
  const bool has_end = PlanPoint(grid, EndPosition(ctx, grid), &end_x, &end_y);
  if (has_start && has_end) {
    TurnPlan(end_x - start_x, end_y - start_y, &l);
  }
  const TurnedBounds b = BoundTurnedPlan(grid, l);
  const double min_u = b.min_u, max_u = b.max_u;
  const double min_v = b.min_v, max_v = b.max_v;
  l.min_u = min_u;
  l.max_v = max_v;

  l.box_w = axis.width - 2 * kPlanPad;
  const double box_h_max = ctx.width * kPlanMaxHeightShare - 2 * kPlanPad;
  l.scale = std::min(l.box_w / std::max(max_u - min_u, 1.0),
                     box_h_max / std::max(max_v - min_v, 1.0));
  const double drawn_w = (max_u - min_u) * l.scale;
  const double drawn_h = (max_v - min_v) * l.scale;
  l.x0 = kPlanPad + (l.box_w - drawn_w) / 2;

  // Marks and points of the line, their y with the drawing at the top; the
  // drawing moves down as the box grows.
  std::vector<double> mark_y;
  const auto add_mark = [&](PlanMark::Kind kind, double x, double y,
                            std::string label) {
    l.marks.push_back(PlanMark{kind, l.X(axis.left, x, y), 0, std::move(label),
                               std::nullopt});
    mark_y.push_back(l.Y(x, y));
  };
  if (has_start) add_mark(PlanMark::Kind::kStart, start_x, start_y, "start");
  if (has_end) add_mark(PlanMark::Kind::kEnd, end_x, end_y, "end");
  for (const Station& st : ctx.stations) {
    double x, y;
    if (!PlanPoint(grid, st.position, &x, &y)) continue;
    add_mark(st.stops ? PlanMark::Kind::kStop : PlanMark::Kind::kStation, x, y,
             st.name);
  }
  std::vector<double> sample_x, sample_y;
  SampleLine(grid, l, axis.left, &sample_x, &sample_y);

  const double max_height =
      std::max(drawn_h + 2 * kPlanPad, ctx.width * kPlanMaxHeightShare);
  double height = std::max(drawn_h + 2 * kPlanPad, kPlanMinHeight);
  const double growth = std::max(kPlanGrowth, (max_height - height) / 16);
  for (;;) {
    l.height = height;
    l.y0 = (height - drawn_h) / 2;
    if (PlaceLabels(axis, drawn_h, sample_x, sample_y, mark_y, &l)) break;
    if (height >= max_height) break;
    height = std::min(height + growth, max_height);
  }
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
  const auto px = [&](double x, double y) { return layout.X(axis.left, x, y); };
  const auto py = [&](double x, double y) { return top + layout.Y(x, y); };

  svg->OpenGroup("plan", "data-min-x=\"" + ExactNumber(e.min_x) +
                             "\" data-max-x=\"" + ExactNumber(e.max_x) +
                             "\" data-min-y=\"" + ExactNumber(e.min_y) +
                             "\" data-max-y=\"" + ExactNumber(e.max_y) +
                             "\" data-points=\"" + ToString(e.points) +
                             "\" data-pixels-per-metre=\"" +
                             ExactNumber(scale) + "\" data-turn-degrees=\"" +
                             ExactNumber(layout.turn_degrees) + "\"");
  svg->Rect(axis.left, top, axis.width, height,
            "class=\"frame\" fill=\"#fbfbf8\" stroke=\"#999\" "
            "stroke-width=\"0.8\"");
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
    const double x = px(grid->x(m), grid->y(m));
    const double y = py(grid->x(m), grid->y(m));
    line.Add(x, y);
    if (!whole) {
      if (axis.Inside(static_cast<double>(m))) {
        shown.Add(x, y);
      } else {
        shown.Break();
      }
    }
  }
  svg->Path(line.Finish(), std::string("id=\"plan-line\" ") +
                               (whole ? kLineStyle : kRestStyle));
  if (!whole) {
    svg->Path(shown.Finish(), std::string("id=\"plan-shown\" ") + kShownStyle);
  }

  // Signals as small marks; one per pixel is enough.
  svg->OpenGroup("plan-signals");
  double last_x = -1e300, last_y = -1e300;
  for (std::size_t k = 0; k < ctx.cells.size(); ++k) {
    if (ctx.cells[k].kind != kKindSignal) continue;
    double x, y;
    if (!PlanPoint(*grid, ItemPosition(ctx.cells[k], k), &x, &y)) continue;
    const double sx = px(x, y), sy = py(x, y);
    if (std::hypot(sx - last_x, sy - last_y) < 1.5) continue;
    svg->Circle(sx, sy, 1.8, kSignalStyle);
    last_x = sx;
    last_y = sy;
  }
  svg->CloseGroup();

  // The marks, then their labels: a label set away from its mark gets a
  // leader back to it.
  const auto label = [&](const PlanMark& mark, std::string_view style) {
    if (!mark.placed) return;
    const PlacedLabel& p = *mark.placed;
    if (p.leader) {
      svg->Line(mark.x, top + p.leader_from, mark.x, top + p.leader_to,
                "class=\"leader\" stroke=\"#888\" stroke-width=\"0.6\"");
    }
    svg->Text(p.x, top + p.baseline, mark.label, style);
  };
  svg->OpenGroup("plan-stations");
  for (const PlanMark& mark : layout.marks) {
    if (mark.kind != PlanMark::Kind::kStop &&
        mark.kind != PlanMark::Kind::kStation) {
      continue;
    }
    svg->Circle(
        mark.x, top + mark.y, 3.5,
        mark.kind == PlanMark::Kind::kStop ? kStopStyle : kStationStyle);
    label(mark, "font-size=\"11\" fill=\"#111\"");
  }
  svg->CloseGroup();

  // Start and end of the line.
  svg->OpenGroup("plan-ends");
  for (const PlanMark& mark : layout.marks) {
    if (mark.kind == PlanMark::Kind::kStart) {
      svg->Circle(mark.x, top + mark.y, 5, kStartStyle);
      label(mark, "font-size=\"12\" font-weight=\"bold\" fill=\"#2e8b57\"");
    } else if (mark.kind == PlanMark::Kind::kEnd) {
      svg->Rect(mark.x - 4.5, top + mark.y - 4.5, 9, 9, kEndStyle);
      label(mark, "font-size=\"12\" font-weight=\"bold\" fill=\"#8b0000\"");
    }
  }
  svg->CloseGroup();

  const double bar_m = ScaleBarMetres(layout);
  const double bar_px = bar_m * scale;
  const double bx = axis.left + kScaleBarInset;
  const double by = top + height - kScaleBarInset;
  svg->OpenGroup("scale-bar", "data-metres=\"" + ExactNumber(bar_m) + "\"");
  svg->Line(bx, by, bx + bar_px, by, "stroke=\"#111\" stroke-width=\"2\"");
  svg->Line(bx, by - 5, bx, by + 2, "stroke=\"#111\" stroke-width=\"1.5\"");
  svg->Line(bx + bar_px, by - 5, bx + bar_px, by + 2,
            "stroke=\"#111\" stroke-width=\"1.5\"");
  svg->Text(bx + bar_px / 2, by - 7, ScaleBarLabel(bar_m),
            "font-size=\"11\" text-anchor=\"middle\" fill=\"#111\"");
  svg->CloseGroup();

  // North arrow, turned with the plan about its middle.
  const double nx = axis.left + axis.width - kNorthFromRight;
  const double ny = top + kNorthFromTop;
  svg->OpenGroup("north");
  std::string arrow_style = "fill=\"#111\"";
  if (layout.turn_degrees != 0) {
    arrow_style += " transform=\"rotate(" + SvgNumber(layout.turn_degrees) +
                   " " + SvgNumber(nx) + " " + SvgNumber(ny + 8) + ")\"";
  }
  svg->Path("M" + SvgNumber(nx) + " " + SvgNumber(ny) + " l-6 16 l6 -4 l6 4 z",
            arrow_style);
  svg->Text(nx, ny + 30, "N",
            "font-size=\"12\" font-weight=\"bold\" text-anchor=\"middle\"");
  svg->CloseGroup();

  Legend(svg, axis, top, PlanLegend(whole));
  svg->CloseGroup();
}

std::vector<PlanSample> PlanSamples(const SheetContext& ctx, const XAxis& axis,
                                    const PlanLayout& layout, double top,
                                    double step) {
  std::vector<PlanSample> points;
  const LineGrid* grid = ctx.scenario.grid;
  if (grid == nullptr || layout.extent.points == 0 || !(step >= 1)) {
    return points;
  }
  const auto add = [&](std::int64_t m) {
    const double x = grid->x(m);
    const double y = grid->y(m);
    points.push_back({static_cast<double>(m), layout.X(axis.left, x, y),
                      top + layout.Y(x, y)});
  };
  const auto every = static_cast<std::int64_t>(step);
  bool in_run = false;
  for (std::int64_t m = 0; m < grid->size(); ++m) {
    const bool usable = UsablePoint(*grid, m);
    const bool run_ends =
        usable && (m + 1 == grid->size() || !UsablePoint(*grid, m + 1));
    if (usable && (!in_run || m % every == 0 || run_ends)) add(m);
    in_run = usable;
  }
  return points;
}

}  // namespace sheet
}  // namespace scenario
