#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "model/line_grid.h"
#include "model/param_table.h"
#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

// The plan's box: at most this share of the width in height.
constexpr double kPlanMaxHeightShare = 0.6;
constexpr double kPlanPad = 24;
// Grid coordinates beyond this many metres from the origin cannot come
// from a line of at most 1000 km; such points are left out as corrupt.
constexpr double kPlanCoordinateLimit = 1e8;
// Points of a polyline closer than this (in pixels) are merged.
constexpr double kPathTolerance = 0.5;

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

}  // namespace

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

}  // namespace sheet
}  // namespace scenario
