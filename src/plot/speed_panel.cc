#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

// One of a speed board's three words: the speed of its s set and of its d
// set.
struct SpeedPair {
  int s = 0;  // km/h of the s set, 0 when absent
  int d = 0;  // km/h of the d set, 0 when absent
};

// A speed board's word is the s speed times 20 plus the d speed over 5.
// With speeds in multiples of 5 km/h below 500 km/h (all real ones) that
// is s/5 hundreds plus d/5, which this undoes exactly.
SpeedPair DecodeBoardWord(std::int16_t w) {
  if (w <= 0) return {};
  return {(w / 100) * 5, (w % 100) * 5};
}

}  // namespace

void DrawSpeed(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top) {
  const CellSpan span = ItemCells(ctx.cells, axis);
  double highest = 0;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    highest = std::max(highest, c.speed_step * 5.0);
    if (c.kind == kKindSpeedBoard) {
      for (const std::int16_t w : {c.w2, c.w4, c.w6}) {
        const SpeedPair p = DecodeBoardWord(w);
        highest = std::max({highest, double(p.s), double(p.d)});
      }
    }
  }
  const double top_speed = std::max(40.0, RoundUpTo(highest, 20));
  const Panel panel{top, kSpeedHeight, 0, top_speed};
  svg->OpenGroup("speed", "data-max-kmh=\"" + SvgNumber(top_speed) + "\"");
  PanelFrame(svg, axis, top, kSpeedHeight, "Speed", "(km/h)");
  std::vector<double> levels;
  const double level_step = top_speed > 200 ? 50 : 20;
  for (double v = 0; v <= top_speed; v += level_step) levels.push_back(v);
  ValueScale(svg, axis, panel, levels);
  svg->Path(StepProfile(ctx.cells, axis, panel,
                        [](const TrackCell& c) { return c.speed_step * 5.0; }),
            "id=\"speed-limit\" fill=\"none\" stroke=\"#1f4e99\" "
            "stroke-width=\"1.6\"");

  // Boards: a mark per speed (A, B, C), filled for the s set, hollow for
  // the d set.
  static constexpr const char* kColours[3] = {"#c0392b", "#16a085", "#8e44ad"};
  svg->OpenGroup("speed-boards");
  double last_x = -1e300;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindSpeedBoard) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    if (x - last_x < 1) continue;
    last_x = x;
    const SpeedPair pairs[3] = {DecodeBoardWord(c.w2), DecodeBoardWord(c.w4),
                                DecodeBoardWord(c.w6)};
    std::string tip =
        "speed board at km " + FormatKilometre(ctx.km.Reading(p)) + ": " +
        ToString(pairs[0].s) + "/" + ToString(pairs[1].s) + "/" +
        ToString(pairs[2].s) + " km/h, stripes " + ToString(c.w8 / 10);
    if (pairs[0].d || pairs[1].d || pairs[2].d) {
      tip += "; d set " + ToString(pairs[0].d) + "/" + ToString(pairs[1].d) +
             "/" + ToString(pairs[2].d) + " km/h, stripes " +
             ToString(c.w8 % 10);
    }
    svg->OpenGroup("");
    svg->Raw(Title(tip));
    for (int i = 0; i < 3; ++i) {
      if (pairs[i].s > 0) {
        const double y = panel.Y(pairs[i].s);
        svg->Path(
            "M" + SvgNumber(x - 3.5) + " " + SvgNumber(y - 6) + " h7 l-3.5 6 z",
            std::string("fill=\"") + kColours[i] + "\"");
      }
      if (pairs[i].d > 0) {
        const double y = panel.Y(pairs[i].d);
        svg->Path(
            "M" + SvgNumber(x - 3.5) + " " + SvgNumber(y - 6) + " h7 l-3.5 6 z",
            std::string("fill=\"none\" stroke-width=\"1\" stroke=\"") +
                kColours[i] + "\"");
      }
    }
    svg->CloseGroup();
  }
  svg->CloseGroup();
  Legend(svg, axis, top,
         "line: speed limit \xC2\xB7 \xE2\x96\xBC board speeds A, B, C "
         "(red, green, violet; filled: s set, hollow: d set)");
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
