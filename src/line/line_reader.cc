#include "line/line_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "line/field_reader.h"
#include "line/line_keywords.h"
#include "line/line_placement.h"
#include "line/plan_laying.h"
#include "line/read_log.h"
#include "line/row_reading.h"
#include "model/errors.h"
#include "model/rounding.h"

namespace scenario {

namespace {

// The longest line the cell array and the plan grid take, in metres, and
// the last plan metre the grid may reach while curves are laid.
constexpr std::int64_t kMaxLineLength = 1000000;
constexpr std::int64_t kMaxPlanMetre = 1000000;
// Run-out after the end of the line, in metres.
constexpr std::int64_t kRunOut = 7000;
constexpr int kBoardSlotStart = kFirstBoardTextSlot;

// Change of heading per plan metre, in radians, of curvature classes 1-6.
constexpr double kCurvature[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The kilometre reference rows, in the order they are tested, and the
// record each fills.
struct KilometreRow {
  RowKind kind;
  int slot;
};
constexpr KilometreRow kKilometreRows[] = {
    {RowKind::kKilometreTre, kKilometreSlotFirst},
    {RowKind::kKilometreDue, kKilometreSlotSecond},
    {RowKind::kKilometreUno, kKilometreSlotLast},
};

// One read of a line file into a scenario.
class LineReader {
 public:
  LineReader(Scenario& s, FieldReader& fields) : s_(s), fields_(fields) {}

  LineHandover Run();

 private:
  // Reads a field in keyword position into current_field and remembers
  // where it starts.
  void ReadKeyword();
  // Records in the read log, when there is one, what became of the field
  // read last, and the rows read from it.
  void Log(KeywordUse use, ReadPart part, RowKindSet matches = 0) {
    if (ReadLog* log = fields_.log()) log->Keyword(use, part, matches);
  }
  void LogRow(RowKind kind) {
    if (ReadLog* log = fields_.log()) log->BeginRow(kind);
  }

  bool FindGeneralSection();
  // Returns false when a row ended the stage.
  bool ReadGeneralPart();
  bool ReadGeneralRows();
  bool ReadLengthRow();
  bool ReadRepetitionRow();
  void StartMainPart();
  RowEnd ReadMainPart();
  RowEnd ReadMainRows();
  RowEnd ReadGradientRow();
  RowEnd ReadCurveRow();
  RowEnd ReadMountainRow();
  RowEnd ReadSpeedBoardRow();
  RowEnd ReadIndicatorBoardRow();
  void CloseLine();

  // False (and code 15 recorded with the position) when position + 100
  // lies beyond 50 * last_cell.
  bool PositionFits(std::int32_t position);
  // Lays plan metres up to and including `to`, straight or turning by
  // *turn per metre. False (code 103 recorded) when the plan metre passes
  // 1000000.
  bool LayPlan(std::int64_t to, std::optional<double> turn);
  // P(m) from P(m-1) and P(m-2): straight on, or turning by *turn. Only
  // the grid's bounds are checked when no coordinate is wanted.
  void LayMetre(std::optional<double> turn);
  // Lays metres up to last, or up to the grid's end if that comes first,
  // without any check on the way.
  void LayRun(std::int64_t last, std::optional<double> turn);

  LineHandover Handover(bool train_reader_runs) const {
    return {train_reader_runs, board_slot_};
  }

  Scenario& s_;
  FieldReader& fields_;
  // Where the row being handled starts: its keyword field.
  SourceSpot keyword_;

  // Working values of one read.
  MountainStretches mountains_;
  std::int32_t board_slot_ = kBoardSlotStart;
  std::int64_t fill_index_ = 0;
  std::int32_t gradient_in_force_ = 0;
  std::int64_t plan_metre_ = 2;
};

void LineReader::ReadKeyword() {
  s_.current_field = fields_.ReadText();
  keyword_ = fields_.last_field();
}

LineHandover LineReader::Run() {
  if (!FindGeneralSection()) return Handover(false);
  if (!ReadGeneralPart()) return Handover(false);
  StartMainPart();
  const RowEnd end = ReadMainPart();
  if (end == RowEnd::kEndStage) return Handover(false);
  CloseLine();
  return Handover(true);
}

bool LineReader::FindGeneralSection() {
  // Deliberate: the field read last is never tested, so a file whose last
  // field is "[generale]" has no general section either.
  do {
    ReadKeyword();
    if (fields_.AtEnd()) {
      Log(KeywordUse::kUnread, ReadPart::kLineGeneral);
      s_.errors.Record(kCodeNoGeneralSection, std::nullopt,
                       fields_.last_field());
      return false;
    }
    Log(KeywordUse::kPreamble, ReadPart::kLineGeneral);
  } while (!IsLineGeneralHeader(s_.current_field));
  if (ReadLog* log = fields_.log()) log->set_found_general();
  return true;
}

bool LineReader::ReadGeneralPart() {
  for (;;) {
    // Deliberate: the end of the file is tested only around the keyword
    // field, so the last field of the file is never interpreted and a row
    // handler reads its numbers with no test at all.
    if (fields_.AtEnd()) return true;
    ReadKeyword();
    if (fields_.AtEnd()) {
      Log(KeywordUse::kUnread, ReadPart::kLineGeneral);
      return true;
    }
    for (int i = 0; i < kLineGeneralDashSkips; ++i) {
      // No end-of-file test between these reads.
      if (IsDashField(s_.current_field)) {
        Log(KeywordUse::kDashSkipped, ReadPart::kLineGeneral);
        ReadKeyword();
      }
    }
    if (!ReadGeneralRows()) return false;
    if (EndsGeneralPart(s_.current_field)) return true;
  }
}

bool LineReader::ReadGeneralRows() {
  // Each test is made on the same field, independently and in the order of
  // RowKind: a keyword that passes several tests is handled by each in
  // turn, each reading its own numbers.
  const RowKindSet kinds = LineGeneralRowKinds(s_.current_field);
  Log(KeywordUse::kTested, ReadPart::kLineGeneral, kinds);
  if (Holds(kinds, RowKind::kLength)) {
    LogRow(RowKind::kLength);
    if (!ReadLengthRow()) return false;
  }
  ParamTable& t = s_.param_table;
  for (const KilometreRow& row : kKilometreRows) {
    if (!Holds(kinds, row.kind)) continue;
    LogRow(row.kind);
    t[row.slot].long1 = fields_.ReadLong();
    t[row.slot].long2 = fields_.ReadLong();
    t[row.slot].long3 = fields_.ReadLong();
  }
  // Deliberate: selector two goes to long3 and selector three to long2;
  // stored files depend on it.
  if (Holds(kinds, RowKind::kSelectorUno)) {
    LogRow(RowKind::kSelectorUno);
    t[kLineSlot].long1 = fields_.ReadLong();
  }
  if (Holds(kinds, RowKind::kSelectorDue)) {
    LogRow(RowKind::kSelectorDue);
    t[kLineSlot].long3 = fields_.ReadLong();
  }
  if (Holds(kinds, RowKind::kSelectorTre)) {
    LogRow(RowKind::kSelectorTre);
    t[kLineSlot].long2 = fields_.ReadLong();
  }
  if (Holds(kinds, RowKind::kRepetition)) {
    LogRow(RowKind::kRepetition);
    if (!ReadRepetitionRow()) return false;
  }
  return true;
}

bool LineReader::ReadLengthRow() {
  const std::int32_t length = fields_.ReadLong();
  s_.param_table[kGeneralSlot].long2 = length;
  if (length > kMaxLineLength) {
    // A second length row leaves the array of the first one in place.
    s_.errors.Record(kCodeLineTooLong, std::nullopt, keyword_);
    return false;
  }
  // length <= 1000000 and >= INT32_MIN, so both values fit a long.
  const std::int64_t extended = std::int64_t{length} + kRunOut;
  const std::int64_t last_cell = RoundRatio(extended, 50);
  // A negative length that leaves no cell 0 or no metre 0 is refused where
  // the array or the grid is made, as an access outside the model. Each
  // size is stored together with the array it sizes, so a fault here never
  // leaves last_cell or extended_length describing an array that was not
  // made.
  if (last_cell < 0) {
    throw Fault("line length " + std::to_string(length) +
                    " leaves no cell in the array",
                keyword_);
  }
  s_.last_cell = static_cast<std::int32_t>(last_cell);
  s_.track_cells.Create(s_.last_cell);
  if (s_.write_line_file != 0 && extended < 0) {
    throw Fault("line length " + std::to_string(length) +
                    " leaves no metre in the line grid",
                keyword_);
  }
  s_.extended_length = static_cast<std::int32_t>(extended);
  if (s_.write_line_file != 0) {
    s_.line_grid.Create(s_.extended_length, s_.keep_plan_runs);
  }
  return true;
}

bool LineReader::ReadRepetitionRow() {
  ParamSlot& slot = s_.param_table[kTrainSlot];
  slot.long1 = fields_.ReadLong();
  slot.long2 = fields_.ReadLong();
  if (slot.long1 % 50 != 0) {
    s_.errors.Record(kCodeRepetitionStart, std::nullopt, keyword_);
    return false;
  }
  if (slot.long2 % 50 != 0) {
    s_.errors.Record(kCodeRepetitionEnd, std::nullopt, keyword_);
    return false;
  }
  if (Has(s_.current_field, "4")) {
    slot.long3 = 4;
  } else if (Has(s_.current_field, "9")) {
    slot.long3 = 9;
  } else {
    s_.errors.Record(kCodeRepetitionCodes, std::nullopt, keyword_);
    return false;
  }
  if (slot.long2 == 0) slot.long3 = 0;
  return true;
}

void LineReader::StartMainPart() {
  progressive_ordina(s_.param_table);
  mountains_.mountain_count = 0;
  board_slot_ = kBoardSlotStart;
  fill_index_ = 0;
  plan_metre_ = 2;
  if (s_.write_line_file != 0) {
    // The plan starts at the origin with a step of one metre along +y.
    // Without a length row the grid does not exist and this faults.
    s_.line_grid.SetInt16(0, 0, 0);
    s_.line_grid.SetInt16(1, 0, 1);
  }
}

RowEnd LineReader::ReadMainPart() {
  for (;;) {
    // Deliberate: as in the general part, the end of the file is tested
    // only around keyword fields.
    if (fields_.AtEnd()) return RowEnd::kNext;
    ReadKeyword();
    if (fields_.AtEnd()) {
      Log(KeywordUse::kUnread, ReadPart::kLineMain);
      return RowEnd::kNext;
    }
    for (int i = 0; i < kLineMainDashSkips; ++i) {
      if (IsDashField(s_.current_field)) {
        Log(KeywordUse::kDashSkipped, ReadPart::kLineMain);
        ReadKeyword();
        if (fields_.AtEnd()) {
          Log(KeywordUse::kUnread, ReadPart::kLineMain);
          return RowEnd::kNext;
        }
      }
    }
    const RowEnd end = ReadMainRows();
    if (end != RowEnd::kNext) return end;
  }
}

RowEnd LineReader::ReadMainRows() {
  // Each test is made on the same field, independently and in the order of
  // RowKind. Rows of one kind are handled in file order; rows of different
  // kinds may be interleaved freely.
  RowKindSet kinds = LineMainRowKinds(s_.current_field);
  // Without a grid to lay, a curve keyword is not a row: it and its two
  // numbers are passed over as unrecognised fields.
  if (s_.write_line_file == 0) kinds &= ~RowBit(RowKind::kCurve);
  Log(KeywordUse::kTested, ReadPart::kLineMain, kinds);
  struct Handler {
    RowKind kind;
    RowEnd (LineReader::*read)();
  };
  static constexpr Handler kHandlers[] = {
      {RowKind::kGradient, &LineReader::ReadGradientRow},
      {RowKind::kCurve, &LineReader::ReadCurveRow},
      {RowKind::kMountain, &LineReader::ReadMountainRow},
      {RowKind::kSpeedBoard, &LineReader::ReadSpeedBoardRow},
      {RowKind::kIndicatorBoard, &LineReader::ReadIndicatorBoardRow},
  };
  for (const Handler& h : kHandlers) {
    if (!Holds(kinds, h.kind)) continue;
    LogRow(h.kind);
    const RowEnd end = (this->*h.read)();
    if (end != RowEnd::kNext) return end;
  }
  return RowEnd::kNext;
}

bool LineReader::PositionFits(std::int32_t position) {
  if (std::int64_t{position} + 100 > 50 * std::int64_t{s_.last_cell}) {
    s_.errors.Record(kCodeBeyondArray, position, keyword_);
    return false;
  }
  return true;
}

RowEnd LineReader::ReadGradientRow() {
  const std::int32_t p = fields_.ReadLong();
  const std::int32_t g = fields_.ReadLong();
  if (!PositionFits(p)) return RowEnd::kStopReading;
  const std::int64_t n = FillCell(p);
  if (n > 0) {
    // Deliberate: at least one cell is written, even when the fill index
    // has already reached n.
    do {
      s_.track_cells.At(fill_index_).gradient =
          LowByte(std::int64_t{gradient_in_force_} + 100);
      ++fill_index_;
    } while (fill_index_ < n);
  }
  gradient_in_force_ = g;
  return RowEnd::kNext;
}

void LineReader::LayMetre(std::optional<double> turn) {
  // A metre past the grid's end faults here, as an access outside it.
  s_.line_grid.Require(plan_metre_);
  LayPlanMetres(s_.line_grid, plan_metre_, plan_metre_, turn);
}

void LineReader::LayRun(std::int64_t last, std::optional<double> turn) {
  last = std::min(last, s_.line_grid.size() - 1);
  if (plan_metre_ > last) return;
  LayPlanMetres(s_.line_grid, plan_metre_, last, turn);
  plan_metre_ = last + 1;
}

bool LineReader::LayPlan(std::int64_t to, std::optional<double> turn) {
  // The metres that can pass neither the grid's end nor the 1000000 limit
  // go in one run; the rest one by one, where the fault or code 103 comes.
  LayRun(std::min(to, kMaxPlanMetre - 1), turn);
  while (plan_metre_ <= to) {
    // A metre past the grid's end faults here, before its 1000000 test.
    LayMetre(turn);
    ++plan_metre_;
    if (plan_metre_ > kMaxPlanMetre) {
      s_.errors.Record(kCodeCurve, std::nullopt, keyword_);
      return false;
    }
  }
  return true;
}

RowEnd LineReader::ReadCurveRow() {
  const std::int32_t start = fields_.ReadLong();
  const std::int32_t length = fields_.ReadLong();
  if (!PositionFits(start)) return RowEnd::kStopReading;
  // The class is the first of the digits 1 to 6 that the keyword holds,
  // tested in that order, wherever they stand.
  double k = 0;
  bool found = false;
  for (int digit = 1; digit <= 6 && !found; ++digit) {
    if (Has(s_.current_field, std::string(1, static_cast<char>('0' + digit)))) {
      k = kCurvature[digit - 1];
      found = true;
    }
  }
  if (!found) {
    s_.errors.Record(kCodeCurve, std::nullopt, keyword_);
    return RowEnd::kEndStage;
  }
  if (HasAnyCase(s_.current_field, "s")) k = -k;  // turns left
  // A curve that starts behind the plan metre begins at it; one that also
  // ends behind it changes nothing.
  if (!LayPlan(start, std::nullopt)) return RowEnd::kEndStage;
  if (!LayPlan(std::int64_t{start} + length, k)) return RowEnd::kEndStage;
  return RowEnd::kNext;
}

RowEnd LineReader::ReadMountainRow() {
  const std::int32_t inizio = fields_.ReadLong();
  const std::int32_t fine = fields_.ReadLong();
  std::int32_t tipo = fields_.ReadLong();
  if (!PositionFits(inizio)) return RowEnd::kStopReading;
  memo_montagna(s_.track_cells, mountains_, inizio, fine, tipo);
  // memo_montagna records nothing itself; like every placement call this
  // looks at error_code, not at the routine's outcome.
  if (s_.errors.error_code > 0) {
    s_.errors.error_position = inizio;
    return RowEnd::kEndStage;
  }
  return RowEnd::kNext;
}

RowEnd LineReader::ReadSpeedBoardRow() {
  const std::int32_t posizione = fields_.ReadLong();
  const std::int32_t vas = fields_.ReadLong();
  const std::int32_t vbs = fields_.ReadLong();
  const std::int32_t vcs = fields_.ReadLong();
  const std::int16_t strisces = fields_.ReadInteger();
  const std::int32_t vad = fields_.ReadLong();
  const std::int32_t vbd = fields_.ReadLong();
  const std::int32_t vcd = fields_.ReadLong();
  const std::int16_t strisced = fields_.ReadInteger();
  if (!PositionFits(posizione)) return RowEnd::kStopReading;
  memo_indicatori_v_max(s_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd,
                        strisced, keyword_);
  if (s_.errors.error_code > 0) {
    s_.errors.error_position = posizione;
    return RowEnd::kEndStage;
  }
  return RowEnd::kNext;
}

RowEnd LineReader::ReadIndicatorBoardRow() {
  const std::int32_t p = fields_.ReadLong();
  s_.current_field = fields_.ReadText();
  if (!PositionFits(p)) return RowEnd::kStopReading;
  const std::int64_t i = ItemCell(p);
  TrackCell& cell = s_.track_cells.At(i);
  if (!IsFree(cell)) {
    s_.errors.Record(kCodeIndicatorBoardTaken, p, keyword_);
    s_.errors.diagnostics.back().message += s_.cell_origins.TakenBy(i);
    return RowEnd::kEndStage;
  }
  // Assigned in this order: with no slot left (an 82nd board) the kind and
  // the slot number stay in the cell when the slot access faults.
  cell.kind = kKindIndicatorBoard;
  s_.cell_origins.Note(i, "the indicator board", p, keyword_);
  cell.w2 = LowWord(board_slot_);
  s_.param_table.At(board_slot_).text = s_.current_field;
  --board_slot_;
  return RowEnd::kNext;
}

void LineReader::CloseLine() {
  // Deliberate: at least one cell is filled, and the fill stops at
  // last_cell - 3, so the last three cells keep what they hold.
  do {
    s_.track_cells.At(fill_index_).gradient =
        LowByte(std::int64_t{gradient_in_force_} + 100);
    ++fill_index_;
  } while (fill_index_ < std::int64_t{s_.last_cell} - 2);
  if (s_.write_line_file != 0) {
    // Straight on to two metres short of the grid's end, with no metre
    // limit: the last two metres stay empty unless a curve reached them.
    LayRun(std::int64_t{s_.extended_length} - 2, std::nullopt);
    while (plan_metre_ <= std::int64_t{s_.extended_length} - 2) {
      LayMetre(std::nullopt);
      ++plan_metre_;
    }
  }
}

}  // namespace

LineHandover ReadLineDescription(Scenario& s, FieldReader& fields) {
  LineReader reader(s, fields);
  return reader.Run();
}

}  // namespace scenario
