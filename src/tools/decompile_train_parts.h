#ifndef SCENARIO_TOOLS_DECOMPILE_TRAIN_PARTS_H_
#define SCENARIO_TOOLS_DECOMPILE_TRAIN_PARTS_H_

// The parts of the train description's recovery, one per row kind that
// leaves its own footprint in the compiled files. Each part reads the
// compiled cells (index = cell, 0 to last_cell, as the cell file holds
// them) and the parameter table, and gives the rows whose compile puts
// that footprint back. RecoverTrainRows (decompile_train.h) joins them
// and orders the rows that share the approach-mark byte b11.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/status.h"
#include "model/param_table.h"
#include "model/track_cells.h"
#include "tools/recovered_rows.h"

namespace scenario {

// A row together with the approach marks (b11) its compile writes, as
// (cell, value) in the order it writes them. Stations and signals write
// such marks; a later row's mark replaces an earlier one in the same cell,
// so the order of these rows in the file is part of what they compile to.
struct MarkedRow {
  RecoveredRow row;
  std::vector<std::pair<std::int64_t, std::uint8_t>> marks;
  // Stations: the slot (1 upward); signals: the cell. Orders rows of one
  // kind as the file must hold them (stations) or as an author reads them
  // (signals).
  std::int64_t key = 0;
  // A signal or slowdown under a stop mark: the slot of the station that
  // must come after it; 0 for every other row.
  std::int64_t before_station = 0;
  // The cells of the row that a later station's stop mark covers.
  std::vector<std::int64_t> under_stop_marks;
};

// A row of kind with the reader's keyword for it.
RecoveredRow TrainRow(RowKind kind, std::vector<std::int64_t> numbers,
                      std::string text = "");

// The rows of one step profile, speed limit ("velocita", speed_step x 5
// km/h) or adhesion ("aderenza"), from the cells' bytes: one row at metre
// 0 and one wherever the value changes, so that the reader's fills (up to
// last_cell - 3, or further through rows that repeat the last metre) write
// every byte back.
// REQUIRES: kind is RowKind::kSpeedLimit or RowKind::kAdhesion; cells
// holds at least 4 cells (a compile writes 141 at least).
void RecoverProfileRows(const std::vector<TrackCell>& cells, RowKind kind,
                        std::vector<RecoveredRow>* rows,
                        std::vector<RecoveryNote>* notes);

// The station rows, from slots 1 upward up to the first empty slot, with
// their approach marks. Fails when a slot holds a stretch no station row
// gives, when a stopping station has no stop mark in its cell, or when a
// stop mark names no stopping station. A slot a compile left when it
// stopped at a station row gives a row (and a note) that stops there too.
Status RecoverStations(const ParamTable& table,
                       const std::vector<TrackCell>& cells,
                       std::vector<MarkedRow>* stations,
                       std::vector<RecoveryNote>* notes);

// The signal rows, one per kind-1 cell, with their look-back marks. Where
// the stored words leave room, the digits are the tens and units of each
// word and the types are chosen to agree with the look-back marks that
// survive.
void RecoverSignals(const std::vector<TrackCell>& cells,
                    std::vector<MarkedRow>* signals,
                    std::vector<RecoveryNote>* notes);

// The signals under stop marks, found from what the mark leaves of them,
// added to *signals: each must be read before the station whose mark
// covers it (MarkedRow::before_station).
void RecoverHiddenSignals(const std::vector<TrackCell>& cells,
                          const std::vector<MarkedRow>& stations,
                          std::vector<MarkedRow>* signals,
                          std::vector<RecoveryNote>* notes);

// The slowdown rows, each start (kind 3) paired with its end (kind 2),
// warning board (4) and pre-warning cells (5), in the order of their
// starts. A cell under a later station's stop mark still counts when the
// mark kept the slowdown's words; the slowdown then names that station
// (MarkedRow::before_station). Fails when an end, a warning board or a
// pre-warning cell belongs to no start.
Status RecoverSlowdowns(const std::vector<TrackCell>& cells,
                        std::vector<MarkedRow>* slowdowns,
                        std::vector<RecoveryNote>* notes);

// The code change rows ("abbattimento"): every code-off mark (kind 13) and
// every code mark (kind 12) that the signal-code post-pass does not place
// itself, found by running the post-pass on the cells as they stood before
// it.
void RecoverCodeChanges(const std::vector<TrackCell>& cells,
                        std::vector<RecoveredRow>* rows,
                        std::vector<RecoveryNote>* notes);

// Stations and signals in one order that writes every b11 byte back: a
// row whose mark stands in the files comes after every row that writes
// another value into the same cell. Stations keep their slot order. Where
// nothing forces it, all stations come first, then the signals by
// position. A note names each row that had to move among the other kind.
// Fails when a cell holds an approach mark that no station or signal
// writes.
Status OrderMarkedRows(const std::vector<TrackCell>& cells,
                       std::vector<MarkedRow> stations,
                       std::vector<MarkedRow> signals,
                       std::vector<RecoveredRow>* rows,
                       std::vector<RecoveryNote>* notes);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_TRAIN_PARTS_H_
