#ifndef SCENARIO_PLOT_SHEET_PANELS_H_
#define SCENARIO_PLOT_SHEET_PANELS_H_

// The panels of the scenario sheet along the kilometre axis, one file each
// (gradient_panel.cc, speed_panel.cc, ...); the plan has plan_panel.h. Each
// draws itself as one <g> with its own id into svg, its frame's top edge at
// `top`, along the shared axis. For the sheet's own files only.

#include "plot/sheet_layout.h"
#include "plot/svg_builder.h"

namespace scenario {
namespace sheet {

// kGradientHeight: the gradient in per mille, 0 in the middle.
void DrawGradient(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top);
// kSpeedHeight: the speed limit, the speed in force where a slowdown
// applies, and the speed boards' speeds.
void DrawSpeed(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top);
// kAdhesionHeight: the adhesion profile.
void DrawAdhesion(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top);
// kMountainHeight: the mountain-side stretches as a band coloured by their
// type, and the marks their rows ask for.
void DrawMountain(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
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
