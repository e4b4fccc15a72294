#ifndef SCENARIO_MODEL_GRID_IMAGE_VIEW_H_
#define SCENARIO_MODEL_GRID_IMAGE_VIEW_H_

// A line grid file's image read in place (the layout is in
// model/grid_file.h): checked once as a whole, then walked metre by metre
// with each element's tag and value read where it lies. A long line's
// grid is thus read without a LineGrid of its coordinates.

#include <cstdint>
#include <string_view>

#include "model/line_grid.h"

namespace scenario {

// One metre of the grid: its element type and its two coordinates (0 for
// an empty metre; an integer's value as a double).
struct GridMetre {
  GridTag tag = GridTag::kEmpty;
  double x = 0;
  double y = 0;
};

// Reads the metres of a checked image in order, from metre 0.
// Invariant: xs_ and ys_ start at the same metre of the two halves, and
// their tags agree (the view checked them).
class GridMetreCursor {
 public:
  // The next metre. REQUIRES: fewer calls than the view's size().
  GridMetre Next();

 private:
  friend class GridImageView;
  GridMetreCursor(std::string_view xs, std::string_view ys)
      : xs_(xs), ys_(ys) {}

  std::string_view xs_;
  std::string_view ys_;
};

// The view of an image that decodes: every element has a known tag and
// its whole value, the elements fill the image exactly, the count is even
// (x(0..E) then y(0..E)), there is at least one metre and at most
// INT32_MAX + 1, and x and y of each metre share a tag. These are exactly
// the images DecodeGridFile accepts.
// REQUIRES: the image outlives the view and its cursors.
class GridImageView {
 public:
  // False, leaving *view as it was, on an image that does not decode.
  static bool Open(std::string_view image, GridImageView* view);

  // The number of metres, E + 1.
  std::int64_t size() const { return metres_; }
  GridMetreCursor Begin() const { return GridMetreCursor(xs_, ys_); }

 private:
  std::string_view xs_;
  std::string_view ys_;
  std::int64_t metres_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_GRID_IMAGE_VIEW_H_
