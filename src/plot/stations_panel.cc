#include <algorithm>
#include <string>
#include <vector>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

// Keeps labels of one row from covering each other: each label takes the
// first lane where it fits; when none is free it goes where the lane
// ends first (labels that must all show, such as station names).
class LaneAllocator {
 public:
  explicit LaneAllocator(int lanes) : ends_(lanes, -1e300) {}

  // Lane for a label spanning [x0, x1]; -1 when none is free and
  // may_overlap is false.
  int Place(double x0, double x1, bool may_overlap) {
    for (std::size_t i = 0; i < ends_.size(); ++i) {
      if (ends_[i] + 4 <= x0) {
        ends_[i] = x1;
        return static_cast<int>(i);
      }
    }
    if (!may_overlap) return -1;
    const auto it = std::min_element(ends_.begin(), ends_.end());
    *it = std::max(*it, x1);
    return static_cast<int>(it - ends_.begin());
  }

 private:
  std::vector<double> ends_;
};

}  // namespace

void DrawStations(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                  double top) {
  const double height = kStationsHeight;
  svg->OpenGroup("stations");
  PanelFrame(svg, axis, top, height, "Stations");
  const double base = top + height - 8;
  LaneAllocator lanes(kStationLanes);
  for (const Station& st : ctx.stations) {
    const double lo = std::min({st.start, st.end, st.position});
    const double hi = std::max({st.start, st.end, st.position});
    if (hi < axis.from || lo > axis.to) continue;
    const double x = axis.X(st.position);
    svg->Rect(axis.X(std::min(st.start, st.end)), base - 3,
              std::max(1.0, axis.X(std::max(st.start, st.end)) -
                                axis.X(std::min(st.start, st.end))),
              6, "fill=\"#bbb\"");
    std::string label = st.name;
    if (!st.time.empty()) label += "  " + st.time;
    const double label_w = CharCount(label) * 11 * kCharAdvance;
    // A label that would run past the right edge ends at its mark instead.
    const bool flipped = x + 2 + label_w > axis.left + axis.width;
    const double x0 = flipped ? x - 2 - label_w : x;
    const int lane = lanes.Place(x0, x0 + label_w + 4, true);
    const double y = top + 16 + lane * kLaneHeight;
    svg->Line(x, y + 3, x, base, "stroke=\"#777\" stroke-width=\"0.7\"");
    svg->Circle(x, base, 3.5,
                st.stops
                    ? "fill=\"#111\""
                    : "fill=\"#fff\" stroke=\"#111\" stroke-width=\"1.2\"");
    svg->Text(flipped ? x - 2 : x + 2, y, label,
              std::string(flipped ? "text-anchor=\"end\" " : "") +
                  "font-size=\"11\" fill=\"#111\" data-slot=\"" +
                  ToString(st.slot) + "\"");
  }
  Legend(svg, axis, top,
         "\xE2\x97\x8F stop \xC2\xB7 \xE2\x97\x8B no stop mark \xC2\xB7 "
         "bar: station stretch \xC2\xB7 times of the timetable");
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
