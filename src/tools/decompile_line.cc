#include "tools/decompile_line.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "line/read_log.h"
#include "model/grid_image_view.h"
#include "model/param_table.h"
#include "model/rounding.h"
#include "model/track_cells.h"
#include "tools/decompile_mountains.h"
#include "tools/decompile_plan.h"
#include "tools/decompile_train.h"
#include "tools/scenario_files.h"

namespace scenario {

namespace {

// The longest line a description may give, and the run-out the cell array
// and the plan reach beyond its end, in metres.
constexpr std::int64_t kMaxLineLength = 1000000;
constexpr std::int64_t kRunOut = 7000;
constexpr std::int64_t kCellMetres = 50;
// A kilometre record whose flag is 1 has this added to its offset.
constexpr std::int64_t kFlaggedOffset = 100;
// The cell whose first two words the compile stamps; an item there had
// them 0.
constexpr std::int64_t kHeaderCell = 1;
// A cell's gradient byte is the gradient + 100.
constexpr std::int64_t kGradientBias = 100;

void AddRow(RecoveredDescription* d, RowKind kind,
            std::vector<std::int64_t> numbers, std::string text = "",
            std::string keyword = "") {
  RecoveredRow row;
  row.kind = kind;
  row.keyword =
      keyword.empty() ? std::string(RowKindKeyword(kind)) : std::move(keyword);
  row.numbers = std::move(numbers);
  row.text = std::move(text);
  d->rows.push_back(std::move(row));
}

// The metre a description gives an item of cell c: the first of the cell's
// 50 m, whose item cell is c again.
std::int64_t ItemMetre(std::int64_t c) { return (c - 1) * kCellMetres; }

std::string CellText(std::int64_t c) {
  return "cell " + std::to_string(c) + " (metre " +
         std::to_string(ItemMetre(c)) + ")";
}

// One kilometre record: start, offset, flag.
struct KilometreRecord {
  std::int64_t start = 0;
  std::int64_t offset = 0;
  std::int64_t flag = 0;
  bool zero() const { return start == 0 && offset == 0 && flag == 0; }
};

// The record as its row gave it: without the 100 that the ordering added
// to the offset for flag 1.
KilometreRecord AsRead(const ParamSlot& s) {
  return {s.long1, s.long2 - (s.long3 == 1 ? kFlaggedOffset : 0), s.long3};
}

// The rows "uno", "due" and "tre" whose ordering gives back slots 81, 82
// and 83: the reader puts "tre" in 81, "due" in 82 and "uno" in 83, and the
// ordering puts the greatest start first, or, with starts that add up to
// 0, the records by offset.
Status RecoverKilometreRows(const ParamTable& t, RecoveredDescription* out) {
  const KilometreRecord f1 = AsRead(t[kKilometreSlotFirst]);
  const KilometreRecord f2 = AsRead(t[kKilometreSlotSecond]);
  const KilometreRecord f3 = AsRead(t[kKilometreSlotLast]);
  KilometreRecord tre, due, uno;
  const std::int64_t sum = f1.start + f2.start + f3.start;
  if (f1.zero() && f2.zero() && f3.zero()) {
    // All zero: the rows as zeros (a shared greatest start clears them too).
  } else if (sum != 0) {
    if (!(f1.start > f2.start && f2.start >= f3.start)) {
      return Status::Error(
          "the kilometre records in slots 81 to 83 start at " +
          std::to_string(f1.start) + ", " + std::to_string(f2.start) + " and " +
          std::to_string(f3.start) +
          " m: a compile orders them by start, the greatest strictly first");
    }
    // The greatest start goes to "uno", as a line with one record writes
    // it. The ordering then puts "tre" second when its start is above
    // "due"'s, else "due": so the second record goes to "tre" only when
    // its start is strictly above the third's.
    uno = f1;
    tre = f2.start > f3.start ? f2 : f3;
    due = f2.start > f3.start ? f3 : f2;
  } else {
    if (f1.offset <= 0) {
      return Status::Error(
          "the kilometre records in slots 81 to 83 have starts that add up "
          "to 0 and a first offset of " +
          std::to_string(f1.offset) +
          ": a compile then puts first a record whose offset is above 0");
    }
    uno = f1, due = f2, tre = f3;
  }
  for (const KilometreRecord& r : {uno, due, tre}) {
    if (r.offset < std::numeric_limits<std::int32_t>::min()) {
      return Status::Error(
          "a kilometre record's offset lies below the range a row reads");
    }
  }
  AddRow(out, RowKind::kKilometreUno, {uno.start, uno.offset, uno.flag});
  AddRow(out, RowKind::kKilometreDue, {due.start, due.offset, due.flag});
  AddRow(out, RowKind::kKilometreTre, {tre.start, tre.offset, tre.flag});
  return Status::Ok();
}

// The signal repetition row: start, end, and the codes in its keyword.
Status RecoverRepetitionRow(const ParamSlot& s, RecoveredDescription* out) {
  std::string keyword(RowKindKeyword(RowKind::kRepetition));
  const bool valid = s.long2 == 0 ? s.long3 == 0 : s.long3 == 4 || s.long3 == 9;
  if (!valid) {
    return Status::Error(
        "slot 86 gives the signal repetition " + std::to_string(s.long3) +
        " codes up to metre " + std::to_string(s.long2) +
        ": a compile writes 4 or 9 codes, or 0 when the end is 0");
  }
  if (s.long3 == 4) keyword = "ripetizione segnali 4 codici";
  AddRow(out, RowKind::kRepetition, {s.long1, s.long2}, "", keyword);
  return Status::Ok();
}

// The gradient rows whose fills give the cells' gradient bytes. The reader
// fills each row's cells from the fill index up to, not including, its
// position / 50 (at least one cell), and the closing fill runs up to
// last_cell - 3, also at least one cell: cells past it are filled only by
// rows that each fill one cell, at the last position a row may take.
void RecoverGradientRows(const std::vector<TrackCell>& cells,
                         std::int64_t last_cell, RecoveredDescription* out) {
  const std::int64_t fill_end = last_cell - 2;
  std::int64_t written = std::max<std::int64_t>(fill_end, 1);
  for (std::int64_t c = static_cast<std::int64_t>(cells.size()) - 1;
       c >= written; --c) {
    if (cells[c].gradient != 0) {
      written = c + 1;
      break;
    }
  }
  // A byte's gradient is taken in -100 to 155.
  auto gradient = [&cells](std::int64_t c) {
    return std::int64_t{cells[c].gradient} - kGradientBias;
  };
  AddRow(out, RowKind::kGradient, {0, gradient(0)});
  out->notes.push_back(
      {RowKind::kGradient, -1,
       "each gradient is written from the first metre of the cell where it "
       "starts (the metres within a cell are not kept), as a whole number "
       "from -100 to 155 per mille (a cell keeps the gradient + 100 in one "
       "byte)"});
  std::uint8_t in_force = cells[0].gradient;
  for (std::int64_t c = 1; c < std::min(written, fill_end); ++c) {
    if (cells[c].gradient == in_force) continue;
    AddRow(out, RowKind::kGradient, {c * kCellMetres, gradient(c)});
    in_force = cells[c].gradient;
  }
  if (written <= fill_end || fill_end < 1) return;
  for (std::int64_t c = fill_end; c < written; ++c) {
    AddRow(out, RowKind::kGradient, {fill_end * kCellMetres, gradient(c)});
  }
  out->notes.push_back(
      {RowKind::kGradient, fill_end * kCellMetres,
       "the gradients of the cells from " + std::to_string(fill_end) +
           ", past the closing fill, are written as one row each at " +
           std::to_string(fill_end * kCellMetres) +
           " m, where each row fills one cell"});
}

// A speed word vd / 5 + vs * 20 as vs and vd: vd in 0 to 95.
std::pair<std::int64_t, std::int64_t> SplitSpeedWord(std::int64_t w) {
  const std::int64_t vs = w >= 0 ? w / 20 : -((-w + 19) / 20);
  return {vs, (w - vs * 20) * 5};
}

// The stop cells whose leftover words a train row explains
// (TrainCellsUnderStopMarks), in increasing order.
using TrainStopCells = std::vector<std::int64_t>;

// A station's stop mark overwrites the kind and the first word of its cell
// and keeps the other words: a stop cell with words left (and no signal
// time) held a maximum-speed board, which the line placed first, unless
// the words are those of a signal or slowdown the train placed before the
// station.
bool HoldsLostSpeedBoard(const TrackCell& cell, std::int64_t c,
                         const TrainStopCells& train_cells) {
  return cell.kind == kKindStopMark && cell.b10 == 0 &&
         (cell.w4 != 0 || cell.w6 != 0 || cell.w8 != 0) &&
         !std::binary_search(train_cells.begin(), train_cells.end(), c);
}

void RecoverSpeedBoardRows(const std::vector<TrackCell>& cells,
                           const TrainStopCells& train_cells,
                           RecoveredDescription* out) {
  bool any = false;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& cell = cells[i];
    const std::int64_t c = static_cast<std::int64_t>(i);
    const bool lost = HoldsLostSpeedBoard(cell, c, train_cells);
    if (cell.kind != kKindSpeedBoard && !lost) continue;
    if (lost) {
      out->notes.push_back(
          {RowKind::kSpeedBoard, ItemMetre(c),
           "the stop mark in " + CellText(c) +
               " kept the last three words of a maximum-speed board it took; "
               "the board's first speeds are lost and written as 0"});
    }
    const bool header = c == kHeaderCell;
    const auto [vas, vad] = SplitSpeedWord(header || lost ? 0 : cell.w2);
    const auto [vbs, vbd] = SplitSpeedWord(header ? 0 : cell.w4);
    const auto [vcs, vcd] = SplitSpeedWord(cell.w6);
    const std::int64_t w8 = cell.w8;
    const std::int64_t strisces = w8 >= 0 ? w8 / 10 : -((-w8 + 9) / 10);
    AddRow(out, RowKind::kSpeedBoard,
           {ItemMetre(c), vas, vbs, vcs, strisces, vad, vbd, vcd,
            w8 - strisces * 10});
    any = true;
  }
  if (any) {
    out->notes.push_back(
        {RowKind::kSpeedBoard, -1,
         "each maximum-speed board stands at the first metre of its cell (the "
         "metre within the cell is not kept), its speeds split as s = word "
         "div 20 and d = (word mod 20) x 5, its stripes as s = w8 div 10 and "
         "d = w8 mod 10"});
  }
}

// Whether a slot holds nothing but (maybe) a text.
bool IsTextOnly(const ParamSlot& s) {
  ParamSlot text_only;
  text_only.text = s.text;
  return s == text_only;
}

// The cells of the indicator boards by text slot, highest slot first.
using BoardCells = std::map<std::int64_t, std::int64_t, std::greater<>>;

// Finds the indicator boards' cells, and the stops that may have taken a
// board with a text (in cell order). Fails on a slot outside 0 to 80 or
// named twice.
Status FindIndicatorCells(const std::vector<TrackCell>& cells,
                          const TrainStopCells& train_cells, BoardCells* boards,
                          std::vector<std::int64_t>* stops) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& cell = cells[i];
    const std::int64_t c = static_cast<std::int64_t>(i);
    // A stop that took a maximum-speed board cannot have taken a board
    // with a text as well.
    if (cell.kind == kKindStopMark &&
        !HoldsLostSpeedBoard(cell, c, train_cells)) {
      stops->push_back(c);
    }
    if (cell.kind != kKindIndicatorBoard) continue;
    const std::int64_t slot = c == kHeaderCell ? 0 : cell.w2;
    if (slot < 0 || slot > kFirstBoardTextSlot) {
      return Status::Error(CellText(c) +
                           " holds an indicator board whose text slot " +
                           std::to_string(slot) +
                           " lies outside 0 to 80, where board texts stand");
    }
    const auto [named, fresh] = boards->emplace(slot, c);
    if (!fresh) {
      return Status::Error(CellText(c) + " and " + CellText(named->second) +
                           " hold indicator boards with the same text slot " +
                           std::to_string(slot) +
                           ": each board of a compile has a slot of its own");
    }
  }
  return Status::Ok();
}

