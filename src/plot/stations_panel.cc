#include <algorithm>
#include <string>
#include <vector>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

// A station's label in the row above the marks: its lane (0 at the top)
// and its extent; a leader runs from the label down to the mark at x.
struct StationLabel {
  const Station* station;
  double x;
  double x0;
  double x1;
  bool flipped;  // ends at its mark instead of starting there
  std::string text;
  int lane = 0;
};

// Chooses each label's lane so that no two labels of a lane touch and no
// leader crosses a label: from right to left (a label runs to the right of
// its leader, so the labels placed before stand clear of the later
// leaders), each label takes the top lane that is free along its width
// and below it at its leader. When no lane is, the label takes the first
// lane free along its width, or the bottom one: every station's name
// shows.
void ChooseLanes(std::vector<StationLabel>* labels) {
  std::vector<StationLabel*> order;
  for (StationLabel& l : *labels) order.push_back(&l);
  std::stable_sort(
      order.begin(), order.end(),
      [](const StationLabel* a, const StationLabel* b) { return a->x > b->x; });
  std::vector<const StationLabel*> placed;
  const auto lane_free = [&](const StationLabel& l, int lane) {
    for (const StationLabel* p : placed) {
      if (p->lane == lane && l.x0 < p->x1 + 4 && p->x0 < l.x1 + 4) {
        return false;
      }
    }
    return true;
  };
  const auto leaders_clear = [&](const StationLabel& l, int lane) {
    for (const StationLabel* p : placed) {
      // Its leader under this label, or this leader through its label.
      if (p->lane < lane && p->x >= l.x0 && p->x <= l.x1) return false;
      if (p->lane > lane && l.x >= p->x0 && l.x <= p->x1) return false;
    }
    return true;
  };
  for (StationLabel* l : order) {
    int chosen = -1;
    for (int lane = 0; lane < kStationLanes && chosen < 0; ++lane) {
      if (lane_free(*l, lane) && leaders_clear(*l, lane)) chosen = lane;
    }
    for (int lane = 0; lane < kStationLanes && chosen < 0; ++lane) {
      if (lane_free(*l, lane)) chosen = lane;
    }
    l->lane = chosen < 0 ? kStationLanes - 1 : chosen;
    placed.push_back(l);
  }
}

constexpr char kStopStyle[] = "fill=\"#111\"";
constexpr char kNoStopStyle[] =
    "fill=\"#fff\" stroke=\"#111\" stroke-width=\"1.2\"";
constexpr char kStretchStyle[] = "fill=\"#bbb\"";
// A station's dot reaches this far to each side of its place.
constexpr double kDotHalf = 3.5;

}  // namespace

void DrawStations(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top) {
  const double height = kStationsHeight;
  svg->OpenGroup("stations");
  PanelFrame(svg, axis, top, height, "Stations");
  const double base = top + height - 8;
  std::vector<StationLabel> labels;
  for (const Station& st : ctx.stations) {
    const double lo = std::min({st.start, st.end, st.position});
    const double hi = std::max({st.start, st.end, st.position});
    if (hi < axis.from || lo > axis.to) continue;
    const double x = MarkX(axis, axis.X(st.position), kDotHalf);
    std::string text = st.name;
    if (!st.time.empty()) text += "  " + st.time;
    const double w = CharCount(text) * 11 * kCharAdvance;
    // A label that would run past the right edge ends at its mark instead.
    const bool flipped = x + 2 + w > axis.left + axis.width;
    const double x0 = flipped ? x - 2 - w : x;
    labels.push_back(StationLabel{&st, x, x0, x0 + w + 4, flipped, text});
  }
  ChooseLanes(&labels);
  for (const StationLabel& l : labels) {
    const Station& st = *l.station;
    const double x = l.x;
    const double bar_x = std::min(axis.X(std::min(st.start, st.end)),
                                  axis.left + axis.width - 1);
    svg->Rect(bar_x, base - 3,
              std::max(1.0, axis.X(std::max(st.start, st.end)) - bar_x), 6,
              kStretchStyle);
    const double y = top + 16 + l.lane * kLaneHeight;
    svg->Line(x, y + 3, x, base,
              "class=\"leader\" stroke=\"#777\" stroke-width=\"0.7\"");
    svg->Circle(x, base, kDotHalf, st.stops ? kStopStyle : kNoStopStyle);
    svg->Text(l.flipped ? x - 2 : x + 2, y, l.text,
              std::string(l.flipped ? "text-anchor=\"end\" " : "") +
                  "font-size=\"11\" fill=\"#111\" data-slot=\"" +
                  ToString(st.slot) + "\"");
  }
  Legend(svg, axis, top,
         {{Swatch::kDot, kStopStyle, "stop"},
          {Swatch::kDot, kNoStopStyle, "no stop mark"},
          {Swatch::kBar, kStretchStyle, "station stretch"},
          {Swatch::kNone, "", "times of the timetable"}});
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
