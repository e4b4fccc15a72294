#include <cstdint>
#include <string>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

constexpr char kRepetitionStyle[] = "fill=\"#9b59b6\" fill-opacity=\"0.5\"";
constexpr char kCodeMarkStyle[] = "stroke=\"#6c3483\" stroke-width=\"1.6\"";
constexpr char kCodeOffStyle[] = "stroke=\"#999\" stroke-width=\"1.6\"";

}  // namespace

void DrawCodes(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top) {
  svg->OpenGroup("codes");
  PanelFrame(svg, axis, top, kCodesHeight, "Code marks");
  Legend(svg, axis, top,
         {{Swatch::kTick, kCodeMarkStyle, "code mark, with its code"},
          {Swatch::kTick, kCodeOffStyle, "code off"},
          {Swatch::kBar, kRepetitionStyle, "signal repetition stretch"}});
  // The stretch with signal repetition.
  const ParamSlot& rep = ctx.table[kTrainSlot];
  if (rep.long2 != 0 && rep.long2 > rep.long1 && rep.long2 >= axis.from &&
      rep.long1 <= axis.to) {
    const double x0 = axis.X(rep.long1);
    const double x1 = axis.X(rep.long2);
    TitledElement(svg, "rect",
                  At(x0, top + 6) + " width=\"" + SvgNumber(x1 - x0) +
                      "\" height=\"4\" " + kRepetitionStyle,
                  "signal repetition, " + ToString(rep.long3) + " codes, " +
                      "km " + FormatKilometre(ctx.km.Reading(rep.long1)) +
                      " to " + FormatKilometre(ctx.km.Reading(rep.long2)));
  }
  const CellSpan span = ItemCells(ctx.cells, axis);
  double last_x = -1e300;
  double last_label_end = -1e300;
  const double base = top + kCodesHeight - 8;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindCodeMark && c.kind != kKindCodeOff) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    if (x - last_x < 1) continue;
    last_x = x;
    const bool on = c.kind == kKindCodeMark;
    const std::string label = on ? ToString(c.w2) : "off";
    TitledElement(svg, "path",
                  "d=\"M" + SvgNumber(x) + " " + SvgNumber(base) + " v-16\" " +
                      (on ? kCodeMarkStyle : kCodeOffStyle),
                  std::string(on ? "code mark " : "code off") + " at km " +
                      FormatKilometre(ctx.km.Reading(p)) +
                      (on ? ": " + label : ""));
    const double w = CharCount(label) * 10 * kCharAdvance;
    if (x + 2 > last_label_end + 3) {
      svg->Text(x + 2, base - 18, label, "font-size=\"10\" fill=\"#6c3483\"");
      last_label_end = x + 2 + w;
    }
  }
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
