#include "plot/label_placer.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace scenario {
namespace {

// Advance of one character as a share of the font size: regular and bold.
constexpr double kAdvance = 0.64;
constexpr double kBoldAdvance = 0.72;
// The height of a lane, as a share of the font size, and the most lanes
// on each side.
constexpr double kStep = 1.2;
constexpr int kMaxLanes = 64;
// Room kept between a mark and its label.
constexpr double kGap = 2;

}  // namespace

double TextWidth(std::string_view utf8, double font_size, bool bold) {
  double chars = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  }
  return chars * font_size * (bold ? kBoldAdvance : kAdvance);
}

double TextAscent(double font_size) { return 0.8 * font_size; }
double TextDescent(double font_size) { return 0.25 * font_size; }

bool LabelPlacer::Free(const Box& box) const {
  if (!box.Inside(area_)) return false;
  for (const Box& o : obstacles_) {
    if (box.Overlaps(o)) return false;
  }
  for (const Box& o : labels_) {
    if (box.Overlaps(o)) return false;
  }
  for (const Box& o : leaders_) {
    if (box.Overlaps(o)) return false;
  }
  return true;
}

bool LabelPlacer::ShadowsNoMark(const Box& box, double own_x) const {
  for (const double x : mark_xs_) {
    if (x != own_x && x >= box.x0 - kGap && x <= box.x1 + kGap) return false;
  }
  return true;
}

std::optional<PlacedLabel> LabelPlacer::Place(double x, double y,
                                              double mark_radius, double width,
                                              double font_size) {
  const double ascent = TextAscent(font_size);
  const double height = ascent + TextDescent(font_size);
  const double gap = mark_radius + kGap;

  // Beside the mark, right or left, centred on it.
  for (const double left : {x + gap, x - gap - width}) {
    const Box box{left, y - height / 2, left + width, y + height / 2};
    if (Free(box) && ShadowsNoMark(box, x)) {
      labels_.push_back(box);
      return PlacedLabel{left, box.y0 + ascent, false, 0, 0};
    }
  }

  // In a lane outside the band, nearest lanes first, with a leader at x:
  // the label starts just left of the leader and runs to the right. The
  // leader runs through every nearer lane, so it must cross no label there.
  // Placed from right to left, the labels so never bar a later leader.
  const double lane = kStep * font_size;
  for (int step = 0; step < kMaxLanes; ++step) {
    const double above = band_top_ - kGap - step * lane - height;
    const double below = band_bottom_ + kGap + step * lane;
    if (above < area_.y0 && below + height > area_.y1) break;
    for (const double top : {above, below}) {
      const bool up = top == above;
      const double from = up ? y - mark_radius : y + mark_radius;
      const double to = up ? top + height : top;
      const Box stem{x - 0.5, std::min(from, to), x + 0.5, std::max(from, to)};
      bool stem_clear = true;
      for (const Box& o : labels_) {
        if (stem.Overlaps(o)) stem_clear = false;
      }
      if (!stem_clear) continue;
      // To the left only where the right would run out of the area.
      const double left = x - 3 + width <= area_.x1 ? x - 3 : x + 3 - width;
      {
        const Box box{left, top, left + width, top + height};
        if (!Free(box)) continue;
        labels_.push_back(box);
        leaders_.push_back(stem);
        return PlacedLabel{left, top + ascent, true, from, to};
      }
    }
  }
  return std::nullopt;
}

}  // namespace scenario
