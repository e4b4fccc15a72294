#ifndef SCENARIO_MODEL_GRID_IMAGE_VIEW_H_
#define SCENARIO_MODEL_GRID_IMAGE_VIEW_H_

// A line grid file's image read in place (the layout is in
// model/grid_file.h): checked once as a whole, then walked metre by metre
// with each element's tag and value read where it lies. A long line's
// grid is thus read without a LineGrid of its coordinates.

#include <cstdint>
#include <string_view>

#include "model/coding.h"
#include "model/grid_file.h"
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
// Invariant: x_ and y_ point at the same metre of the two halves, whose
// tags agree (the view checked them).
class GridMetreCursor {
 public:
  // The next metre. REQUIRES: fewer calls than the view's size().
  // Inline: a walk of a long line calls it two million times.
  GridMetre Next() {
    GridMetre metre;
    metre.tag = static_cast<GridTag>(DecodeFixed16(x_));
    switch (metre.tag) {
      case GridTag::kEmpty:
        x_ += kGridEmptySize;
        y_ += kGridEmptySize;
        break;
      case GridTag::kInt16:
        metre.x = static_cast<std::int16_t>(DecodeFixed16(x_ + kGridTagSize));
        metre.y = static_cast<std::int16_t>(DecodeFixed16(y_ + kGridTagSize));
        x_ += kGridInt16Size;
        y_ += kGridInt16Size;
        break;
      case GridTag::kDouble:
        metre.x = DecodeDouble(x_ + kGridTagSize);
        metre.y = DecodeDouble(y_ + kGridTagSize);
        x_ += kGridDoubleSize;
        y_ += kGridDoubleSize;
        break;
    }
    return metre;
  }

 private:
  friend class GridImageView;
  GridMetreCursor(const char* x, const char* y) : x_(x), y_(y) {}

  // The next metre's x element and y element.
  const char* x_;
  const char* y_;
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
  GridMetreCursor Begin() const {
    return GridMetreCursor(xs_.data(), ys_.data());
  }

 private:
  std::string_view xs_;
  std::string_view ys_;
  std::int64_t metres_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_GRID_IMAGE_VIEW_H_
