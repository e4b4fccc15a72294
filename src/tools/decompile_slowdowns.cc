#include <algorithm>
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

// The words a slowdown writes into one of its cells; w2 and w6 are left
// unchecked where the cell does not carry them.
struct Words {
  std::int64_t w2 = 0;
  bool check_w2 = true;
  std::int64_t w4 = 0;
  std::int64_t w6 = 0;
};

// The cells, and which of them the slowdowns found so far have claimed. A
// station's stop mark written after a slowdown covers one of its cells
// and keeps all its words but w2: such a cell still counts, and the
// slowdown must then be read before that station.
class SlowdownCells {
 public:
  explicit SlowdownCells(const std::vector<TrackCell>& cells)
      : cells_(cells), used_(cells.size(), false) {}

  std::int64_t size() const { return static_cast<std::int64_t>(used_.size()); }
  bool used(std::int64_t i) const { return used_[static_cast<std::size_t>(i)]; }
  const TrackCell& operator[](std::int64_t i) const {
    return cells_[static_cast<std::size_t>(i)];
  }

  // Cell i, unclaimed, holds kind with the words, or a stop mark over
  // them.
  bool Holds(std::int64_t i, std::uint8_t kind, const Words& w) const {
    if (i < 0 || i >= size() || used(i)) return false;
    const TrackCell& c = (*this)[i];
    if (c.w4 != w.w4 || c.w6 != w.w6 || c.w8 != 0 || c.b10 != 0) return false;
    if (c.kind == kKindStopMark) return true;
    return c.kind == kind && (!w.check_w2 || c.w2 == w.w2);
  }
  bool IsStopMark(std::int64_t i) const {
    return i >= 0 && i < size() && (*this)[i].kind == kKindStopMark;
  }
  // Claims cell i for the slowdown being found; a stop mark there orders
  // the slowdown before its station.
  void Use(std::int64_t i, MarkedRow* slowdown) {
    used_[static_cast<std::size_t>(i)] = true;
    if (IsStopMark(i)) {
      const std::int64_t slot = (*this)[i].w2;
      if (slowdown->before_station == 0 || slot < slowdown->before_station) {
        slowdown->before_station = slot;
      }
      slowdown->under_stop_marks.push_back(i);
    }
  }

 private:
  const std::vector<TrackCell>& cells_;
  std::vector<bool> used_;
};

// The first cell after start i that holds its end: a real end first, else
// one under a stop mark; -1 when none.
std::int64_t FindEnd(const SlowdownCells& cells, std::int64_t i,
                     const Words& start) {
  std::int64_t covered = -1;
  for (std::int64_t e = i + 1; e < cells.size(); ++e) {
    if (!cells.Holds(e, kKindSlowdownEnd, start)) continue;
    if (!cells.IsStopMark(e)) return e;
    if (covered < 0) covered = e;
  }
  return covered;
}

// The four pre-warning cells below the warning board w, numbered 1 to 4
// going back, at least one of them not under a stop mark; with d_v their
// w4 carries the number too.
bool HasPreWarnings(const SlowdownCells& cells, std::int64_t w,
                    bool numbered_w4) {
  bool seen = false;
  for (int n = 1; n <= 4; ++n) {
    if (!cells.Holds(w - n, kKindPreWarning,
                     {n, true, numbered_w4 ? n : 0, 0})) {
      return false;
    }
    seen = seen || !cells.IsStopMark(w - n);
  }
  return seen;
}

std::string CellText(std::int64_t i) {
  return "cell " + std::to_string(i) + " (metre " + std::to_string(i * 50) +
         ")";
}

// The warning board, pre-warning cells and d_v of a slowdown starting in
// cell i that lies past metre 1500; *x moves past 1500 for cell 31.
void FindWarning(SlowdownCells& cells, std::int64_t i, const Words& start,
                 MarkedRow* slowdown, std::int64_t* x, std::int64_t* f_ta,
                 std::int64_t* d_v, std::vector<RecoveryNote>* notes) {
  const std::int64_t w = i - kWarningCells;
  const Words warning{start.w2, true, start.w4, 0};
  const bool warned = cells.Holds(w, kKindWarningBoard, warning);
  if (i < kLastStartWithoutWarning) return;
  if (i == kLastStartWithoutWarning) {
    if (!warned || cells.IsStopMark(w)) return;
    *x = kStartPastWarningLimit;
    notes->push_back({RowKind::kSlowdown, *x,
                      "this slowdown's start cell holds metres 1475 to 1525 "
                      "and it has a warning board, so it starts past metre "
                      "1500: written at 1510"});
  }
  if (warned) cells.Use(w, slowdown);
  // d_v of a multiple of 65536 leaves w4 0 but numbers the pre-warnings
  // twice.
  if (*d_v == 0 && HasPreWarnings(cells, w, true)) *d_v = 65536;
  if (HasPreWarnings(cells, w, *d_v != 0)) {
    *f_ta = 1;
    for (int n = 1; n <= 4; ++n) cells.Use(w - n, slowdown);
  }
}

