#include <algorithm>
#include <cstdint>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

constexpr char kAdhesionStyle[] =
    "fill=\"none\" stroke=\"#2e8b57\" stroke-width=\"1.4\"";

}  // namespace

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
            kAdhesionStyle);
  Legend(svg, axis, top, {{Swatch::kLine, kAdhesionStyle, "adhesion"}});
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
