#ifndef SCENARIO_PLOT_SHEET_LAYOUT_H_
#define SCENARIO_PLOT_SHEET_LAYOUT_H_

// What the panels of the scenario sheet share: the sheet's geometry, the
// axis of positions along the line, value scales, the stations, and the
// small SVG pieces every panel draws with. For the sheet's own files only.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/cell_items.h"
#include "model/kilometre_axis.h"
#include "model/param_table.h"
#include "model/track_cells.h"
#include "plot/scenario_sheet.h"
#include "plot/svg_builder.h"

namespace scenario {
namespace sheet {

// Sheet geometry, in pixels.
inline constexpr double kMarginLeft = 120;
inline constexpr double kMarginRight = 40;
inline constexpr double kPanelGap = 16;
// The title leaves room below its lines for the plan's legend.
inline constexpr double kTitleHeight = 100;
inline constexpr double kGradientHeight = 140;
inline constexpr double kSpeedHeight = 180;
// The speed panel's top speed sits this far below its frame, so that a
// board's mark at that speed, drawn above its level, stays inside.
inline constexpr double kSpeedHeadroom = 8;
inline constexpr double kAdhesionHeight = 90;
inline constexpr double kMountainHeight = 40;
inline constexpr int kStationLanes = 6;
inline constexpr double kLaneHeight = 16;
inline constexpr double kStationsHeight = kStationLanes * kLaneHeight + 26;
inline constexpr double kSignalsHeight = 36;
inline constexpr double kSlowdownsHeight = 58;
inline constexpr double kBoardsHeight = 150;
inline constexpr double kCodesHeight = 48;
inline constexpr double kAxisHeight = 54;
// Rough advance of one character, as a share of the font size, for
// keeping labels apart.
inline constexpr double kCharAdvance = 0.64;

inline constexpr double kMetresPerCell = 50;

std::string ToString(std::int64_t v);
// Precise enough to compare with the grid's own numbers.
std::string ExactNumber(double v);
// Characters (not bytes) of a UTF-8 text.
double CharCount(std::string_view utf8);
double RoundUpTo(double v, double step);

struct Station {
  int slot = 0;
  double position = 0;
  double start = 0;
  double end = 0;
  bool stops = false;  // kinds below 25 get a stop mark
  std::string name;    // UTF-8
  std::string time;
};

// Stations fill the slots from 1 upwards without a gap and stop below the
// lowest slot that an indicator board's cell names.
std::vector<Station> FindStations(const std::vector<TrackCell>& cells,
                                  const ParamTable& table);

// Maps positions along the line onto the sheet's x axis.
struct XAxis {
  double from;
  double to;
  double left;
  double width;

  bool Inside(double p) const { return p >= from && p <= to; }
  double X(double p) const {
    const double q = std::clamp(p, from, to);
    return left + (q - from) / (to - from) * width;
  }
};

// A panel with a value scale: lo at its bottom edge, hi at its top.
struct Panel {
  double top;
  double height;
  double lo;
  double hi;

  double bottom() const { return top + height; }
  double Y(double v) const {
    const double q = std::clamp(v, lo, hi);
    return bottom() - (q - lo) / (hi - lo) * height;
  }
};

// Everything a panel draws from.
struct SheetContext {
  const SheetScenario& scenario;
  const std::vector<TrackCell>& cells;
  const ParamTable& table;
  const KilometreAxis& km;
  std::vector<Station> stations;
  double width;
};

// <title>text</title>, escaped: a tooltip.
std::string Title(std::string_view utf8);
// An element with a tooltip: <name attributes><title>..</title></name>.
void TitledElement(SvgBuilder* svg, std::string_view name,
                   std::string_view attributes, std::string_view title);
// x="..." y="..." attributes.
std::string At(double x, double y);

// The panel's frame (class "frame": the box every mark of the panel keeps
// inside), and its name at the left with the unit of its values (if any)
// below: short lines, clear of the value labels.
void PanelFrame(SvgBuilder* svg, const XAxis& axis, double top, double height,
                std::string_view name, std::string_view unit = "");

// The centre of a mark that reaches `half` pixels to each side of x, moved
// in just enough that the whole mark stays between the axis' edges: an
// item at the edge of the range shows whole, at most `half` off its place.
double MarkX(const XAxis& axis, double x, double half);

// The shapes a legend entry shows: each stands for the mark of the same
// element drawn with the same style.
enum class Swatch {
  kNone,    // text alone
  kLine,    // <path>: a short level stroke
  kArea,    // <path>: a small filled box
  kDot,     // <circle>, radius 3.5
  kSquare,  // <rect>, 8 x 8
  kBar,     // <rect>, 14 x 4
  kDown,    // <path>: a triangle pointing down
  kUp,      // <path>: a triangle pointing up
  kFlag,    // <path>: a signal's flag
  kTick,    // <path>: an upright stroke
};
struct LegendEntry {
  Swatch swatch;
  std::string style;  // the mark's own attributes
  std::string text;   // UTF-8
};
// A key to the panel's marks, just above its frame on the right, as one
// <g class="legend">: each entry's swatch, then its text.
void Legend(SvgBuilder* svg, const XAxis& axis, double top,
            const std::vector<LegendEntry>& entries);
// Value labels and light lines (class "scale") at the given levels.
void ValueScale(SvgBuilder* svg, const XAxis& axis, const Panel& panel,
                const std::vector<double>& levels);

// A step profile over the cells in the axis' range: cell n holds its
// value from n x 50 to (n + 1) x 50.
template <typename ValueOf>
std::string StepProfile(const std::vector<TrackCell>& cells, const XAxis& axis,
                        const Panel& panel, ValueOf value_of) {
  if (cells.empty()) return {};
  const auto n0 = static_cast<std::int64_t>(
      std::max(0.0, std::floor(axis.from / kMetresPerCell)));
  const auto n1 =
      static_cast<std::int64_t>(std::min(static_cast<double>(cells.size() - 1),
                                         std::floor(axis.to / kMetresPerCell)));
  ColumnEnvelope envelope;
  for (std::int64_t n = n0; n <= n1; ++n) {
    const double p = std::max(axis.from, ProfilePosition(n));
    envelope.Add(axis.X(p), panel.Y(value_of(cells[n])));
  }
  return envelope.Finish(axis.X(std::min(axis.to, ProfilePosition(n1 + 1))));
}

// The stretch of cells worth visiting for items in the axis' range.
struct CellSpan {
  std::int64_t first;
  std::int64_t last;  // inclusive; last < first when empty
};
CellSpan ItemCells(const std::vector<TrackCell>& cells, const XAxis& axis);

}  // namespace sheet
}  // namespace scenario

#endif  // SCENARIO_PLOT_SHEET_LAYOUT_H_