// The row of the slowdown starting in cell i (e its end when known), its
// cells claimed.
MarkedRow SlowdownRow(SlowdownCells& cells, std::int64_t i, std::int64_t e,
                      const Words& start, std::vector<RecoveryNote>* notes) {
  MarkedRow slowdown;
  slowdown.key = i;
  cells.Use(i, &slowdown);
  std::int64_t x = (i - 1) * 50;
  std::int64_t length = 0;
  if (e >= 0) {
    cells.Use(e, &slowdown);
    length = (e - i) * 50;
  } else {
    notes->push_back({RowKind::kSlowdown, x,
                      "no end cell follows this slowdown's start: it is "
                      "written with length 0, its end in its start's cell"});
  }
  std::int64_t f_ta = 0;
  std::int64_t d_v = start.w4;
  FindWarning(cells, i, start, &slowdown, &x, &f_ta, &d_v, notes);
  slowdown.row =
      TrainRow(RowKind::kSlowdown, {x, start.w2, length, start.w6, f_ta, d_v});
  if (slowdown.before_station != 0) {
    notes->push_back({RowKind::kSlowdown, x,
                      "a station's stop mark stands over a cell of this "
                      "slowdown: the slowdown is written before that "
                      "station"});
  }
  return slowdown;
}

// An end left over once every start has found its own: its start stands
// under a stop mark, the nearest before it that kept the end's words.
std::int64_t FindCoveredStart(const SlowdownCells& cells, std::int64_t e) {
  const TrackCell& end = cells[e];
  for (std::int64_t i = e - 1; i >= 0; --i) {
    if (cells.IsStopMark(i) &&
        cells.Holds(i, kKindSlowdownStart, {end.w2, false, end.w4, end.w6})) {
      return i;
    }
  }
  return -1;
}

Status Leftover(const SlowdownCells& cells) {
  for (std::int64_t i = 0; i < cells.size(); ++i) {
    const std::uint8_t kind = cells[i].kind;
    if (cells.used(i) ||
        (kind != kKindSlowdownEnd && kind != kKindWarningBoard &&
         kind != kKindPreWarning)) {
      continue;
    }
    const char* what = kind == kKindSlowdownEnd    ? "a slowdown end"
                       : kind == kKindWarningBoard ? "a slowdown warning board"
                                                   : "a pre-warning cell";
    return Status::Error("the cell file's " + CellText(i) + " holds " + what +
                         " that belongs to no slowdown start (with the same "
                         "speed and values at its place) and so no slowdown "
                         "row gives");
  }
  return Status::Ok();
}

}  // namespace

Status RecoverSlowdowns(const std::vector<TrackCell>& cells,
                        std::vector<MarkedRow>* slowdowns,
                        std::vector<RecoveryNote>* notes) {
  SlowdownCells claimed(cells);
  std::vector<MarkedRow> found;
  for (std::int64_t i = 0; i < claimed.size(); ++i) {
    if (claimed[i].kind != kKindSlowdownStart) continue;
    const Words start{claimed[i].w2, true, claimed[i].w4, claimed[i].w6};
    found.push_back(
        SlowdownRow(claimed, i, FindEnd(claimed, i, start), start, notes));
  }
  for (std::int64_t e = 0; e < claimed.size(); ++e) {
    if (claimed.used(e) || claimed[e].kind != kKindSlowdownEnd) continue;
    const std::int64_t i = FindCoveredStart(claimed, e);
    if (i < 0) continue;
    const Words start{claimed[e].w2, true, claimed[e].w4, claimed[e].w6};
    found.push_back(SlowdownRow(claimed, i, e, start, notes));
  }
  // A warning board left over: its start (of length 0, or with its end
  // also covered) stands under the stop mark 24 cells on.
  for (std::int64_t w = 0; w < claimed.size(); ++w) {
    if (claimed.used(w) || claimed[w].kind != kKindWarningBoard) continue;
    const std::int64_t i = w + kWarningCells;
    if (!claimed.IsStopMark(i)) continue;
    const Words start{claimed[w].w2, true, claimed[w].w4, claimed[i].w6};
    if (!claimed.Holds(i, kKindSlowdownStart, start)) continue;
    found.push_back(
        SlowdownRow(claimed, i, FindEnd(claimed, i, start), start, notes));
  }
  if (Status left = Leftover(claimed); !left.ok()) return left;
  std::sort(
      found.begin(), found.end(),
      [](const MarkedRow& a, const MarkedRow& b) { return a.key < b.key; });
  if (!found.empty()) {
    notes->push_back({RowKind::kSlowdown, -1,
                      "slowdowns are written at their start cell's metre, "
                      "(cell - 1) x 50, with lengths in whole cells: the "
                      "metres within the 50 m cells are not kept"});
  }
  slowdowns->insert(slowdowns->end(), found.begin(), found.end());
  return Status::Ok();
}

}  // namespace scenario
