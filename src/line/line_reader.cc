#include "line/line_reader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "line/field_reader.h"
#include "line/line_placement.h"
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

// Dash fields passed over before the keyword tests.
constexpr int kGeneralDashSkips = 10;
constexpr int kMainDashSkips = 2;

// Change of heading per plan metre, in radians, of curvature classes 1-6.
constexpr double kCurvature[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Exact-case substring test.
bool Has(std::string_view field, std::string_view word) {
  return field.find(word) != std::string_view::npos;
}

// Any-case substring test; only ASCII letters fold (bytes are
// Windows-1252). REQUIRES: word is lower case.
bool HasAnyCase(std::string_view field, std::string_view word) {
  if (word.size() > field.size()) return false;
  for (std::size_t i = 0; i + word.size() <= field.size(); ++i) {
    std::size_t j = 0;
    while (j < word.size() && FoldAscii(field[i + j]) == word[j]) ++j;
    if (j == word.size()) return true;
  }
  return false;
}

// A bracketed field ends the general part, unless it begins with a dash
// after its leading blanks.
bool EndsGeneralPart(std::string_view field) {
  if (!Has(field, "[") || !Has(field, "]")) return false;
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  return i >= field.size() || field[i] != '-';
}

// How a row handler leaves the main loop.
enum class RowEnd {
  kNext,         // go on with the next field
  kStopReading,  // code 15: the closing steps run, then the train reader
  kEndStage,     // a line stop: the stage ends, the train reader does not run
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
  // P(m) from P(m-1) and P(m-2): straight on, or turning by *turn.
  void LayMetre(std::optional<double> turn);

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
      s_.errors.Record(kCodeNoGeneralSection, std::nullopt,
                       fields_.last_field());
      return false;
    }
  } while (!HasAnyCase(s_.current_field, "[generale]"));
  return true;
}

bool LineReader::ReadGeneralPart() {
  for (;;) {
    // Deliberate: the end of the file is tested only around the keyword
    // field, so the last field of the file is never interpreted and a row
    // handler reads its numbers with no test at all.
    if (fields_.AtEnd()) return true;
    ReadKeyword();
    if (fields_.AtEnd()) return true;
    for (int i = 0; i < kGeneralDashSkips; ++i) {
      // No end-of-file test between these reads.
      if (Has(s_.current_field, "-")) ReadKeyword();
    }
    if (!ReadGeneralRows()) return false;
    if (EndsGeneralPart(s_.current_field)) return true;
  }
}

bool LineReader::ReadGeneralRows() {
  // Each test is made on the same field, independently and in this order:
  // a keyword that passes several tests is handled by each in turn, each
  // reading its own numbers. The length row is any case, the others exact.
  const std::string& k = s_.current_field;
  if (HasAnyCase(k, "percorso") && HasAnyCase(k, "lunghezza")) {
    if (!ReadLengthRow()) return false;
  }
  ParamTable& t = s_.param_table;
  if (Has(k, "tre") && Has(k, "progressiva")) {
    t[81].long1 = fields_.ReadLong();
    t[81].long2 = fields_.ReadLong();
    t[81].long3 = fields_.ReadLong();
  }
  if (Has(k, "due") && Has(k, "progressiva")) {
    t[82].long1 = fields_.ReadLong();
    t[82].long2 = fields_.ReadLong();
    t[82].long3 = fields_.ReadLong();
  }
  if (Has(k, "uno") && Has(k, "progressiva")) {
    t[83].long1 = fields_.ReadLong();
    t[83].long2 = fields_.ReadLong();
    t[83].long3 = fields_.ReadLong();
  }
  // Deliberate: selector two goes to long3 and selector three to long2;
  // stored files depend on it.
  if (Has(k, "sfondo") && Has(k, "uno")) {
    t[kLineSlot].long1 = fields_.ReadLong();
  }
  if (Has(k, "sfondo") && Has(k, "due")) {
    t[kLineSlot].long3 = fields_.ReadLong();
  }
  if (Has(k, "sfondo") && Has(k, "tre")) {
    t[kLineSlot].long2 = fields_.ReadLong();
  }
  if (Has(k, "segnali") && Has(k, "ripetizione")) {
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
  if (s_.write_line_file != 0) s_.line_grid.Create(s_.extended_length);
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
    if (fields_.AtEnd()) return RowEnd::kNext;
    for (int i = 0; i < kMainDashSkips; ++i) {
      if (Has(s_.current_field, "-")) {
        ReadKeyword();
        if (fields_.AtEnd()) return RowEnd::kNext;
      }
    }
    const RowEnd end = ReadMainRows();
    if (end != RowEnd::kNext) return end;
  }
}

RowEnd LineReader::ReadMainRows() {
  // Each test is made on the same field, independently and in this order
  // (all any case). Rows of one kind are handled in file order; rows of
  // different kinds may be interleaved freely.
  RowEnd end = RowEnd::kNext;
  if (HasAnyCase(s_.current_field, "pendenza")) {
    end = ReadGradientRow();
    if (end != RowEnd::kNext) return end;
  }
  // Without a grid to lay, a curve keyword is not a row: it and its two
  // numbers are passed over as unrecognised fields.
  if (s_.write_line_file != 0 && HasAnyCase(s_.current_field, "curva")) {
    end = ReadCurveRow();
    if (end != RowEnd::kNext) return end;
  }
  if (HasAnyCase(s_.current_field, "montagna")) {
    end = ReadMountainRow();
    if (end != RowEnd::kNext) return end;
  }
  if (HasAnyCase(s_.current_field, "indicatori_v")) {
    end = ReadSpeedBoardRow();
    if (end != RowEnd::kNext) return end;
  }
  if (HasAnyCase(s_.current_field, "indicat") &&
      HasAnyCase(s_.current_field, "cartello")) {
    end = ReadIndicatorBoardRow();
  }
  return end;
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
  const std::int64_t m = plan_metre_;
  const LineGrid& g = s_.line_grid;
  const double x1 = g.X(m - 1), y1 = g.Y(m - 1);
  const double dx = x1 - g.X(m - 2);
  const double dy = y1 - g.Y(m - 2);
  if (!turn) {
    s_.line_grid.SetDouble(m, x1 + dx, y1 + dy);
    return;
  }
  const double k = *turn;
  // Deliberate: the step is not scaled back to one metre, so each curve
  // metre is sqrt(1 + k * k) times longer than the one before; stored
  // plans depend on it.
  s_.line_grid.SetDouble(m, x1 + (dx + k * dy), y1 + (dy - k * dx));
}

bool LineReader::LayPlan(std::int64_t to, std::optional<double> turn) {
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
