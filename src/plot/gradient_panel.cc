#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

constexpr char kAreaStyle[] =
    "fill=\"#c8a165\" fill-opacity=\"0.35\" stroke=\"none\"";
constexpr char kLineStyle[] =
    "fill=\"none\" stroke=\"#8a5a19\" stroke-width=\"1.2\"";

}  // namespace

void DrawGradient(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top) {
  double extreme = 0;
  const CellSpan span = ItemCells(ctx.cells, axis);
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    extreme =
        std::max(extreme, std::fabs(double(GradientPerMille(ctx.cells[k]))));
  }
  const double g = std::max(5.0, RoundUpTo(extreme, 5));
  const Panel panel{top, kGradientHeight, -g, g};
  svg->OpenGroup("gradient", "data-max-per-mille=\"" + SvgNumber(g) + "\"");
  PanelFrame(svg, axis, top, kGradientHeight, "Gradient", "(\xE2\x80\xB0)");
  ValueScale(svg, axis, panel, {-g, -g / 2, 0, g / 2, g});
  std::string d = StepProfile(ctx.cells, axis, panel, [](const TrackCell& c) {
    return double(GradientPerMille(c));
  });
  if (!d.empty()) {
    svg->Path(d + " L" + SvgNumber(axis.left + axis.width) + " " +
                  SvgNumber(panel.Y(0)) + " L" + SvgNumber(axis.left) + " " +
                  SvgNumber(panel.Y(0)) + " Z",
              kAreaStyle);
    svg->Path(d, kLineStyle);
  }
  Legend(svg, axis, top,
         {{Swatch::kLine, kLineStyle, "gradient"},
          {Swatch::kArea, kAreaStyle, "above 0: rising, below 0: falling"}});
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
