#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

// A speed board as drawn: a speed below 0, which only a negative word
// gives and no placement writes, shows as none.
SpeedBoardValues ShownBoard(const TrackCell& c) {
  SpeedBoardValues board = DecodeSpeedBoard(c);
  for (int i = 0; i < 3; ++i) {
    board.s_kmh[i] = std::max(0, board.s_kmh[i]);
    board.d_kmh[i] = std::max(0, board.d_kmh[i]);
  }
  return board;
}

}  // namespace

void DrawSpeed(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
               double top) {
  const CellSpan span = ItemCells(ctx.cells, axis);
  double highest = 0;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    highest = std::max(highest, double(SpeedLimitKmh(c)));
    if (c.kind == kKindSpeedBoard) {
      const SpeedBoardValues board = ShownBoard(c);
      for (int i = 0; i < 3; ++i) {
        highest =
            std::max({highest, double(board.s_kmh[i]), double(board.d_kmh[i])});
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
  svg->Path(
      StepProfile(ctx.cells, axis, panel,
                  [](const TrackCell& c) { return double(SpeedLimitKmh(c)); }),
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
    const SpeedBoardValues board = ShownBoard(c);
    const int* s = board.s_kmh;
    const int* d = board.d_kmh;
    std::string tip =
        "speed board at km " + FormatKilometre(ctx.km.Reading(p)) + ": " +
        ToString(s[0]) + "/" + ToString(s[1]) + "/" + ToString(s[2]) +
        " km/h, stripes " + ToString(board.s_stripes);
    if (d[0] || d[1] || d[2]) {
      tip += "; d set " + ToString(d[0]) + "/" + ToString(d[1]) + "/" +
             ToString(d[2]) + " km/h, stripes " + ToString(board.d_stripes);
    }
    svg->OpenGroup("");
    svg->Raw(Title(tip));
    for (int i = 0; i < 3; ++i) {
      if (s[i] > 0) {
        const double y = panel.Y(s[i]);
        svg->Path(
            "M" + SvgNumber(x - 3.5) + " " + SvgNumber(y - 6) + " h7 l-3.5 6 z",
            std::string("fill=\"") + kColours[i] + "\"");
      }
      if (d[i] > 0) {
        const double y = panel.Y(d[i]);
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
