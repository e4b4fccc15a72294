#ifndef SCENARIO_PLOT_LABEL_PLACER_H_
#define SCENARIO_PLOT_LABEL_PLACER_H_

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace scenario {

// An axis-aligned box in pixels, y down.
struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;

  bool Overlaps(const Box& o) const {
    return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
  }
  bool Inside(const Box& area) const {
    return x0 >= area.x0 && x1 <= area.x1 && y0 >= area.y0 && y1 <= area.y1;
  }
};

// The room a text takes, estimated from its characters, as the labels are
// kept apart by: a little wider and taller than the usual sans-serif
// glyphs, so that estimated boxes that do not touch never overlap on the
// page.
double TextWidth(std::string_view utf8, double font_size, bool bold);
// Ascent above and descent below the baseline.
double TextAscent(double font_size);
double TextDescent(double font_size);

// Where a label went: its text starts at x on the baseline y. When it
// stands away from its mark, a vertical leader at x runs from the mark's
// edge at leader_from to the label's box at leader_to.
struct PlacedLabel {
  double x = 0;
  double baseline = 0;
  bool leader = false;
  double leader_from = 0;
  double leader_to = 0;
};

// Puts labels next to their marks, one after the other, so that no label
// overlaps an obstacle, another label or a leader, and each stays inside
// the area. A label stands beside its mark when no other mark lies within
// its width (so that it bars no other label's way out); otherwise it goes
// into the first lane above or below the band that holds the marks, with a
// leader back to its mark that crosses no label.
class LabelPlacer {
 public:
  // band_top and band_bottom bound the drawing the marks stand on; the
  // lanes lie outside it. mark_xs: the x of every mark to be labelled.
  LabelPlacer(const Box& area, double band_top, double band_bottom,
              std::vector<double> mark_xs)
      : area_(area),
        band_top_(band_top),
        band_bottom_(band_bottom),
        mark_xs_(std::move(mark_xs)) {}

  // Marks, lines and other texts that labels must keep clear of.
  void AddObstacle(const Box& box) { obstacles_.push_back(box); }

  // A label of the given width and font size for the mark of the given
  // radius at (x, y). nullopt when no place is free; the label is then
  // left out.
  std::optional<PlacedLabel> Place(double x, double y, double mark_radius,
                                   double width, double font_size);

 private:
  bool Free(const Box& box) const;
  // No other mark's x lies under the box.
  bool ShadowsNoMark(const Box& box, double own_x) const;

  Box area_;
  double band_top_;
  double band_bottom_;
  std::vector<double> mark_xs_;
  std::vector<Box> obstacles_;
  std::vector<Box> labels_;
  std::vector<Box> leaders_;
};

}  // namespace scenario

#endif  // SCENARIO_PLOT_LABEL_PLACER_H_