// The lowest slot of a board's text: the lowest a cell names, or a lower
// slot with a text and no number. No station's slot is such: a station's
// kind or stretch end is never 0 in a compile without codes.
std::int64_t LowestBoardSlot(const ParamTable& table,
                             const BoardCells& boards) {
  const std::int64_t named =
      boards.empty() ? kFirstBoardTextSlot + 1 : boards.rbegin()->first;
  for (std::int64_t slot = 0; slot < named; ++slot) {
    const ParamSlot& s = table[static_cast<int>(slot)];
    if (!s.text.empty() && IsTextOnly(s)) return slot;
  }
  return named;
}

// The indicator boards in the order of their text slots, 80 downwards. A
// slot among them that no cell names belongs to a board whose cell a
// station's stop mark took: it is written at a stop's cell.
Status RecoverIndicatorRows(const LoadedScenario& loaded,
                            const TrainStopCells& train_cells,
                            RecoveredDescription* out) {
  BoardCells slot_cells;
  std::vector<std::int64_t> stops;
  Status status =
      FindIndicatorCells(loaded.cells, train_cells, &slot_cells, &stops);
  if (!status.ok()) return status;
  const std::int64_t lowest = LowestBoardSlot(loaded.table, slot_cells);
  if (lowest > kFirstBoardTextSlot) return Status::Ok();
  std::size_t next_stop = 0;
  for (std::int64_t slot = kFirstBoardTextSlot; slot >= lowest; --slot) {
    const ParamSlot& s = loaded.table[static_cast<int>(slot)];
    const auto found = slot_cells.find(slot);
    if (found != slot_cells.end()) {
      AddRow(out, RowKind::kIndicatorBoard, {ItemMetre(found->second)}, s.text);
      continue;
    }
    if (!IsTextOnly(s) || next_stop == stops.size()) {
      return Status::Error(
          "slot " + std::to_string(slot) +
          " lies among the indicator boards' text slots (80 down to " +
          std::to_string(lowest) + ") but no cell names it" +
          (IsTextOnly(s) ? " and no station's stop could have taken its cell"
                         : " and it holds more than a text") +
          ": a compile gives board texts the slots from 80 down without a "
          "gap");
    }
    const std::int64_t c = stops[next_stop++];
    AddRow(out, RowKind::kIndicatorBoard, {ItemMetre(c)}, s.text);
    out->notes.push_back(
        {RowKind::kIndicatorBoard, ItemMetre(c),
         "the board with text slot " + std::to_string(slot) +
             " has no cell left, as when a station's stop mark took it: it "
             "is written at the stop's " +
             CellText(c)});
  }
  out->notes.push_back({RowKind::kIndicatorBoard, -1,
                        "each indicator board stands at the first metre of "
                        "its cell (the metre within the cell is not kept)"});
  return Status::Ok();
}

