#include <algorithm>
#include <cmath>
#include <cstddef>
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

constexpr char kLimitStyle[] =
    "fill=\"none\" stroke=\"#1f4e99\" stroke-width=\"1.6\"";
constexpr char kSlowdownStyle[] =
    "fill=\"none\" stroke=\"#d35400\" stroke-width=\"2\" "
    "stroke-dasharray=\"6 3\"";
constexpr const char* kBoardColours[3] = {"#c0392b", "#16a085", "#8e44ad"};

// A slowdown as the cells impose it: from its start cell's position to its
// end cell's, at the start cell's speed.
struct SlowdownStretch {
  double from;
  double to;
  double kmh;
};

// The slowdowns in force, walking every cell from the start of the line as
// a train meets them: a start imposes its speed (its w2, none below 0)
// until the next end lifts it; a later start before that end replaces the
// speed. A start that no end follows holds to the last cell. The same
// pairing finds a slowdown's end in the compile's code-mark pass.
std::vector<SlowdownStretch> SlowdownsInForce(
    const std::vector<TrackCell>& cells) {
  std::vector<SlowdownStretch> out;
  bool open = false;
  SlowdownStretch current{0, 0, 0};
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const TrackCell& c = cells[k];
    const auto cell = static_cast<std::int64_t>(k);
    if (c.kind != kKindSlowdownStart && c.kind != kKindSlowdownEnd) continue;
    const double p = ItemPosition(c, cell);
    if (open && p > current.from) {
      current.to = p;
      out.push_back(current);
    }
    open = c.kind == kKindSlowdownStart;
    current = {p, p, std::max(0.0, double(c.w2))};
  }
  if (open && !cells.empty()) {
    current.to = ProfilePosition(static_cast<std::int64_t>(cells.size()));
    if (current.to > current.from) out.push_back(current);
  }
  return out;
}

// The speed in force over each slowdown: the lower of the slowdown's speed
// and the limit of each cell it covers, as steps; one sub-path per
// slowdown in the axis' range.
std::string SlowdownSpeedPath(const SheetContext& ctx, const XAxis& axis,
                              const Panel& panel) {
  std::string d;
  const auto last_cell = static_cast<std::int64_t>(ctx.cells.size()) - 1;
  for (const SlowdownStretch& s : SlowdownsInForce(ctx.cells)) {
    const double from = std::max(s.from, axis.from);
    const double to = std::min(s.to, axis.to);
    if (to <= from) continue;
    const auto n0 = std::max<std::int64_t>(
        0, static_cast<std::int64_t>(from / kMetresPerCell));
    const auto n1 =
        std::min(last_cell,
                 static_cast<std::int64_t>(std::ceil(to / kMetresPerCell)) - 1);
    ColumnEnvelope envelope;
    for (std::int64_t n = n0; n <= n1; ++n) {
      const double kmh = std::min(s.kmh, double(SpeedLimitKmh(ctx.cells[n])));
      envelope.Add(axis.X(std::max(from, ProfilePosition(n))), panel.Y(kmh));
    }
    const std::string part = envelope.Finish(axis.X(to));
    if (part.empty()) continue;
    if (!d.empty()) d += ' ';
    d += part;
  }
  return d;
}

// Boards: a mark per speed (A, B, C), filled for the s set, hollow for
// the d set.
void DrawBoardMarks(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                    const Panel& panel, CellSpan span) {
  svg->OpenGroup("speed-boards");
  double last_x = -1e300;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindSpeedBoard) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = MarkX(axis, axis.X(p), 3.5);
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
            std::string("fill=\"") + kBoardColours[i] + "\"");
      }
      if (d[i] > 0) {
        const double y = panel.Y(d[i]);
        svg->Path(
            "M" + SvgNumber(x - 3.5) + " " + SvgNumber(y - 6) + " h7 l-3.5 6 z",
            std::string("fill=\"none\" stroke-width=\"1\" stroke=\"") +
                kBoardColours[i] + "\"");
      }
    }
    svg->CloseGroup();
  }
  svg->CloseGroup();
}

std::vector<LegendEntry> SpeedLegend() {
  std::vector<LegendEntry> legend = {
      {Swatch::kLine, kLimitStyle, "speed limit"},
      {Swatch::kLine, kSlowdownStyle, "speed in force in a slowdown"}};
  static constexpr const char* kSpeedNames[3] = {"A", "B", "C"};
  for (int i = 0; i < 3; ++i) {
    legend.push_back({Swatch::kDown,
                      std::string("fill=\"") + kBoardColours[i] + "\"",
                      std::string("board speed ") + kSpeedNames[i]});
  }
  legend.push_back({Swatch::kDown,
                    "fill=\"none\" stroke-width=\"1\" stroke=\"#555\"",
                    "hollow: the d set"});
  return legend;
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
  const Panel panel{top + kSpeedHeadroom, kSpeedHeight - kSpeedHeadroom, 0,
                    top_speed};
  svg->OpenGroup("speed", "data-max-kmh=\"" + SvgNumber(top_speed) + "\"");
  PanelFrame(svg, axis, top, kSpeedHeight, "Speed", "(km/h)");
  std::vector<double> levels;
  const double level_step = top_speed > 200 ? 50 : 20;
  for (double v = 0; v <= top_speed; v += level_step) levels.push_back(v);
  ValueScale(svg, axis, panel, levels);
  svg->Path(
      StepProfile(ctx.cells, axis, panel,
                  [](const TrackCell& c) { return double(SpeedLimitKmh(c)); }),
      std::string("id=\"speed-limit\" ") + kLimitStyle);
  const std::string slowdown_d = SlowdownSpeedPath(ctx, axis, panel);
  if (!slowdown_d.empty()) {
    svg->Path(slowdown_d,
              std::string("id=\"slowdown-speed\" ") + kSlowdownStyle);
  }
  DrawBoardMarks(svg, ctx, axis, panel, span);
  Legend(svg, axis, top, SpeedLegend());
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
