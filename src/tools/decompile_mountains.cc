#include "tools/decompile_mountains.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "line/read_log.h"

namespace scenario {

namespace {

constexpr std::int64_t kCellMetres = 50;
// A stretch that begins at most this far after the row before it ends
// becomes type 3.
constexpr std::int64_t kJoinMetres = 150;
constexpr std::uint8_t kJoinedType = 3;
// A marked stretch marks its 4th, 8th, ... cell.
constexpr std::int64_t kMarkEvery = 4;
// A tipo above this means a marked stretch of type tipo - 10.
constexpr std::int64_t kMarkedTipo = 10;
// The rows a line takes.
constexpr std::size_t kMaxRows = 80;

bool HasMark(const TrackCell& c) { return c.kind == kKindMountainMark; }
// A cell whose item may have taken the place of a mark.
bool MayHideMark(const TrackCell& c) {
  return c.kind != kKindNone && c.kind != kKindMountainMark;
}

// One row to write, in cells: first to last get mountain byte `type`.
struct Stretch {
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::uint8_t type = 0;
  bool marked = false;
};

// The tipo that gives `type` (its low 8 bits), with marks or without.
std::int64_t Tipo(std::uint8_t type, bool marked) {
  if (marked) return type == 0 ? 256 + kMarkedTipo : type + kMarkedTipo;
  return type <= kMarkedTipo ? type : type - 256;
}

std::string Metres(std::int64_t m) { return std::to_string(m) + " m"; }

// Writes stretches as rows in the order given, with a stretch that marks
// no cell before any stretch that the 150 m rule would turn into type 3.
class MountainRows {
 public:
  explicit MountainRows(RecoveredDescription* line) : line_(line) {}

  void Add(const Stretch& s, const std::string& note = "") {
    const std::int64_t inizio = s.first * kCellMetres;
    const std::int64_t fine = (s.last + 1) * kCellMetres;
    if (s.type != kJoinedType && previous_fine_ &&
        inizio - *previous_fine_ <= kJoinMetres) {
      AddRow(kSpacer, kSpacer, 0);
      line_->notes.push_back(
          {RowKind::kMountain, inizio,
           "a stretch that marks no cell (" + Metres(kSpacer) + " to " +
               Metres(kSpacer) + ") stands before the stretch from " +
               Metres(inizio) + " so that it keeps type " +
               std::to_string(s.type) +
               ": a stretch that begins at most 150 m after the row before "
               "it ends becomes type 3"});
    }
    AddRow(inizio, fine, Tipo(s.type, s.marked));
    if (!note.empty()) {
      line_->notes.push_back({RowKind::kMountain, inizio, note});
    }
  }
  std::size_t count() const { return count_; }

 private:
  // Ends before any cell, so that the next stretch begins far after it.
  static constexpr std::int64_t kSpacer = -200;

  void AddRow(std::int64_t inizio, std::int64_t fine, std::int64_t tipo) {
    RecoveredRow row;
    row.kind = RowKind::kMountain;
    row.keyword = std::string(RowKindKeyword(RowKind::kMountain));
    row.numbers = {inizio, fine, tipo};
    line_->rows.push_back(std::move(row));
    previous_fine_ = fine;
    ++count_;
  }