// The length row, checked against the cells and the grid.
Status CheckLength(const LoadedScenario& loaded, std::int64_t* last_cell) {
  const std::int64_t length = loaded.table[kGeneralSlot].long2;
  if (length > kMaxLineLength) {
    return Status::Error("the line length in slot 84 is " +
                         std::to_string(length) +
                         " m, above the 1000000 m a line may have");
  }
  const std::int64_t extended = length + kRunOut;
  *last_cell = RoundRatio(extended, kCellMetres);
  const std::int64_t cells = static_cast<std::int64_t>(loaded.cells.size());
  if (*last_cell < 0 || cells != *last_cell + 1) {
    return Status::Error(
        "the cell file has " + std::to_string(cells) +
        " cells, but a line of " + std::to_string(length) + " m has " +
        std::to_string(std::max<std::int64_t>(*last_cell + 1, 0)) +
        " (one every 50 m up to 7000 m past its end): the files belong to "
        "different scenarios");
  }
  return Status::Ok();
}

}  // namespace

Status RecoverLineRows(const LoadedScenario& loaded,
                       RecoveredDescription* line) {
  const ParamTable& t = loaded.table;
  std::int64_t last_cell = 0;
  Status status = CheckLength(loaded, &last_cell);
  if (!status.ok()) return status;

  RecoveredDescription out;
  AddRow(&out, RowKind::kLength, {t[kGeneralSlot].long2});
  status = RecoverKilometreRows(t, &out);
  if (!status.ok()) return status;
  // The second selector is stored after the third.
  AddRow(&out, RowKind::kSelectorUno, {t[kLineSlot].long1});
  AddRow(&out, RowKind::kSelectorDue, {t[kLineSlot].long3});
  AddRow(&out, RowKind::kSelectorTre, {t[kLineSlot].long2});
  status = RecoverRepetitionRow(t[kTrainSlot], &out);
  if (!status.ok()) return status;

  if (HasGrid(loaded)) {
    std::string packed;
    status =
        RecoverCurveRows(GridViewOf(loaded, &packed),
                         std::int64_t{t[kGeneralSlot].long2} + kRunOut, &out);
    if (!status.ok()) return status;
  } else {
    out.notes.push_back({RowKind::kCurve, -1,
                         "no line grid was given: no curve row is recovered, "
                         "and the plan of the descriptions runs straight"});
  }
  RecoverGradientRows(loaded.cells, last_cell, &out);
  RecoverMountainRows(loaded.cells, &out);
  TrainStopCells train_cells = TrainCellsUnderStopMarks(loaded);
  std::sort(train_cells.begin(), train_cells.end());
  RecoverSpeedBoardRows(loaded.cells, train_cells, &out);
  status = RecoverIndicatorRows(loaded, train_cells, &out);
  if (!status.ok()) return status;
  *line = std::move(out);
  return Status::Ok();
}

}  // namespace scenario
