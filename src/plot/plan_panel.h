#ifndef SCENARIO_PLOT_PLAN_PANEL_H_
#define SCENARIO_PLOT_PLAN_PANEL_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plot/label_placer.h"
#include "plot/sheet_layout.h"
#include "plot/svg_builder.h"

namespace scenario {
namespace sheet {

// The extent of the grid's usable points, in metres.
struct PlanExtent {
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  std::int64_t points = 0;
};

// A mark on the plan with its label, in pixels from the panel's top.
struct PlanMark {
  enum class Kind { kStart, kEnd, kStop, kStation };
  Kind kind;
  double x = 0;
  double y = 0;
  std::string label;  // UTF-8
  // Where the label went; absent when no free place was left for it.
  std::optional<PlacedLabel> placed;
};

// Where the plan goes on the sheet: equal scales on both axes, turned so
// that the line runs from its start on the left to its end on the right
// (north up when the two lie close together), centred in a box as wide as
// the profiles and as high as the turned line and its labels need.
struct PlanLayout {
  PlanExtent extent;   // unturned, in metres
  double height = 36;  // the note's height when there is no plan
  double scale = 1;    // pixels per metre
  double box_w = 0;
  // The turn: a point (x, y) lies at u = x cos + y sin along the line and
  // v = y cos - x sin across it. turn_degrees is the clockwise turn of
  // north on the sheet.
  double cos = 1;
  double sin = 0;
  double turn_degrees = 0;
  double min_u = 0;
  double max_v = 0;
  double x0 = 0;  // offsets of the turned extent's corner from the
  double y0 = 0;  // panel's left edge and top
  // Start, end and stations, with their labels placed.
  std::vector<PlanMark> marks;

  // A grid point on the sheet, relative to the panel's top.
  double X(double left, double x, double y) const {
    return left + x0 + (x * cos + y * sin - min_u) * scale;
  }
  double Y(double x, double y) const {
    return y0 + (max_v - (y * cos - x * sin)) * scale;
  }
};

// Measured before anything is drawn: the plan's height sets where the
// profiles start.
PlanLayout LayOutPlan(const SheetContext& ctx, const XAxis& axis);
// The plan of the line from the grid, or a note that there is none.
void DrawPlan(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
              const PlanLayout& layout, double top);

// The plan's line as points on the sheet (top: the panel's top), one every
// `step` metres and at both ends of each run of usable grid points; empty
// without a plan.
std::vector<PlanSample> PlanSamples(const SheetContext& ctx, const XAxis& axis,
                                    const PlanLayout& layout, double top,
                                    double step);

}  // namespace sheet
}  // namespace scenario

#endif  // SCENARIO_PLOT_PLAN_PANEL_H_
