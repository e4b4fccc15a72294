#include <cstddef>
#include <cstdint>
#include <vector>

#include "compile/post_pass.h"
#include "model/scenario.h"
#include "tools/decompile_train_parts.h"

namespace scenario {

namespace {

// The code of every mark the post-pass places.
constexpr std::int16_t kPassCode = 180;
// Each repair turns one mark the trial took for the post-pass's into a row
// and runs the trial again; a compiled file needs few, if any.
constexpr int kMaxRepairs = 100;

bool IsCandidate(const TrackCell& c) {
  return c.kind == kKindCodeMark && c.w2 == kPassCode;
}

// The post-pass run on the cells as they stood before it: every code mark
// of 180 not taken for a row is freed (the pass sets only a mark's kind and
// code, so the cell was free with code 0 before), everything else stays.
std::vector<TrackCell> TrialPass(const std::vector<TrackCell>& cells,
                                 const std::vector<bool>& row) {
  Scenario s;
  s.last_cell = static_cast<std::int32_t>(cells.size() - 1);
  s.track_cells.Create(s.last_cell);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    TrackCell c = cells[i];
    if (IsCandidate(c) && !row[i]) {
      c.kind = kKindNone;
      c.w2 = 0;
    }
    s.track_cells[static_cast<std::int64_t>(i)] = c;
  }
  ApplySignalCodePass(s);
  return s.track_cells.cells();
}

// The first cell where the trial's marks differ from the files; -1 when
// none does.
std::int64_t FirstDifference(const std::vector<TrackCell>& cells,
                             const std::vector<TrackCell>& trial) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (trial[i].kind != cells[i].kind || trial[i].w2 != cells[i].w2) {
      // A mark of 180 the trial left free is a row: not a difference.
      if (IsCandidate(cells[i]) && trial[i].kind == kKindNone) continue;
      return static_cast<std::int64_t>(i);
    }
  }
  return -1;
}

// The mark to take for a row when the trial marked cell `wrong`, which the
// files leave without: the nearest mark of 180 below it that the trial
// took for the post-pass's (an author's row of 180 there moved the pass's
// own mark on). -1 when there is none.
std::int64_t MarkToKeep(const std::vector<TrackCell>& cells,
                        const std::vector<TrackCell>& trial,
                        const std::vector<bool>& row, std::int64_t wrong) {
  for (std::int64_t j = wrong - 1; j >= 0; --j) {
    const std::size_t at = static_cast<std::size_t>(j);
    if (IsCandidate(cells[at]) && !row[at] && trial[at].kind == kKindCodeMark) {
      return j;
    }
  }
  return -1;
}

}  // namespace

void RecoverCodeChanges(const std::vector<TrackCell>& cells,
                        std::vector<RecoveredRow>* rows,
                        std::vector<RecoveryNote>* notes) {
  std::vector<bool> row(cells.size(), false);
  std::vector<TrackCell> trial = TrialPass(cells, row);
  for (int repair = 0; repair < kMaxRepairs; ++repair) {
    const std::int64_t wrong = FirstDifference(cells, trial);
    if (wrong < 0) break;
    const std::int64_t keep = MarkToKeep(cells, trial, row, wrong);
    if (keep < 0) break;
    row[static_cast<std::size_t>(keep)] = true;
    trial = TrialPass(cells, row);
  }
  bool pass_own = false;
  bool any = false;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& c = cells[i];
    const std::int64_t position = static_cast<std::int64_t>(i) * 50;
    if (c.kind == kKindCodeOff) {
      rows->push_back(TrainRow(RowKind::kCodeChange, {position, 0}));
      any = true;
    } else if (c.kind == kKindCodeMark) {
      if (IsCandidate(c) && !row[i] && trial[i].kind == kKindCodeMark) {
        pass_own = true;
        continue;
      }
      // A code whose low 16 bits are 0 or negative still makes a code
      // mark when the row's code is above 0.
      const std::int64_t code = c.w2 > 0 ? c.w2 : c.w2 + 65536;
      rows->push_back(TrainRow(RowKind::kCodeChange, {position, code}));
      any = true;
    }
  }
  if (any) {
    notes->push_back({RowKind::kCodeChange, -1,
                      "code changes are written at their cell's metre, "
                      "cell x 50: the metre within the 50 m cell is not "
                      "kept"});
  }
  if (pass_own) {
    notes->push_back(
        {RowKind::kCodeChange, -1,
         "code marks of 180 where the signal-code post-pass places its own "
         "are taken for the post-pass's and written as no row: a code change "
         "of 180 (or above, which the pass lowers) there gives the same "
         "bytes"});
  }
}

}  // namespace scenario
