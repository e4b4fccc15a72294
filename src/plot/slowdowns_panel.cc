#include <algorithm>
#include <cstddef>
#include <string>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

constexpr char kWarningStyle[] =
    "fill=\"#f1c40f\" stroke=\"#333\" stroke-width=\"0.8\"";
constexpr char kStartStyle[] = "fill=\"#d35400\"";
constexpr char kEndStyle[] =
    "fill=\"#fff\" stroke=\"#d35400\" stroke-width=\"1.4\"";
constexpr char kPreWarningStyle[] = "fill=\"#333\"";
constexpr char kStretchStyle[] = "fill=\"#f39c12\" fill-opacity=\"0.5\"";

}  // namespace

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
        const double x0 =
            std::min(axis.X(open_start), axis.left + axis.width - 1);
        svg->Rect(x0, mid - 3, std::max(1.0, axis.X(p) - x0), 6, kStretchStyle);
      }
      open = false;
    }
    if (!axis.Inside(p)) continue;
    // The widest mark, the warning's triangle, reaches 6 px to each side.
    const double x = MarkX(axis, axis.X(p), 6);
    const std::string where = " at km " + FormatKilometre(ctx.km.Reading(p));
    std::string label;
    switch (c.kind) {
      case kKindWarningBoard:
        TitledElement(
            svg, "path",
            "d=\"M" + SvgNumber(x) + " " + SvgNumber(mid - 12) +
                " l6 11 h-12 z\" " + kWarningStyle,
            "slowdown warning" + where + ": " + ToString(c.w2) + " km/h");
        label = ToString(c.w2);
        break;
      case kKindSlowdownStart:
        TitledElement(
            svg, "rect",
            At(x - 4, mid - 4) + " width=\"8\" height=\"8\" " + kStartStyle,
            "slowdown start" + where + ": " + ToString(c.w2) + " km/h");
        label = ToString(c.w2);
        break;
      case kKindSlowdownEnd:
        TitledElement(
            svg, "rect",
            At(x - 4, mid - 4) + " width=\"8\" height=\"8\" " + kEndStyle,
            "slowdown end" + where);
        break;
      default:  // pre-warning cell
        svg->Circle(x, mid, 1.6, kPreWarningStyle);
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
         {{Swatch::kUp, kWarningStyle, "warning board"},
          {Swatch::kSquare, kStartStyle, "start"},
          {Swatch::kSquare, kEndStyle, "end"},
          {Swatch::kDot, kPreWarningStyle, "pre-warning"},
          {Swatch::kBar, kStretchStyle, "slowdown stretch"},
          {Swatch::kNone, "", "speeds in km/h"}});
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
