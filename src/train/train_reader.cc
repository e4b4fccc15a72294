#include "train/train_reader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "line/field_reader.h"
#include "line/line_keywords.h"
#include "line/read_log.h"
#include "line/row_reading.h"
#include "model/diagnostics.h"
#include "model/errors.h"
#include "model/narrowing.h"
#include "model/param_table.h"
#include "model/rounding.h"
#include "model/track_cells.h"
#include "train/train_keywords.h"
#include "train/train_placement.h"

namespace scenario {

namespace {

// The speed limit in force, in the cells' units of 5 km/h.
// Deliberate: only the low 8 bits of the rounded quotient are kept, with
// no check.
std::uint8_t SpeedStep(std::int32_t speed) {
  return LowByte(RoundRatio(speed, 5));
}

class TrainReader {
 public:
  TrainReader(Scenario& s, FieldReader& fields, std::int32_t board_slot)
      : s_(s), fields_(fields), board_slot_(board_slot) {}

  void Run();

 private:
  // Reads a field in keyword position into current_field.
  void ReadKeywordField() { s_.current_field = fields_.ReadText(); }
  // Records in the read log, when there is one, what became of the field
  // read last, and the rows read from it.
  void Log(KeywordUse use, RowKindSet matches = 0) {
    if (ReadLog* log = fields_.log()) {
      log->Keyword(use, ReadPart::kTrain, matches);
    }
  }
  void LogRow(RowKind kind) {
    if (ReadLog* log = fields_.log()) log->BeginRow(kind);
  }
  // The row's position + margin lies beyond the cell array: records code 15
  // with the position.
  bool BeyondArray(std::int32_t position, std::int64_t margin);

  RowEnd DispatchRow();
  RowEnd ReadSpeedLimitRow();
  RowEnd ReadAdhesionRow();
  RowEnd ReadSignalRow();
  RowEnd ReadSlowdownRow();
  RowEnd ReadCodeChangeRow();
  RowEnd ReadStationRow();
  // The parts of a station row, in the order the row is read.
  void ReadStationFields(ParamSlot& slot);
  void PlaceStationStretch(ParamSlot& slot, std::int32_t k,
                           std::int32_t position, std::int32_t length);
  RowEnd MarkStationStop(std::int32_t k, std::uint8_t kind,
                         std::int32_t position, std::int64_t end);
  void RunClosingSteps();
  // After a placement call: when error_code is above 0, records it with the
  // row's position and ends the stage. code_before is error_code before the
  // call, to tell a code left from earlier (a line-reader 15) from the
  // routine's own.
  // taken: the cell a placement found taken, whose holder the diagnostic
  // names.
  RowEnd EndOnRecordedCode(std::int32_t code_before, std::int32_t position,
                           std::optional<std::int64_t> taken);

  Scenario& s_;
  FieldReader& fields_;
  const std::int32_t board_slot_;
  // Where the current row's keyword field starts.
  SourceSpot row_;

