#include "tools/decompile_train.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/decompile_train_parts.h"
#include "tools/scenario_files.h"

namespace scenario {

namespace {

// The kinds a compile writes into a cell. In files: never renumber.
bool IsKnownKind(std::uint8_t kind) {
  switch (kind) {
    case kKindNone:
    case kKindSignal:
    case kKindSlowdownEnd:
    case kKindSlowdownStart:
    case kKindWarningBoard:
    case kKindPreWarning:
    case kKindSpeedBoard:
    case kKindStopMark:
    case kKindMountainMark:
    case kKindCodeMark:
    case kKindCodeOff:
    case kKindIndicatorBoard:
      return true;
    default:
      return false;
  }
}

Status CheckKinds(const std::vector<TrackCell>& cells) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (!IsKnownKind(cells[i].kind)) {
      return Status::Error("the cell file's cell " + std::to_string(i) +
                           " holds the kind " + std::to_string(cells[i].kind) +
                           ", which no row of a description places");
    }
  }
  return Status::Ok();
}

// The four general rows, always written: their values are in the slots
// whether the author wrote the rows or left them at 0.
void GeneralRows(const ParamTable& table, std::vector<RecoveredRow>* rows) {
  const ParamSlot& general = table[kGeneralSlot];
  const ParamSlot& train = table[kTrainSlot];
  rows->push_back(TrainRow(RowKind::kCoaches, {general.long3}));
  rows->push_back(TrainRow(RowKind::kBrakedMass, {general.long1}));
  rows->push_back(TrainRow(RowKind::kSand, {train.int1}));
  rows->push_back(
      TrainRow(RowKind::kClock, {train.int3, train.int4, train.int5}));
}

// The rows in the order the export writes the built-in train: general
// rows, adhesion, speed limits, stations (with the signals that must come
// among them), slowdowns, the other signals, code changes.
Status RecoverRows(const LoadedScenario& loaded, RecoveredDescription* out) {
  const std::vector<TrackCell>& cells = loaded.cells;
  GeneralRows(loaded.table, &out->rows);
  RecoverProfileRows(cells, RowKind::kAdhesion, &out->rows);
  RecoverProfileRows(cells, RowKind::kSpeedLimit, &out->rows);

  std::vector<MarkedRow> stations;
  if (Status s = RecoverStations(loaded.table, cells, &stations, &out->notes);
      !s.ok()) {
    return s;
  }
  std::vector<MarkedRow> signals;
  RecoverSignals(cells, &signals, &out->notes);
  RecoverHiddenSignals(cells, stations, &signals, &out->notes);
  std::vector<RecoveredRow> marked;
  if (Status s = OrderMarkedRows(cells, std::move(stations), std::move(signals),
                                 &marked, &out->notes);
      !s.ok()) {
    return s;
  }
  // The slowdowns go after the last station; the rows before it keep
  // their order, and so do the signals after it.
  std::size_t after_stations = 0;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    if (marked[i].kind == RowKind::kStation) after_stations = i + 1;
  }
  out->rows.insert(
      out->rows.end(), marked.begin(),
      marked.begin() + static_cast<std::ptrdiff_t>(after_stations));
  if (Status s = RecoverSlowdowns(cells, &out->rows, &out->notes); !s.ok()) {
    return s;
  }
  out->rows.insert(out->rows.end(),
                   marked.begin() + static_cast<std::ptrdiff_t>(after_stations),
                   marked.end());
  RecoverCodeChanges(cells, &out->rows, &out->notes);
  return Status::Ok();
}

}  // namespace

RecoveredRow TrainRow(RowKind kind, std::vector<std::int64_t> numbers,
                      std::string text) {
  RecoveredRow row;
  row.kind = kind;
  row.keyword = std::string(RowKindKeyword(kind));
  row.numbers = std::move(numbers);
  row.text = std::move(text);
  return row;
}

Status RecoverTrainRows(const LoadedScenario& loaded,
                        RecoveredDescription* train) {
  if (loaded.cells.empty()) {
    return Status::Error("the cell file holds no cell");
  }
  if (Status kinds = CheckKinds(loaded.cells); !kinds.ok()) return kinds;
  RecoveredDescription out;
  if (Status s = RecoverRows(loaded, &out); !s.ok()) return s;
  *train = std::move(out);
  return Status::Ok();
}

}  // namespace scenario
