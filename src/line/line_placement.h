#ifndef SCENARIO_LINE_LINE_PLACEMENT_H_
#define SCENARIO_LINE_LINE_PLACEMENT_H_

#include <array>
#include <cstdint>

#include "model/diagnostics.h"
#include "model/narrowing.h"
#include "model/scenario.h"

namespace scenario {

// The routines that put the values of line rows into the model. They never
// see text. Every access to the model goes through the checked accessors,
// so a row that points outside the model throws Fault (code 25 in the
// caller's handler); writes made before the fault stay.

// The mountain-side stretches placed so far by one read of a line file.
// Entry n (1 to 80) holds the n-th stretch; entry 0 is not used.
inline constexpr int kMaxMountainStretches = 80;
struct MountainStretches {
  std::int32_t mountain_count = 0;
  std::array<std::int32_t, kMaxMountainStretches + 1> mountain_starts{};
  std::array<std::int32_t, kMaxMountainStretches + 1> mountain_ends{};
};

// Orders the three kilometre reference records (long1 start, long2 offset,
// long3 flag) of slots 81 to 83 by start, greatest start in slot 81. When
// the greatest start is shared, all three records are cleared; when all
// starts are 0, the records are chosen by offset. Then a record whose flag
// is 1 gets 100 added to its offset; an offset that then leaves the 32-bit
// range throws Fault.
void progressive_ordina(ParamTable& table);

// Marks the mountain-side stretch inizio..fine (metres) of type tipo: cells
// inizio / 50 to fine / 50 - 1 (each rounded as a whole) get mountain :=
// tipo. A tipo above 10 means type tipo - 10 with a mountain-side mark
// (kind 11) on every 4th cell of the stretch whose kind is 0. A stretch
// that starts at most 150 m after the previous one ends becomes type 3.
// tipo is changed in the caller's variable. Records no code. Throws Fault
// for an 81st stretch and for a cell outside the array.
void memo_montagna(TrackCells& cells, MountainStretches& stretches,
                   std::int32_t inizio, std::int32_t fine, std::int32_t& tipo);

// Places a maximum-speed board at metre posizione into cell posizione / 50
// + 1: kind 6, w2/w4/w6 := vXd / 5 + vXs * 20 rounded, w8 := strisces * 10
// + strisced. When the cell is not free, records code 21 with posizione
// (where: the row's keyword) and changes nothing else. Throws Fault when a
// speed word does not fit 16 bits or the cell lies outside the array.
void memo_indicatori_v_max(Scenario& s, std::int32_t posizione,
                           std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                           std::int16_t strisces, std::int32_t vad,
                           std::int32_t vbd, std::int32_t vcd,
                           std::int16_t strisced, const SourceSpot& where);

}  // namespace scenario

#endif  // SCENARIO_LINE_LINE_PLACEMENT_H_
