#ifndef SCENARIO_MODEL_LINE_GRID_H_
#define SCENARIO_MODEL_LINE_GRID_H_

#include <cassert>
#include <cstdint>
#include <vector>

#include "model/zeroed_allocator.h"

namespace scenario {

// The type of a grid element; the file carries it as a 2-byte tag.
// In files: never renumber.
enum class GridTag : std::uint16_t {
  kEmpty = 0,
  kInt16 = 2,
  kDouble = 5,
};

// The plan of the line: an x and a y coordinate for every metre 0 to
// extended_length. x and y of a metre are always set together and share
// one element type.
class LineGrid {
 public:
  bool exists() const { return exists_; }
  // Creates metres 0 to extended_length, all empty with coordinates 0.
  // The memory is taken as it is first written: a grid whose metres are
  // never set costs (almost) nothing. REQUIRES: extended_length >= 0.
  void Create(std::int32_t extended_length);

  std::int64_t size() const { return static_cast<std::int64_t>(tags_.size()); }
  bool Contains(std::int64_t m) const { return m >= 0 && m < size(); }

  // Checked writes for the reader: throw Fault when the grid does not exist
  // or m lies outside 0 to extended_length.
  void SetInt16(std::int64_t m, std::int16_t x, std::int16_t y) {
    Check(m);
    Put(m, GridTag::kInt16, x, y);
  }
  void SetDouble(std::int64_t m, double x, double y) {
    Check(m);
    Put(m, GridTag::kDouble, x, y);
  }
  // Checked reads: throw Fault as above.
  double X(std::int64_t m) const {
    Check(m);
    return x_[m];
  }
  double Y(std::int64_t m) const {
    Check(m);
    return y_[m];
  }

  // Unchecked element access. REQUIRES: Contains(m).
  GridTag tag(std::int64_t m) const {
    assert(Contains(m));
    return tags_[m];
  }
  double x(std::int64_t m) const {
    assert(Contains(m));
    return x_[m];
  }
  double y(std::int64_t m) const {
    assert(Contains(m));
    return y_[m];
  }
  // Unchecked write, for a run of metres checked as a whole.
  // REQUIRES: Contains(m).
  void SetDoubleUnchecked(std::int64_t m, double x, double y) {
    assert(Contains(m));
    Put(m, GridTag::kDouble, x, y);
  }

 private:
  template <typename T>
  using Column = std::vector<T, ZeroedAllocator<T>>;

  void Check(std::int64_t m) const {
    if (!exists_ || !Contains(m)) Refuse(m);
  }
  [[noreturn]] void Refuse(std::int64_t m) const;
  void Put(std::int64_t m, GridTag tag, double x, double y) {
    tags_[m] = tag;
    x_[m] = x;
    y_[m] = y;
  }

  bool exists_ = false;
  Column<GridTag> tags_;
  Column<double> x_;
  Column<double> y_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_LINE_GRID_H_
