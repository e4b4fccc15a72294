#include "model/line_grid.h"

#include <cassert>
#include <string>

#include "base/errors.h"

namespace scenario {

void LineGrid::Create(std::int32_t extended_length) {
  assert(extended_length >= 0);
  const std::size_t n = static_cast<std::size_t>(extended_length) + 1;
  tags_.assign(n, GridTag::kEmpty);
  x_.assign(n, 0.0);
  y_.assign(n, 0.0);
  exists_ = true;
}

void LineGrid::Check(std::int64_t m) const {
  if (!exists_) throw Fault("the line grid does not exist yet (no length row)");
  if (!Contains(m)) {
    throw Fault("plan metre " + std::to_string(m) +
                " lies outside the line grid (0 to " +
                std::to_string(size() - 1) + ")");
  }
}

void LineGrid::SetInt16(std::int64_t m, std::int16_t x, std::int16_t y) {
  Check(m);
  tags_[m] = GridTag::kInt16;
  x_[m] = x;
  y_[m] = y;
}

void LineGrid::SetDouble(std::int64_t m, double x, double y) {
  Check(m);
  tags_[m] = GridTag::kDouble;
  x_[m] = x;
  y_[m] = y;
}

double LineGrid::X(std::int64_t m) const {
  Check(m);
  return x_[m];
}

double LineGrid::Y(std::int64_t m) const {
  Check(m);
  return y_[m];
}

}  // namespace scenario
