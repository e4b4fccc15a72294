#ifndef SCENARIO_MODEL_TRACK_CELLS_H_
#define SCENARIO_MODEL_TRACK_CELLS_H_

#include <cassert>
#include <cstdint>
#include <vector>

namespace scenario {

// What stands in a cell. In files: never renumber.
inline constexpr std::uint8_t kKindNone = 0;
inline constexpr std::uint8_t kKindSignal = 1;
inline constexpr std::uint8_t kKindSlowdownEnd = 2;
inline constexpr std::uint8_t kKindSlowdownStart = 3;
inline constexpr std::uint8_t kKindWarningBoard = 4;
inline constexpr std::uint8_t kKindPreWarning = 5;
inline constexpr std::uint8_t kKindSpeedBoard = 6;
inline constexpr std::uint8_t kKindStopMark = 10;
inline constexpr std::uint8_t kKindMountainMark = 11;
inline constexpr std::uint8_t kKindCodeMark = 12;
inline constexpr std::uint8_t kKindCodeOff = 13;
inline constexpr std::uint8_t kKindIndicatorBoard = 14;

// One 50-metre cell of the line. kind, the four words and b10 belong to the
// item that stands in the cell; the last five bytes describe the line there.
struct TrackCell {
  std::uint8_t kind = 0;
  std::int16_t w2 = 0;
  std::int16_t w4 = 0;
  std::int16_t w6 = 0;
  std::int16_t w8 = 0;
  std::uint8_t b10 = 0;
  std::uint8_t b11 = 0;
  std::uint8_t mountain = 0;
  std::uint8_t speed_step = 0;
  std::uint8_t gradient = 0;
  std::uint8_t adhesion = 0;
};

// A free cell may take a new item: nothing stands there, or only a
// mountain-side mark (which the item overwrites).
inline bool IsFree(const TrackCell& c) {
  return c.kind == kKindNone || c.kind == kKindMountainMark;
}

// The cell array, indexes 0 to last_cell. It does not exist until the line
// reader meets the length row; it is never resized after creation.
class TrackCells {
 public:
  bool exists() const { return exists_; }
  // Creates cells 0 to last_cell, all zero. REQUIRES: last_cell >= 0.
  void Create(std::int32_t last_cell);

  // Number of cells (0 when the array does not exist).
  std::int64_t size() const { return static_cast<std::int64_t>(cells_.size()); }
  bool Contains(std::int64_t i) const { return i >= 0 && i < size(); }

  // Checked access for the readers: throws Fault when the array does not
  // exist or i lies outside 0 to last_cell.
  TrackCell& At(std::int64_t i);

  // Unchecked access. REQUIRES: Contains(i).
  TrackCell& operator[](std::int64_t i) {
    assert(Contains(i));
    return cells_[i];
  }
  const TrackCell& operator[](std::int64_t i) const {
    assert(Contains(i));
    return cells_[i];
  }

  const std::vector<TrackCell>& cells() const { return cells_; }

 private:
  bool exists_ = false;
  std::vector<TrackCell> cells_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_TRACK_CELLS_H_
