#ifndef SCENARIO_MODEL_LINE_GRID_H_
#define SCENARIO_MODEL_LINE_GRID_H_

#include <cassert>
#include <cstdint>
#include <vector>

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
  // Creates metres 0 to extended_length, all empty.
  // REQUIRES: extended_length >= 0.
  void Create(std::int32_t extended_length);

  std::int64_t size() const { return static_cast<std::int64_t>(tags_.size()); }
  bool Contains(std::int64_t m) const { return m >= 0 && m < size(); }

  // Checked writes for the reader: throw Fault when the grid does not exist
  // or m lies outside 0 to extended_length.
  void SetInt16(std::int64_t m, std::int16_t x, std::int16_t y);
  void SetDouble(std::int64_t m, double x, double y);
  // Checked reads: throw Fault as above.
  double X(std::int64_t m) const;
  double Y(std::int64_t m) const;

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

 private:
  void Check(std::int64_t m) const;

  bool exists_ = false;
  std::vector<GridTag> tags_;
  std::vector<double> x_;
  std::vector<double> y_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_LINE_GRID_H_
