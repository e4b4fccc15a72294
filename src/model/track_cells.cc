#include "model/track_cells.h"

#include <cassert>
#include <string>

#include "model/errors.h"

namespace scenario {

void TrackCells::Create(std::int32_t last_cell) {
  assert(last_cell >= 0);
  cells_.assign(static_cast<std::size_t>(last_cell) + 1, TrackCell{});
  exists_ = true;
}

TrackCell& TrackCells::At(std::int64_t i) {
  if (!exists_)
    throw Fault("the cell array does not exist yet (no length row)");
  if (!Contains(i)) {
    throw Fault("cell " + std::to_string(i) +
                " lies outside the cell array (0 to " +
                std::to_string(size() - 1) + ")");
  }
  return cells_[i];
}

}  // namespace scenario
