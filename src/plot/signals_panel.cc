#include <algorithm>
#include <cstdint>
#include <string>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

constexpr char kSignalStyle[] =
    "fill=\"none\" stroke=\"#c0392b\" stroke-width=\"1.4\"";

}  // namespace

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
    // The flag runs 5 px to the right of its post.
    const double x = std::min(axis.X(p), axis.left + axis.width - 5);
    if (x - last_x < 1) continue;
    last_x = x;
    const std::string tip = "signal at km " +
                            FormatKilometre(ctx.km.Reading(p)) + " (cell " +
                            ToString(k) + "): " + ToString(c.w2) + " " +
                            ToString(c.w4) + " " + ToString(c.w6) + ", types " +
                            ToString(c.w8) + ", time " + ToString(c.b10);
    TitledElement(svg, "path",
                  "d=\"M" + SvgNumber(x) + " " + SvgNumber(top + 30) +
                      " v-18 h5 v7 h-5\" " + kSignalStyle,
                  tip);
  }
  Legend(svg, axis, top, {{Swatch::kFlag, kSignalStyle, "signal"}});
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
