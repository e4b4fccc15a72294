#include "model/line_grid.h"

#include <cassert>
#include <string>

#include "base/errors.h"

namespace scenario {

void LineGrid::Create(std::int32_t extended_length) {
  assert(extended_length >= 0);
  const std::size_t n = static_cast<std::size_t>(extended_length) + 1;
  // Fresh columns rather than a refill of the old ones: their zeros come
  // with the memory.
  tags_ = Column<GridTag>(n);
  x_ = Column<double>(n);
  y_ = Column<double>(n);
  exists_ = true;
}

void LineGrid::Refuse(std::int64_t m) const {
  if (!exists_) throw Fault("the line grid does not exist yet (no length row)");
  throw Fault("plan metre " + std::to_string(m) +
              " lies outside the line grid (0 to " +
              std::to_string(size() - 1) + ")");
}

}  // namespace scenario
