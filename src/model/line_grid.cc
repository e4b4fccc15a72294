#include "model/line_grid.h"

#include <algorithm>
#include <cassert>
#include <string>

#include "model/errors.h"

namespace scenario {

void LineGrid::Create(std::int32_t extended_length, bool keep_runs) {
  assert(extended_length >= 0);
  const std::size_t n = static_cast<std::size_t>(extended_length) + 1;
  // Fresh columns rather than a refill of the old ones: their zeros come
  // with the memory.
  const std::size_t held = keep_runs ? std::min<std::size_t>(n, 2) : n;
  tags_ = Column<GridTag>(held);
  x_ = Column<double>(held);
  y_ = Column<double>(held);
  size_ = static_cast<std::int64_t>(n);
  keep_runs_ = keep_runs;
  runs_.clear();
  // The first run starts at metre 2, after the two held metres.
  laid_end_ = static_cast<std::int64_t>(held);
  exists_ = true;
}

void LineGrid::AddRun(const PlanRun& run) {
  assert(keep_runs_ && run.first == laid_end_ && run.first <= run.last &&
         run.last < size());
  laid_end_ = run.last + 1;
  // Metres laid one by one in the same way make one run.
  if (!runs_.empty() && runs_.back().turn == run.turn) {
    runs_.back().last = run.last;
    return;
  }
  runs_.push_back(run);
}

void LineGrid::Refuse(std::int64_t m) const {
  if (!exists_) throw Fault("the line grid does not exist yet (no length row)");
  throw Fault("plan metre " + std::to_string(m) +
              " lies outside the line grid (0 to " +
              std::to_string(size() - 1) + ")");
}

}  // namespace scenario