  // The next cell whose speed_step or adhesion is still to be written.
  std::int64_t speed_fill_ = 0;
  std::int64_t adhesion_fill_ = 0;
  // The values of the last speed-limit and adhesion rows; 0 before the
  // first row of their kind.
  std::int32_t speed_in_force_ = 0;
  std::int32_t adhesion_in_force_ = 0;
  // The next station's ordinal, which is also its slot.
  std::int32_t station_ = 1;
};

bool TrainReader::BeyondArray(std::int32_t position, std::int64_t margin) {
  if (std::int64_t{position} + margin <= std::int64_t{50} * s_.last_cell) {
    return false;
  }
  s_.errors.Record(kCodeBeyondArray, position, row_);
  return true;
}

void TrainReader::Run() {
  // Everything up to the first field holding "[generale]" is passed over.
  // The first read happens even in an empty file, and faults there.
  for (;;) {
    ReadKeywordField();
    if (fields_.AtEnd()) {
      Log(KeywordUse::kUnread);
      break;
    }
    Log(KeywordUse::kPreamble);
    if (IsTrainGeneralHeader(s_.current_field)) {
      if (ReadLog* log = fields_.log()) log->set_found_general();
      break;
    }
  }

  // The end of the file is tested before and after every field in keyword
  // position, never inside a row: the last field of the file is never
  // interpreted, and a row handler reads its numbers without the test.
  for (;;) {
    if (fields_.AtEnd()) break;
    ReadKeywordField();
    if (fields_.AtEnd()) {
      Log(KeywordUse::kUnread);
      break;
    }
    // Up to two dash fields (separator lines) are passed over; a third is
    // tested like any other field.
    bool at_end = false;
    for (int skip = 0; skip < kTrainDashSkips && !at_end; ++skip) {
      if (!IsDashField(s_.current_field)) break;
      Log(KeywordUse::kDashSkipped);
      ReadKeywordField();
      at_end = fields_.AtEnd();
    }
    if (at_end) {
      Log(KeywordUse::kUnread);
      break;
    }
    row_ = fields_.last_field();

    const RowEnd end = DispatchRow();
    if (end == RowEnd::kEndStage) return;
    if (end == RowEnd::kStopReading) break;
  }
  RunClosingSteps();
}

// The keyword tests, each independent and in the order of RowKind: a
// field that passes several is handled by each in turn, each reading its
// own numbers.
RowEnd TrainReader::DispatchRow() {
  const RowKindSet kinds = TrainRowKinds(s_.current_field);
  Log(KeywordUse::kTested, kinds);
  ParamTable& table = s_.param_table;
  if (Holds(kinds, RowKind::kBrakedMass)) {
    LogRow(RowKind::kBrakedMass);
    table[kGeneralSlot].long1 = fields_.ReadLong();
  }
  if (Holds(kinds, RowKind::kCoaches)) {
    LogRow(RowKind::kCoaches);
    table[kGeneralSlot].long3 = fields_.ReadLong();
  }
  if (Holds(kinds, RowKind::kSpeedLimit)) {
    LogRow(RowKind::kSpeedLimit);
    if (RowEnd end = ReadSpeedLimitRow(); end != RowEnd::kNext) return end;
  }
  if (Holds(kinds, RowKind::kAdhesion)) {
    LogRow(RowKind::kAdhesion);
    if (RowEnd end = ReadAdhesionRow(); end != RowEnd::kNext) return end;
  }
  if (Holds(kinds, RowKind::kClock)) {
    LogRow(RowKind::kClock);
    table[kTrainSlot].int3 = fields_.ReadInteger();
    table[kTrainSlot].int4 = fields_.ReadInteger();
    table[kTrainSlot].int5 = fields_.ReadInteger();
  }
  if (Holds(kinds, RowKind::kSand)) {
    LogRow(RowKind::kSand);
    table[kTrainSlot].int1 = fields_.ReadInteger();
  }
  if (Holds(kinds, RowKind::kSignal)) {
    LogRow(RowKind::kSignal);
    if (RowEnd end = ReadSignalRow(); end != RowEnd::kNext) return end;
  }
  if (Holds(kinds, RowKind::kSlowdown)) {
    LogRow(RowKind::kSlowdown);
    if (RowEnd end = ReadSlowdownRow(); end != RowEnd::kNext) return end;
  }
  if (Holds(kinds, RowKind::kCodeChange)) {
    LogRow(RowKind::kCodeChange);
    if (RowEnd end = ReadCodeChangeRow(); end != RowEnd::kNext) return end;
  }
  if (Holds(kinds, RowKind::kStation)) {
    LogRow(RowKind::kStation);
    if (RowEnd end = ReadStationRow(); end != RowEnd::kNext) return end;
  }
  return RowEnd::kNext;
}

// A speed limit from metre p onward. The cells from the fill index up to,
// not including, p / 50 take the limit in force before this row.
RowEnd TrainReader::ReadSpeedLimitRow() {
  const std::int32_t p = fields_.ReadLong();
  const std::int32_t v = fields_.ReadLong();
  if (BeyondArray(p, 100)) return RowEnd::kStopReading;
  const std::int64_t n = FillCell(p);
  if (n > 0) {
    // Deliberate: at least one cell is written even when the fill index
    // has already reached n (a row at the same metre as the one before),
    // and the fill never writes cell last_cell.
    do {
      if (speed_fill_ >= s_.last_cell) break;
      s_.track_cells.At(speed_fill_).speed_step = SpeedStep(speed_in_force_);
      ++speed_fill_;
    } while (speed_fill_ < n);
  }
  speed_in_force_ = v;
  return RowEnd::kNext;
}

// An adhesion value from metre p onward; filled as the speed limit, but
// without the guard at last_cell (a fill past the array faults).
RowEnd TrainReader::ReadAdhesionRow() {
  const std::int32_t p = fields_.ReadLong();
  const std::int32_t a = fields_.ReadLong();
  if (BeyondArray(p, 100)) return RowEnd::kStopReading;
  const std::int64_t n = FillCell(p);
  if (n > 0) {
    // Deliberate: at least one cell, as for the speed limit.
    do {
      s_.track_cells.At(adhesion_fill_).adhesion = LowByte(adhesion_in_force_);
      ++adhesion_fill_;
    } while (adhesion_fill_ < n);
  }
  adhesion_in_force_ = a;
  return RowEnd::kNext;
}

// The reader tells a recorded code by error_code above 0, not by the
// routine's own outcome.
// Deliberate: a code 15 left by the line reader therefore ends the stage
// at the first signal or slowdown row, after that row has been placed, and
// that row's position replaces error_position.
RowEnd TrainReader::ReadSignalRow() {
  const std::int32_t posizione = fields_.ReadLong();
  const std::int32_t sx = fields_.ReadLong();
  const std::int32_t s1 = fields_.ReadLong();
  const std::int32_t s2 = fields_.ReadLong();
  const std::int32_t s3 = fields_.ReadLong();
  const std::int32_t rapp = fields_.ReadLong();
  const std::int32_t dx = fields_.ReadLong();
  const std::int32_t d1 = fields_.ReadLong();
  const std::int32_t d2 = fields_.ReadLong();
  const std::int32_t d3 = fields_.ReadLong();
  std::int32_t tempo = fields_.ReadLong();
  if (BeyondArray(posizione, 100)) return RowEnd::kStopReading;
  const std::int32_t code_before = s_.errors.error_code;
  const std::optional<std::int64_t> taken = memo_segnale(
      s_, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo, row_);
  return EndOnRecordedCode(code_before, posizione, taken);
}

RowEnd TrainReader::ReadSlowdownRow() {
  const std::int32_t x = fields_.ReadLong();
  const std::int32_t v = fields_.ReadLong();
  const std::int32_t l = fields_.ReadLong();
  const std::int32_t f_tt = fields_.ReadLong();
  const std::int32_t f_ta = fields_.ReadLong();
  const std::int32_t d_v = fields_.ReadLong();
  if (BeyondArray(x, 100)) return RowEnd::kStopReading;
  const std::int32_t code_before = s_.errors.error_code;
  const std::optional<std::int64_t> taken =
      memo_rallentamento(s_, x, v, l, f_tt, f_ta, d_v, row_);
  return EndOnRecordedCode(code_before, x, taken);
}

RowEnd TrainReader::EndOnRecordedCode(std::int32_t code_before,
                                      std::int32_t position,
                                      std::optional<std::int64_t> taken) {
  const std::int32_t code = s_.errors.error_code;
  if (code <= 0) return RowEnd::kNext;
  s_.errors.Record(code, position, row_);
  if (taken)
    s_.errors.diagnostics.back().message += s_.cell_origins.TakenBy(*taken);
  if (code == code_before) {
    // The routine recorded nothing: the code is one left from earlier, and
    // the row was placed. Say so, lest the row itself look at fault.
    s_.errors.diagnostics.back().message =
        "a code " + std::to_string(code) +
        " recorded earlier is still set, so this row ends the reading of "
        "the train description (the row itself was placed)";
  }
  return RowEnd::kEndStage;
}

// A change of the signal code from metre p: kind 12 with the code, or
// kind 13 (no code) for a code of 0 or below, in cell p / 50.
RowEnd TrainReader::ReadCodeChangeRow() {
  const std::int32_t p = fields_.ReadLong();
  const std::int32_t c = fields_.ReadLong();
  if (BeyondArray(p, 100)) return RowEnd::kStopReading;
  const std::int64_t i = FillCell(p);
  TrackCell& cell = s_.track_cells.At(i);
  if (!IsFree(cell)) {
    s_.errors.Record(kCodeCodeChangeTaken, p, row_);
    s_.errors.diagnostics.back().message += s_.cell_origins.TakenBy(i);
    return RowEnd::kEndStage;
  }
  s_.cell_origins.Note(i, "the code change", p, row_);
  if (c > 0) {
    cell.kind = kKindCodeMark;
    cell.w2 = LowWord(c);
  } else {
    cell.kind = kKindCodeOff;
  }
  return RowEnd::kNext;
}

// A station row for the station with ordinal k = station_, stored in slot
// k. Its fields go into the slot as they are read, so a stop or a fault
// leaves the fields read so far in place.
RowEnd TrainReader::ReadStationRow() {
  const std::int32_t k = station_;
  // The slots above the board slot counter hold indicator board texts; a
  // station must never overwrite one (a line with 80 or more boards leaves
  // no slot even for the first station).
  if (k > board_slot_) {
    s_.errors.Record(kCodeNoStationSlot, std::nullopt, row_);
    return RowEnd::kEndStage;
  }
  ParamSlot& slot = s_.param_table.At(k);

  // Deliberate: the position is stored before it is checked, so a code 15
  // on a station row leaves it in the slot.
  const std::int32_t position = fields_.ReadLong();
  slot.long3 = position;
  if (BeyondArray(position, 800)) return RowEnd::kStopReading;
  if (position % 50 != 0) {
    s_.errors.Record(kCodeStationPosition, position, row_);
    return RowEnd::kEndStage;
  }
  const std::uint8_t kind = fields_.ReadByte();
  slot.byte1 = kind;
  const std::int32_t length = fields_.ReadLong();
  if (length % 100 != 0) {
    s_.errors.Record(kCodeStationLength, position, row_);
    return RowEnd::kEndStage;
  }

  ReadStationFields(slot);
  PlaceStationStretch(slot, k, position, length);
  if (RowEnd end = MarkStationStop(k, kind, position, slot.long2);
      end != RowEnd::kNext) {
    return end;
  }

  if (k > 1 &&
      std::int64_t{slot.long1} - 350 < s_.param_table.At(k - 1).long2) {
    s_.errors.Record(kCodeStationTooClose, position, row_);
    return RowEnd::kEndStage;
  }

  // Deliberate: the slot right below the lowest board text never holds a
  // station; the code comes after the station before it was stored whole.
  station_ = k + 1;
  if (station_ >= board_slot_) {
    s_.errors.Record(kCodeNoStationSlot, std::nullopt, row_);
    return RowEnd::kEndStage;
  }
  return RowEnd::kNext;
}

// Row fields 4 to 13, in row order, and the station's name.
void TrainReader::ReadStationFields(ParamSlot& slot) {
  slot.byte2 = fields_.ReadByte();
  slot.byte6 = fields_.ReadByte();
  slot.byte5 = fields_.ReadByte();  // the end flag
  slot.int1 = fields_.ReadInteger();
  slot.int2 = fields_.ReadInteger();
  slot.byte3 = fields_.ReadByte();
  slot.int3 = fields_.ReadInteger();
  slot.int4 = fields_.ReadInteger();
  slot.int5 = fields_.ReadInteger();
  slot.byte4 = fields_.ReadByte();
  const std::int64_t hours = fields_.ReadLong();
  const std::int64_t minutes = fields_.ReadLong();
  const std::int64_t seconds = fields_.ReadLong();
  slot.long4 = FitLong(hours * 3600 + minutes * 60 + seconds,
                       "the station's time in seconds", fields_.last_field());
  slot.text = fields_.ReadText();
}

// The stretch around the position and the flags that depend on it.
void TrainReader::PlaceStationStretch(ParamSlot& slot, std::int32_t k,
                                      std::int32_t position,
                                      std::int32_t length) {
  const std::uint8_t kind = slot.byte1;
  // The stretch around the position. Invariant from here on: position is
  // a multiple of 50 and length of 100, so start and end are multiples of
  // 50 and end / 50 is exact.
  std::int64_t start;
  std::int64_t end;
  if (kind == 5 || kind == 6) {
    start = std::int64_t{position} - length;
    end = std::int64_t{position} + 150;
    slot.byte5 = 0;
  } else if (kind == 7 || kind == 8) {
    start = std::int64_t{position} - length;
    end = std::int64_t{position} + length;
    slot.byte5 = 0;
  } else {
    start = std::int64_t{position} - length / 2;
    end = std::int64_t{position} + length / 2 + (slot.byte5 != 0 ? 50 : 0);
  }
  slot.long1 = FitLong(start, "the station's stretch start", row_);
  slot.long2 = FitLong(end, "the station's stretch end", row_);

  if (length < 600) slot.byte6 = 0;
  // Deliberate: the first station's end keeps its 50 m extension although
  // its flag is cleared here.
  if (k == 1) {
    slot.byte5 = 0;
    slot.byte6 = 0;
  }
}

// The approach marks and the stop mark of a station whose train stops.
RowEnd TrainReader::MarkStationStop(std::int32_t k, std::uint8_t kind,
                                    std::int32_t position, std::int64_t end) {
  const std::int64_t stop_cell = end / 50 - 1;
  if (StationStops(kind) && kind != 5 && kind != 6) {
    // Approach marks 81 to 84 on the four cells below the stop mark; cells
    // 0 and 1 never take one.
    for (int j = 1; j <= 4; ++j) {
      const std::int64_t cell = stop_cell - j;
      if (cell > 1) s_.track_cells.At(cell).b11 = LowByte(80 + j);
    }
  }
  if (StationStops(kind)) {
    if (stop_cell <= 1) {
      s_.errors.Record(kCodeStationEndTooEarly, std::nullopt, row_);
      return RowEnd::kEndStage;
    }
    // The stop mark overwrites whatever stands in its cell.
    TrackCell& stop = s_.track_cells.At(stop_cell);
    stop.kind = kKindStopMark;
    s_.cell_origins.Note(stop_cell, "the stop mark of the station", position,
                         row_);
    stop.w2 = LowWord(k);
  }
  return RowEnd::kNext;
}

// After the end of the file or a code 15: the profiles are completed up to
// last_cell - 3, then the kilometre records are checked.
void TrainReader::RunClosingSteps() {
  // Deliberate: at least one cell each, and the last three cells take a
  // speed limit and an adhesion only from a row that reaches them.
  do {
    s_.track_cells.At(speed_fill_).speed_step = SpeedStep(speed_in_force_);
    ++speed_fill_;
  } while (speed_fill_ < std::int64_t{s_.last_cell} - 2);
  do {
    s_.track_cells.At(adhesion_fill_).adhesion = LowByte(adhesion_in_force_);
    ++adhesion_fill_;
  } while (adhesion_fill_ < std::int64_t{s_.last_cell} - 2);

  for (int slot = kKilometreSlotFirst; slot <= kKilometreSlotLast; ++slot) {
    const ParamSlot& record = s_.param_table[slot];
    if (record.long1 % 50 != 0 || record.long2 % 50 != 0) {
      // The records come from the line file; no train row is to blame.
      s_.errors.Record(kCodeKilometreRecord, std::nullopt, {});
      return;
    }
  }
}

}  // namespace

void ReadTrainDescription(Scenario& s, FieldReader& fields,
                          std::int32_t board_slot) {
  TrainReader(s, fields, board_slot).Run();
}

}  // namespace scenario
