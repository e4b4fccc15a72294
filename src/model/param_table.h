#ifndef SCENARIO_MODEL_PARAM_TABLE_H_
#define SCENARIO_MODEL_PARAM_TABLE_H_

#include <array>
#include <cassert>
#include <cstdint>
#include <string>

namespace scenario {

// One record of the parameter table. Its meaning depends on the slot.
// text holds Windows-1252 bytes, as read from a description file.
struct ParamSlot {
  std::uint8_t byte1 = 0;
  std::int32_t long1 = 0;
  std::int32_t long2 = 0;
  std::int32_t long3 = 0;
  std::uint8_t byte2 = 0;
  std::string text;
  std::int16_t int1 = 0;
  std::int16_t int2 = 0;
  std::int16_t int3 = 0;
  std::int16_t int4 = 0;
  std::int16_t int5 = 0;
  std::uint8_t byte3 = 0;
  std::uint8_t byte4 = 0;
  std::uint8_t byte5 = 0;
  std::uint8_t byte6 = 0;
  std::int32_t long4 = 0;

  bool operator==(const ParamSlot&) const = default;
  // True when the slot is as a fresh table holds it: every number 0 and no
  // text.
  bool empty() const { return *this == ParamSlot(); }
};

// Slot numbers. In files: never renumber.
inline constexpr int kParamSlotCount = 87;
inline constexpr int kFirstStationSlot = 1;     // stations grow upwards
inline constexpr int kFirstBoardTextSlot = 80;  // board texts grow downwards
// The three kilometre reference records; once sorted, the greatest start
// stands first.
inline constexpr int kKilometreSlotFirst = 81;
inline constexpr int kKilometreSlotSecond = 82;
inline constexpr int kKilometreSlotLast = 83;
inline constexpr int kGeneralSlot = 84;  // brake %, length, coaches
inline constexpr int kLineSlot = 85;     // backgrounds, line name
inline constexpr int kTrainSlot = 86;    // repetition, train name

// A station's kind (the second number of its row, kept in its slot's
// byte1) tells whether the train stops there: a kind below this limit puts
// a stop mark in the cell below the station's stretch end. Stored files
// depend on it: the compiled cells hold those marks, and the author tools
// tell a compiled station's stop by the same test. Never change it.
inline constexpr int kStopKindLimit = 25;
constexpr bool StationStops(std::int64_t kind) { return kind < kStopKindLimit; }

// The 87 slots, 0 to 86.
class ParamTable {
 public:
  // Every slot back to all zero and empty text.
  void Reset();

  // Checked access for the readers: throws Fault outside 0 to 86.
  ParamSlot& At(std::int64_t slot);

  // Unchecked access. REQUIRES: 0 <= slot < kParamSlotCount.
  ParamSlot& operator[](int slot) {
    assert(slot >= 0 && slot < kParamSlotCount);
    return slots_[slot];
  }
  const ParamSlot& operator[](int slot) const {
    assert(slot >= 0 && slot < kParamSlotCount);
    return slots_[slot];
  }
  const std::array<ParamSlot, kParamSlotCount>& slots() const { return slots_; }

 private:
  std::array<ParamSlot, kParamSlotCount> slots_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_PARAM_TABLE_H_
