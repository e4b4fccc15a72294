#ifndef SCENARIO_TRAIN_TRAIN_PLACEMENT_H_
#define SCENARIO_TRAIN_TRAIN_PLACEMENT_H_

#include <cstdint>
#include <optional>

#include "model/diagnostics.h"
#include "model/scenario.h"

namespace scenario {

// The placement routines of the train reader. Each claims free cells
// (kind 0 or 11) in s.track_cells and writes the item there. On a collision
// it only sets s.errors.error_code and returns: the caller records the
// diagnostic with the row's position and place, and ends the stage. Neither
// routine touches param_table or sees text.
//
// Cells are reached through TrackCells::At, so a cell outside the array
// throws Fault (the reader's fault handler records code 25); the cells
// written before it stay.
//
// Each notes the row (where) of every item it writes in s.cell_origins and,
// on a collision, returns the cell it found taken, so that the caller's
// diagnostic can say what holds it.

// Puts a signal into cell i = posizione / 50 + 1 (rounded): kind 1 with its
// values packed as s x 10 + d, the types as rapp x 10 + sx x 3 + dx, and
// tempo in b10 when sx is 2. Then marks the cells i - 2, i - 4, i - 6 and
// i - 8 with (sx x 3 + dx) x 10 + 1 ... 4 in b11, whatever they hold.
// A tempo of 1 to 100 is raised to 101 and written back.
// Code 16 (nothing written): cell i is not free.
std::optional<std::int64_t> memo_segnale(Scenario& s, std::int32_t posizione,
                                         std::int32_t sx, std::int32_t s1,
                                         std::int32_t s2, std::int32_t s3,
                                         std::int32_t rapp, std::int32_t dx,
                                         std::int32_t d1, std::int32_t d2,
                                         std::int32_t d3, std::int32_t& tempo,
                                         const SourceSpot& where = {});

// Puts a slowdown from metre x, length l, speed v: start cell x / 50 + 1
// (kind 3), end cell (x + l) / 50 + 1 (kind 2), and for x > 1500 a warning
// cell (x - 1200) / 50 + 1 (kind 4) and, when f_ta is not 0, the four
// pre-warning cells (x - 1200) / 50 and the three below it (kind 5).
// Codes: 17 warning cell taken, 18 start taken, 19 end taken (all three
// before any write); 20 a pre-warning cell taken (start, end and warning
// cells stay written).
std::optional<std::int64_t> memo_rallentamento(Scenario& s, std::int32_t x,
                                               std::int32_t v, std::int32_t l,
                                               std::int32_t f_tt,
                                               std::int32_t f_ta,
                                               std::int32_t d_v,
                                               const SourceSpot& where = {});

}  // namespace scenario

#endif  // SCENARIO_TRAIN_TRAIN_PLACEMENT_H_
