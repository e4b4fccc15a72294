#include <algorithm>
#include <cstddef>
#include <string>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {

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

}  // namespace sheet
}  // namespace scenario