  RecoveredDescription* line_;
  std::optional<std::int64_t> previous_fine_;
  std::size_t count_ = 0;
};

// The runs of cells with one non-zero mountain byte.
std::vector<Stretch> Runs(const std::vector<TrackCell>& cells) {
  std::vector<Stretch> runs;
  const std::int64_t n = static_cast<std::int64_t>(cells.size());
  for (std::int64_t c = 0; c < n; ++c) {
    if (cells[c].mountain == 0) continue;
    std::int64_t d = c;
    while (d + 1 < n && cells[d + 1].mountain == cells[c].mountain) ++d;
    runs.push_back({c, d, cells[c].mountain, false});
    c = d;
  }
  return runs;
}

// True when the run's marks are the ones its own row gives: a mark on no
// cell but its 4th, 8th, ..., and on each of those unless an item holds
// it. *marked tells whether the row is to mark; false when the run's
// marks are not its own.
bool MarksFollowRun(const std::vector<TrackCell>& cells, const Stretch& run,
                    bool* marked) {
  *marked = false;
  bool any = false;
  for (std::int64_t c = run.first; c <= run.last; ++c) {
    const bool due = (c - run.first) % kMarkEvery == kMarkEvery - 1;
    if (HasMark(cells[c])) {
      if (!due) return false;
      any = true;
    }
  }
  // A run whose every 4th cell holds an item either way is left unmarked.
  if (!any) return true;
  for (std::int64_t c = run.first + kMarkEvery - 1; c <= run.last;
       c += kMarkEvery) {
    if (!HasMark(cells[c]) && !MayHideMark(cells[c])) return false;
  }
  *marked = true;
  return true;
}

// Marked type-3 stretches that give the marks (cells, ascending): one per
// chain of marks 4 cells apart, whose cells between hold items.
std::vector<Stretch> Carriers(const std::vector<TrackCell>& cells,
                              const std::vector<std::int64_t>& marks,
                              RecoveredDescription* line) {
  std::vector<Stretch> carriers;
  for (std::int64_t phase = 0; phase < kMarkEvery; ++phase) {
    std::optional<Stretch> chain;
    auto close = [&] {
      if (!chain) return;
      if (chain->first < kMarkEvery - 1) {
        line->notes.push_back(
            {RowKind::kMountain, chain->first * kCellMetres,
             "the mountain-side mark in cell " + std::to_string(chain->first) +
                 " comes from no stretch: a stretch's first mark is its 4th "
                 "cell; it is left out"});
      } else {
        chain->first -= kMarkEvery - 1;
        carriers.push_back(*chain);
      }
      chain.reset();
    };
    for (std::int64_t m : marks) {
      if (m % kMarkEvery != phase) continue;
      bool joins = chain.has_value();
      for (std::int64_t c = chain ? chain->last + kMarkEvery : m;
           joins && c < m; c += kMarkEvery) {
        joins = MayHideMark(cells[c]);
      }
      if (joins) {
        chain->last = m;
      } else {
        close();
        chain = Stretch{m, m, kJoinedType, true};
      }
    }
    close();
  }
  std::sort(
      carriers.begin(), carriers.end(),
      [](const Stretch& a, const Stretch& b) { return a.first < b.first; });
  return carriers;
}

// Stretches of type 0 over the cells of the overwritten stretches that
// have no mountain byte, so that their bytes are all overwritten.
std::vector<Stretch> ClearedCells(const std::vector<TrackCell>& cells,
                                  const std::vector<Stretch>& overwritten) {
  std::vector<bool> covered(cells.size(), false);
  for (const Stretch& c : overwritten) {
    for (std::int64_t i = c.first; i <= c.last; ++i) covered[i] = true;
  }
  std::vector<Stretch> cleared;
  const std::int64_t n = static_cast<std::int64_t>(cells.size());
  for (std::int64_t i = 0; i < n; ++i) {
    if (!covered[i] || cells[i].mountain != 0) continue;
    std::int64_t j = i;
    while (j + 1 < n && covered[j + 1] && cells[j + 1].mountain == 0) ++j;
    cleared.push_back({i, j, 0, false});
    i = j;
  }
  return cleared;
}

// The stretches to write, in three groups written in this order: the
// carriers of the marks, the tails, and the rest (runs and cleared cells,
// ascending), which overwrite the first two where they differ.
struct MountainPlan {
  std::vector<Stretch> carriers;
  std::vector<Stretch> tails;
  std::vector<Stretch> stretches;
};

// A row's start lies at least 100 m below the cell array's end. A run that
// begins past that is what remains of a stretch that another overwrote:
// it is written as a tail from the last cell a row may start at, before
// the runs whose rows then overwrite its start.
MountainPlan PlanStretches(const std::vector<TrackCell>& cells,
                           std::int64_t last_start,
                           RecoveredDescription* line) {
  MountainPlan plan;
  std::vector<bool> explained(cells.size(), false);
  for (Stretch& run : Runs(cells)) {
    if (run.first > last_start) {
      // An array too short for any row keeps its tail as it is.
      if (last_start >= 0) {
        plan.tails.push_back({last_start, run.last, run.type, false});
      }
      continue;
    }
    plan.stretches.push_back(run);
    if (!MarksFollowRun(cells, run, &plan.stretches.back().marked)) continue;
    for (std::int64_t c = run.first; c <= run.last; ++c) explained[c] = true;
  }
  std::vector<std::int64_t> loose_marks;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    if (HasMark(cells[c]) && !explained[c]) {
      loose_marks.push_back(static_cast<std::int64_t>(c));
    }
  }
  plan.carriers = Carriers(cells, loose_marks, line);
  std::vector<Stretch> overwritten = plan.carriers;
  overwritten.insert(overwritten.end(), plan.tails.begin(), plan.tails.end());
  for (const Stretch& s : ClearedCells(cells, overwritten)) {
    plan.stretches.push_back(s);
  }
  std::sort(
      plan.stretches.begin(), plan.stretches.end(),
      [](const Stretch& a, const Stretch& b) { return a.first < b.first; });
  return plan;
}

}  // namespace

void RecoverMountainRows(const std::vector<TrackCell>& cells,
                         RecoveredDescription* line) {
  const std::int64_t last_start = static_cast<std::int64_t>(cells.size()) - 3;
  const MountainPlan plan = PlanStretches(cells, last_start, line);
  MountainRows rows(line);
  for (const Stretch& c : plan.carriers) {
    rows.Add(c, "mountain-side marks from cell " + std::to_string(c.first + 3) +
                    " to cell " + std::to_string(c.last) +
                    " that no single stretch gives are written by a marked "
                    "type-3 stretch, which the stretches after it overwrite");
  }
  for (const Stretch& t : plan.tails) {
    rows.Add(t, "the mountain side near the cell array's end, up to cell " +
                    std::to_string(t.last) +
                    ", is written from the last cell a row may start at; the "
                    "stretches after it overwrite its start");
  }
  for (const Stretch& s : plan.stretches) {
    if (s.first <= last_start) {
      rows.Add(s);
      continue;
    }
    line->notes.push_back(
        {RowKind::kMountain, s.first * kCellMetres,
         "cells " + std::to_string(s.first) + " to " + std::to_string(s.last) +
             " are left without a mountain side, where no row may start"});
  }
  if (rows.count() > 0) {
    line->notes.push_back(
        {RowKind::kMountain, -1,
         "each run of cells of one mountain-side type is written as one "
         "stretch, from the first metre of its first cell to the first metre "
         "after its last (the metres within a cell are not kept): touching "
         "or overlapping stretches of one type read as one"});
  }
  if (rows.count() > kMaxRows) {
    line->notes.push_back(
        {RowKind::kMountain, -1,
         std::to_string(rows.count()) +
             " mountain-side rows are needed, more than the 80 a line "
             "description takes"});
  }
}

}  // namespace scenario
