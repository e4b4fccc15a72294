#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/decompile_train_parts.h"

namespace scenario {

namespace {

std::uint8_t ProfileByte(const TrackCell& cell, RowKind kind) {
  return kind == RowKind::kSpeedLimit ? cell.speed_step : cell.adhesion;
}

// The row's value for a stored byte: a speed limit is stored as speed / 5
// rounded, so five times the step gives the step back; an adhesion is
// stored as it is.
std::int64_t RowValue(std::uint8_t stored, RowKind kind) {
  return kind == RowKind::kSpeedLimit ? std::int64_t{stored} * 5 : stored;
}

}  // namespace

// The reader fills each value from its row's cell p / 50 up to the next
// row's, and the closing fill runs on to last_cell - 3. A fill index past
// that comes only from rows at the last metre a row may name (position
// 50 x (last_cell - 2), whose cell is last_cell - 2): each such row writes
// one more cell with the value before it, and the closing step one more
// with the last value.
void RecoverProfileRows(const std::vector<TrackCell>& cells, RowKind kind,
                        std::vector<RecoveredRow>* rows,
                        std::vector<RecoveryNote>* notes) {
  const std::int64_t last_cell = static_cast<std::int64_t>(cells.size()) - 1;
  // The closing fill's last cell; a line of length 0 still has 141 cells.
  const std::int64_t closing = last_cell - 3;
  auto at = [&](std::int64_t i) {
    return ProfileByte(cells[static_cast<std::size_t>(i)], kind);
  };
  rows->push_back(TrainRow(kind, {0, RowValue(at(0), kind)}));
  for (std::int64_t i = 1; i <= closing; ++i) {
    if (at(i) != at(i - 1)) {
      rows->push_back(TrainRow(kind, {i * 50, RowValue(at(i), kind)}));
    }
  }
  // The cells past the closing fill that hold a value.
  std::int64_t reached = closing;
  for (std::int64_t i = closing + 1; i <= last_cell; ++i) {
    if (at(i) != 0) reached = i;
  }
  const std::int64_t last_metre = (closing + 1) * 50;
  for (std::int64_t i = closing + 1; i <= reached; ++i) {
    rows->push_back(TrainRow(kind, {last_metre, RowValue(at(i), kind)}));
  }
  notes->push_back({kind, -1,
                    "a row at metre 0 and one wherever the value changes, "
                    "at the first metre of its cell (cell x 50): the metre "
                    "within the 50 m cell, and rows that repeat the value "
                    "before them, are not kept"});
}

}  // namespace scenario
