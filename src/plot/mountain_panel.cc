#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

// The band's place inside the panel, and the marks' below it.
constexpr double kBandTop = 8;
constexpr double kBandHeight = 14;
constexpr double kMarkTop = 26;
constexpr double kMarkLength = 8;
constexpr char kMarkStyle[] = "stroke=\"#5d4037\" stroke-width=\"1.4\"";

// Types 1 to 3 (3: a stretch joined to the one before) get a colour each;
// any other type, which no description row of 1 to 3 gives, shares one.
std::string TypeStyle(int type) {
  switch (type) {
    case 1:
      return "fill=\"#a1887f\"";
    case 2:
      return "fill=\"#6d4c41\"";
    case 3:
      return "fill=\"#d7a86e\"";
    default:
      return "fill=\"#7f8c8d\"";
  }
}
std::string TypeName(int type) {
  return type >= 1 && type <= 3 ? "type " + ToString(type) : "other type";
}
int StyleGroup(int type) { return type >= 1 && type <= 3 ? type : 0; }

// One run of cells with the same mountain-side type, in metres.
struct MountainRun {
  double from;
  double to;
  int type;
};

// The runs over the cells in the axis' range: cell n holds its type from
// n x 50 to (n + 1) x 50, as the stretch rows fill it.
std::vector<MountainRun> MountainRuns(const std::vector<TrackCell>& cells,
                                      const XAxis& axis) {
  std::vector<MountainRun> runs;
  if (cells.empty()) return runs;
  const auto n0 = static_cast<std::int64_t>(
      std::max(0.0, std::floor(axis.from / kMetresPerCell)));
  const auto n1 =
      static_cast<std::int64_t>(std::min(static_cast<double>(cells.size() - 1),
                                         std::floor(axis.to / kMetresPerCell)));
  for (std::int64_t n = n0; n <= n1; ++n) {
    const int type = cells[n].mountain;
    if (type == 0) continue;
    const double from = std::max(axis.from, ProfilePosition(n));
    const double to = std::min(axis.to, ProfilePosition(n + 1));
    if (!runs.empty() && runs.back().type == type && runs.back().to == from) {
      runs.back().to = to;
    } else {
      runs.push_back({from, to, type});
    }
  }
  return runs;
}

}  // namespace

void DrawMountain(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top) {
  svg->OpenGroup("mountain");
  PanelFrame(svg, axis, top, kMountainHeight, "Mountain side");
  std::set<int> groups;
  const double right = axis.left + axis.width;
  for (const MountainRun& run : MountainRuns(ctx.cells, axis)) {
    const double x0 = std::min(axis.X(run.from), right - 1);
    const double x1 = std::max(axis.X(run.to), x0 + 1);
    groups.insert(StyleGroup(run.type));
    TitledElement(svg, "rect",
                  At(x0, top + kBandTop) + " width=\"" + SvgNumber(x1 - x0) +
                      "\" height=\"" + SvgNumber(kBandHeight) + "\" " +
                      TypeStyle(run.type),
                  "mountain side type " + ToString(run.type) + ", km " +
                      FormatKilometre(ctx.km.Reading(run.from)) + " to " +
                      FormatKilometre(ctx.km.Reading(run.to)));
  }
  // The marks a stretch row asks for, on every fourth cell of it; one per
  // pixel is enough.
  bool marks = false;
  double last_x = -1e300;
  const CellSpan span = ItemCells(ctx.cells, axis);
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindMountainMark) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = axis.X(p);
    if (x - last_x < 1) continue;
    last_x = x;
    marks = true;
    TitledElement(
        svg, "path",
        "d=\"M" + SvgNumber(x) + " " + SvgNumber(top + kMarkTop) + " v" +
            SvgNumber(kMarkLength) + "\" " + kMarkStyle,
        "mountain-side mark at km " + FormatKilometre(ctx.km.Reading(p)));
  }
  std::vector<LegendEntry> legend;
  for (const int group : {1, 2, 3, 0}) {
    if (groups.count(group) == 0) continue;
    legend.push_back({Swatch::kBar, TypeStyle(group), TypeName(group)});
  }
  if (marks)
    legend.push_back({Swatch::kTick, kMarkStyle, "mountain-side mark"});
  if (legend.empty()) {
    legend.push_back({Swatch::kNone, "", "no mountain side in this stretch"});
  }
  Legend(svg, axis, top, legend);
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
