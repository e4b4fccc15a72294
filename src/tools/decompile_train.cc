#include "tools/decompile_train.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/decompile_train_parts.h"
#include "tools/scenario_files.h"

namespace scenario {

namespace {

// The cell array reaches 7000 m past the line's end: a line of length 0
// has cells 0 to 140.
constexpr std::size_t kFewestCells = 141;

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

// The slowdowns among the ordered stations and signals: one under a
// station's stop mark right before that station, the others after the
// last station (before the signals that follow it).
void MergeSlowdowns(const std::vector<RecoveredRow>& marked,
                    const std::vector<MarkedRow>& slowdowns,
                    std::vector<RecoveredRow>* rows) {
  std::size_t station_count = 0;
  for (const RecoveredRow& row : marked) {
    if (row.kind == RowKind::kStation) ++station_count;
  }
  auto add = [&](std::int64_t before_station) {
    for (const MarkedRow& s : slowdowns) {
      if (s.before_station == before_station) rows->push_back(s.row);
    }
  };
  std::int64_t slot = 0;
  if (station_count == 0) add(0);
  for (const RecoveredRow& row : marked) {
    if (row.kind == RowKind::kStation) add(++slot);
    rows->push_back(row);
    if (row.kind == RowKind::kStation &&
        static_cast<std::size_t>(slot) == station_count) {
      add(0);
    }
  }
}

// The rows in the order the export writes the built-in train: general
// rows, adhesion, speed limits, stations (with the signals that must come
// among them), slowdowns, the other signals, code changes.
Status RecoverRows(const LoadedScenario& loaded, RecoveredDescription* out) {
  const std::vector<TrackCell>& cells = loaded.cells;
  GeneralRows(loaded.table, &out->rows);
  RecoverProfileRows(cells, RowKind::kAdhesion, &out->rows, &out->notes);
  RecoverProfileRows(cells, RowKind::kSpeedLimit, &out->rows, &out->notes);

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
  std::vector<MarkedRow> slowdowns;
  if (Status s = RecoverSlowdowns(cells, &slowdowns, &out->notes); !s.ok()) {
    return s;
  }
  MergeSlowdowns(marked, slowdowns, &out->rows);
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
  if (loaded.cells.size() < kFewestCells) {
    return Status::Error("the cell file holds " +
                         std::to_string(loaded.cells.size()) +
                         " cells, fewer than the 141 of a line of length 0 "
                         "that every compile writes at least");
  }
  if (Status kinds = CheckKinds(loaded.cells); !kinds.ok()) return kinds;
  RecoveredDescription out;
  if (Status s = RecoverRows(loaded, &out); !s.ok()) return s;
  *train = std::move(out);
  return Status::Ok();
}

std::vector<std::int64_t> TrainCellsUnderStopMarks(
    const LoadedScenario& loaded) {
  std::vector<std::int64_t> covered;
  const std::vector<TrackCell>& cells = loaded.cells;
  std::vector<MarkedRow> stations;
  std::vector<RecoveryNote> notes;
  if (cells.size() < kFewestCells || !CheckKinds(cells).ok() ||
      !RecoverStations(loaded.table, cells, &stations, &notes).ok()) {
    return covered;
  }
  std::vector<MarkedRow> items;
  RecoverSignals(cells, &items, &notes);
  RecoverHiddenSignals(cells, stations, &items, &notes);
  if (!RecoverSlowdowns(cells, &items, &notes).ok()) return {};
  for (const MarkedRow& item : items) {
    covered.insert(covered.end(), item.under_stop_marks.begin(),
                   item.under_stop_marks.end());
  }
  std::sort(covered.begin(), covered.end());
  return covered;
}

}  // namespace scenario
