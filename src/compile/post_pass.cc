#include "compile/post_pass.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "model/cell_origins.h"
#include "model/errors.h"
#include "model/track_cells.h"

namespace scenario {

namespace {

// The code value of every mark this pass places.
constexpr std::int16_t kPassCode = 180;

// The cells the pass may look at: 0 to last_cell, and only those that
// exist. Every test of a cell goes through here, so the pass never reads or
// writes outside the array: a cell outside is never free and has no kind.
class PassCells {
 public:
  explicit PassCells(Scenario& s)
      : cells_(s.track_cells),
        origins_(s.cell_origins),
        last_(std::min<std::int64_t>(s.last_cell, cells_.size() - 1)) {}

  std::int64_t last() const { return last_; }
  bool Inside(std::int64_t n) const { return n >= 0 && n <= last_; }
  bool Free(std::int64_t n) const { return Inside(n) && IsFree(cells_[n]); }
  bool KindIs(std::int64_t n, std::uint8_t kind) const {
    return Inside(n) && cells_[n].kind == kind;
  }
  // Marking: kind 12 with code 180; the other fields stay. The mark takes
  // the row of the item in cause that it was placed for.
  // REQUIRES: Inside(n).
  void Mark(std::int64_t n, std::int64_t cause) {
    cells_[n].kind = kKindCodeMark;
    cells_[n].w2 = kPassCode;
    origins_.NoteMarkFor(n, cause);
  }
  TrackCell& operator[](std::int64_t n) { return cells_[n]; }

 private:
  TrackCells& cells_;
  CellOrigins& origins_;
  std::int64_t last_;
};

// Error positions are cell index x 50 metres.
std::int32_t CellMetres(std::int64_t n) {
  return static_cast<std::int32_t>(n * 50);
}

void Record(Scenario& s, std::int32_t code, std::int64_t cell) {
  s.errors.Record(code, CellMetres(cell), {});
}

// A: every signal among the 20 cells below a warning board at i gets a
// code mark in one of the two cells below it, or an existing mark there
// is lowered to 180.
void MarkSignalsBeforeWarning(Scenario& s, PassCells& cells, std::int64_t i) {
  for (std::int64_t n = 1; n <= 20; ++n) {
    const std::int64_t sig = i - n;
    if (sig < 3) break;
    if (!cells.KindIs(sig, kKindSignal)) continue;
    const std::int64_t a = sig - 1;
    const std::int64_t b = sig - 2;
    if (cells.Free(a)) {
      cells.Mark(a, sig);
    } else if (cells.Free(b)) {
      cells.Mark(b, sig);
    } else if (cells.KindIs(a, kKindCodeMark)) {
      cells[a].w2 = static_cast<std::int16_t>(minimo(kPassCode, cells[a].w2));
    } else if (cells.KindIs(b, kKindCodeMark)) {
      cells[b].w2 = static_cast<std::int16_t>(minimo(kPassCode, cells[b].w2));
    } else {
      Record(s, kCodeSignalCodeMark, sig);
    }
  }
}

// B1-B3: the first free cell of i - first, i - first - 1, i - first - 2.
// Deliberate: an existing code mark counts as taken here.
void MarkGroupBeforeStart(Scenario& s, PassCells& cells, std::int64_t i,
                          std::int64_t first) {
  for (std::int64_t n = i - first; n >= i - first - 2; --n) {
    if (cells.Free(n)) {
      cells.Mark(n, i);
      return;
    }
  }
  Record(s, kCodeSlowdownStartMark, i);
}

// B4: walks from a slow slowdown's start at i to its end cell (kind 2),
// marking every 8th cell counted from the last mark. Returns the end cell,
// or nothing when the walk reached last_cell without meeting one.
std::optional<std::int64_t> WalkSlowdown(Scenario& s, PassCells& cells,
                                         std::int64_t i) {
  std::int64_t k = 0;
  std::int64_t n = i;
  for (;;) {
    ++n;
    ++k;
    if (k == 8) {
      // The values 0, 1 and -1 keep the spacing at 8 cells from the cell
      // actually marked. After a failure k stays 8 and keeps growing, so
      // the walk places no further marks.
      if (cells.Free(n)) {
        cells.Mark(n, i);
        k = 0;
      } else if (cells.Free(n - 1)) {
        cells.Mark(n - 1, i);
        k = 1;
      } else if (cells.Free(n + 1)) {
        cells.Mark(n + 1, i);
        k = -1;
      } else {
        Record(s, kCodeSlowdownWalkMark, n);
      }
    }
    // Deliberate: the end test follows the marking step, so the end cell
    // takes part in the count.
    if (cells.KindIs(n, kKindSlowdownEnd)) return n;
    if (n >= cells.last()) return std::nullopt;
  }
}

// The end cell of a slowdown whose walk is skipped: the first kind-2 cell
// after i, up to last_cell.
std::optional<std::int64_t> FindSlowdownEnd(const PassCells& cells,
                                            std::int64_t i) {
  for (std::int64_t n = i + 1; n <= cells.last(); ++n) {
    if (cells.KindIs(n, kKindSlowdownEnd)) return n;
  }
  return std::nullopt;
}

// B5: a code mark right before the first signal within 12 cells after the
// slowdown's end cell n (or in the cell below that).
void MarkSignalAfterEnd(Scenario& s, PassCells& cells, std::int64_t n) {
  std::int64_t k = 0;
  const std::int64_t last = std::min(n + 12, cells.last());
  for (std::int64_t m = n; m <= last; ++m) {
    if (cells.KindIs(m, kKindSignal)) {
      k = m - 1;
      break;
    }
  }
  if (k <= 0) return;
  if (cells.Free(k)) {
    cells.Mark(k, n);
  } else if (cells.Free(k - 1)) {
    cells.Mark(k - 1, n);
  } else {
    // Deliberate: the position is the end cell's, not the signal's.
    Record(s, kCodeSlowdownWalkMark, n);
  }
}

void MarkAroundSlowdown(Scenario& s, PassCells& cells, std::int64_t i) {
  if (i > 7) MarkGroupBeforeStart(s, cells, i, 5);
  if (i > 13) MarkGroupBeforeStart(s, cells, i, 11);
  if (i > 20) MarkGroupBeforeStart(s, cells, i, 18);

  std::optional<std::int64_t> end;
  // The slowdown's speed, compared as a signed 16-bit number.
  if (cells[i].w2 < 110) {
    end = WalkSlowdown(s, cells, i);
  } else {
    end = FindSlowdownEnd(cells, i);
  }
  if (end) MarkSignalAfterEnd(s, cells, *end);
}

}  // namespace

void ApplySignalCodePass(Scenario& s) {
  if (!s.track_cells.exists()) return;
  PassCells cells(s);
  // A only changes cells below i, so B sees the kind the readers gave
  // cell i. Marks placed ahead of i are kind 12 when i reaches them and
  // trigger nothing.
  for (std::int64_t i = 1; i <= cells.last() - 2; ++i) {
    if (cells[i].kind == kKindWarningBoard) {
      MarkSignalsBeforeWarning(s, cells, i);
    } else if (cells[i].kind == kKindSlowdownStart) {
      MarkAroundSlowdown(s, cells, i);
    }
  }
}

}  // namespace scenario
