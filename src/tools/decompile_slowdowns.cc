#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/decompile_train_parts.h"

namespace scenario {

namespace {

// A slowdown's warning board stands 24 cells (1200 m) before its start;
// its four pre-warning cells just below the board.
constexpr std::int64_t kWarningCells = 24;
// The last start cell of a slowdown without a warning point is 31 (metre
// 1500); a start in cell 31 may still lie past metre 1500 (up to 1524).
constexpr std::int64_t kLastStartWithoutWarning = 31;
constexpr std::int64_t kStartPastWarningLimit = 1510;

struct SlowdownCells {
  const std::vector<TrackCell>& cells;
  std::vector<bool> used;  // cells claimed by a slowdown found so far

  bool Has(std::int64_t i, std::uint8_t kind) const {
    return i >= 0 && i < static_cast<std::int64_t>(cells.size()) &&
           !used[static_cast<std::size_t>(i)] &&
           cells[static_cast<std::size_t>(i)].kind == kind;
  }
  const TrackCell& operator[](std::int64_t i) const {
    return cells[static_cast<std::size_t>(i)];
  }
  void Use(std::int64_t i) { used[static_cast<std::size_t>(i)] = true; }
};

// Start and end carry the same speed, d_v and f_tt.
bool SameWords(const TrackCell& a, const TrackCell& b) {
  return a.w2 == b.w2 && a.w4 == b.w4 && a.w6 == b.w6;
}

// The first end after start i that carries its words; -1 when none.
std::int64_t FindEnd(const SlowdownCells& cells, std::int64_t i) {
  for (std::int64_t e = i + 1;
       e < static_cast<std::int64_t>(cells.cells.size()); ++e) {
    if (cells.Has(e, kKindSlowdownEnd) && SameWords(cells[e], cells[i])) {
      return e;
    }
  }
  return -1;
}

// The four pre-warning cells below the warning board w, numbered 1 to 4
// going back; with d_v their w4 carries the number too.
bool HasPreWarnings(const SlowdownCells& cells, std::int64_t w,
                    bool numbered_w4) {
  for (int n = 1; n <= 4; ++n) {
    const std::int64_t h = w - n;
    if (!cells.Has(h, kKindPreWarning) || cells[h].w2 != n ||
        cells[h].w4 != (numbered_w4 ? n : 0)) {
      return false;
    }
  }
  return true;
}

std::string CellText(std::int64_t i) {
  return "cell " + std::to_string(i) + " (metre " + std::to_string(i * 50) +
         ")";
}

// The row of the slowdown starting in cell i, its cells claimed.
RecoveredRow SlowdownRow(SlowdownCells& cells, std::int64_t i,
                         std::vector<RecoveryNote>* notes) {
  const TrackCell& start = cells[i];
  cells.Use(i);
  std::int64_t x = (i - 1) * 50;
  std::int64_t length = 0;
  const std::int64_t e = FindEnd(cells, i);
  if (e >= 0) {
    cells.Use(e);
    length = (e - i) * 50;
  } else {
    notes->push_back({RowKind::kSlowdown, x,
                      "no end cell follows this slowdown's start: it is "
                      "written with length 0, its end in its start's cell"});
  }
  const std::int64_t w = i - kWarningCells;
  std::int64_t d_v = start.w4;
  std::int64_t f_ta = 0;
  const bool warned = cells.Has(w, kKindWarningBoard) &&
                      cells[w].w2 == start.w2 && cells[w].w4 == start.w4;
  if (i > kLastStartWithoutWarning ||
      (i == kLastStartWithoutWarning && warned)) {
    if (i == kLastStartWithoutWarning) {
      x = kStartPastWarningLimit;
      notes->push_back({RowKind::kSlowdown, x,
                        "this slowdown's start cell holds metres 1475 to "
                        "1525 and it has a warning board, so it starts "
                        "past metre 1500: written at 1510"});
    }
    if (warned) cells.Use(w);
    // d_v of a multiple of 65536 leaves w4 0 but numbers the pre-warnings
    // twice.
    const bool d_v_hidden = d_v == 0 && HasPreWarnings(cells, w, true);
    if (d_v_hidden) d_v = 65536;
    if (HasPreWarnings(cells, w, d_v != 0)) {
      f_ta = 1;
      for (int n = 1; n <= 4; ++n) cells.Use(w - n);
    }
  }
  return TrainRow(RowKind::kSlowdown,
                  {x, start.w2, length, start.w6, f_ta, d_v});
}

}  // namespace

Status RecoverSlowdowns(const std::vector<TrackCell>& cells,
                        std::vector<RecoveredRow>* rows,
                        std::vector<RecoveryNote>* notes) {
  SlowdownCells slowdowns{cells, std::vector<bool>(cells.size(), false)};
  std::vector<RecoveredRow> found;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].kind != kKindSlowdownStart) continue;
    found.push_back(
        SlowdownRow(slowdowns, static_cast<std::int64_t>(i), notes));
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::uint8_t kind = cells[i].kind;
    if (slowdowns.used[i] ||
        (kind != kKindSlowdownEnd && kind != kKindWarningBoard &&
         kind != kKindPreWarning)) {
      continue;
    }
    const char* what = kind == kKindSlowdownEnd    ? "a slowdown end"
                       : kind == kKindWarningBoard ? "a slowdown warning board"
                                                   : "a pre-warning cell";
    return Status::Error(
        "the cell file's " + CellText(static_cast<std::int64_t>(i)) +
        " holds " + what +
        " that belongs to no slowdown start (with the same speed and values "
        "at its place) and so no slowdown row gives");
  }
  if (!found.empty()) {
    notes->push_back({RowKind::kSlowdown, -1,
                      "slowdowns are written at their start cell's metre, "
                      "(cell - 1) x 50, with lengths in whole cells: the "
                      "metres within the 50 m cells are not kept"});
  }
  rows->insert(rows->end(), found.begin(), found.end());
  return Status::Ok();
}

}  // namespace scenario
