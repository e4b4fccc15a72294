#ifndef SCENARIO_PLOT_SHEET_PANELS_H_
#define SCENARIO_PLOT_SHEET_PANELS_H_

// The panels of the scenario sheet, one file each (plan_panel.cc,
// gradient_panel.cc, ...). Each draws itself as one <g> with its own id
// into svg, its frame's top edge at `top`, along the shared axis. For the
// sheet's own files only.

#include <cstdint>

#include "plot/sheet_layout.h"
#include "plot/svg_builder.h"

namespace scenario {
namespace sheet {

// The extent of the grid's usable points, in metres.
struct PlanExtent {
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  std::int64_t points = 0;
};

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

// Measured before anything is drawn: the plan's height sets where the
// profiles start.
PlanLayout LayOutPlan(const SheetContext& ctx, const XAxis& axis);
// The plan of the line from the grid, or a note that there is none.
void DrawPlan(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
              const PlanLayout& layout, double top);

// kGradientHeight: the gradient in per mille, 0 in the middle.
void DrawGradient(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top);
// kSpeedHeight: the speed limit, and the speed boards' speeds.
void DrawSpeed(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top);
// kAdhesionHeight: the adhesion profile.
void DrawAdhesion(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top);
// kStationsHeight: each station's mark, stretch, name and time.
void DrawStations(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top);
// kSignalsHeight: a mark per signal.
void DrawSignals(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                 double top);
// kSlowdownsHeight: warnings, starts, ends and pre-warnings, with speeds.
void DrawSlowdowns(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                   double top);
// kBoardsHeight: indicator boards with their texts.
void DrawBoards(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                double top);
// kCodesHeight: code marks and the signal repetition stretch.
void DrawCodes(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top);

}  // namespace sheet
}  // namespace scenario

#endif  // SCENARIO_PLOT_SHEET_PANELS_H_
