#include "train/train_placement.h"

#include <cstdint>
#include <optional>

#include "model/errors.h"
#include "model/narrowing.h"
#include "model/rounding.h"
#include "model/track_cells.h"

namespace scenario {

std::optional<std::int64_t> memo_segnale(Scenario& s, std::int32_t posizione,
                                         std::int32_t sx, std::int32_t s1,
                                         std::int32_t s2, std::int32_t s3,
                                         std::int32_t rapp, std::int32_t dx,
                                         std::int32_t d1, std::int32_t d2,
                                         std::int32_t d3, std::int32_t& tempo,
                                         const SourceSpot& where) {
  TrackCells& cells = s.track_cells;
  const std::int64_t i = ItemCell(posizione);
  TrackCell& cell = cells.At(i);
  if (!IsFree(cell)) {
    s.errors.error_code = kCodeSignalTaken;
    return i;
  }
  // The products are exact in 64 bits; only the stored low bits matter.
  const std::int64_t types = std::int64_t{sx} * 3 + dx;
  cell.kind = kKindSignal;
  // Noted before the look-back marks, which may fault.
  s.cell_origins.Note(i, "the signal", posizione, where);
  cell.w8 = LowWord(std::int64_t{rapp} * 10 + types);
  cell.w2 = LowWord(std::int64_t{s1} * 10 + d1);
  cell.w4 = LowWord(std::int64_t{s2} * 10 + d2);
  cell.w6 = LowWord(std::int64_t{s3} * 10 + d3);

  // Deliberate: a time of 1 to 100 is raised to 101 (and the caller sees
  // the raised value); 0 means "no time".
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  cell.b10 = sx == 2 ? LowByte(tempo) : 0;

  // Look-back marks, nearest first. A cell below 0 faults here, after the
  // marks before it were written.
  for (int j = 1; j <= 4; ++j) {
    cells.At(i - 2 * j).b11 = LowByte(types * 10 + j);
  }
  return std::nullopt;
}

std::optional<std::int64_t> memo_rallentamento(Scenario& s, std::int32_t x,
                                               std::int32_t v, std::int32_t l,
                                               std::int32_t f_tt,
                                               std::int32_t f_ta,
                                               std::int32_t d_v,
                                               const SourceSpot& where) {
  TrackCells& cells = s.track_cells;
  // Only a slowdown that starts after metre 1500 has a warning point,
  // 1200 m before its start.
  const bool has_warning = x > 1500;
  const std::int64_t w = ItemCell(std::int64_t{x} - 1200);
  if (has_warning) {
    if (!IsFree(cells.At(w))) {
      s.errors.error_code = kCodeWarningTaken;
      return w;
    }
  } else {
    f_ta = 0;
  }
  const std::int64_t start = ItemCell(x);
  if (!IsFree(cells.At(start))) {
    s.errors.error_code = kCodeSlowdownStartTaken;
    return start;
  }
  const std::int64_t end = ItemCell(std::int64_t{x} + l);
  if (!IsFree(cells.At(end))) {
    s.errors.error_code = kCodeSlowdownEndTaken;
    return end;
  }

  // Deliberate: the end is written before the start, so a slowdown of
  // length 0 leaves one cell of kind 3.
  TrackCell& end_cell = cells.At(end);
  end_cell.kind = kKindSlowdownEnd;
  s.cell_origins.Note(end, "the end of the slowdown", x, where);
  if (d_v != 0) end_cell.w4 = LowWord(d_v);
  TrackCell& start_cell = cells.At(start);
  start_cell.kind = kKindSlowdownStart;
  s.cell_origins.Note(start, "the start of the slowdown", x, where);
  if (d_v != 0) start_cell.w4 = LowWord(d_v);
  if (has_warning) {
    TrackCell& warning = cells.At(w);
    warning.kind = kKindWarningBoard;
    s.cell_origins.Note(w, "the warning board of the slowdown", x, where);
    if (d_v != 0) warning.w4 = LowWord(d_v);
    warning.w2 = LowWord(v);
  }
  start_cell.w2 = LowWord(v);
  end_cell.w2 = LowWord(v);
  start_cell.w6 = LowWord(f_tt);
  end_cell.w6 = LowWord(f_tt);

  if (f_ta == 0) return std::nullopt;
  // The pre-warning cells: the first is (x - 1200) / 50 rounded, with no
  // + 1, then the three below it.
  const std::int64_t h = FillCell(std::int64_t{x} - 1200);
  for (int n = 0; n < 4; ++n) {
    if (!IsFree(cells.At(h - n))) {
      s.errors.error_code = kCodePreWarningTaken;
      return h - n;
    }
  }
  for (int n = 1; n <= 4; ++n) {
    TrackCell& pre = cells.At(h - (n - 1));
    pre.kind = kKindPreWarning;
    s.cell_origins.Note(h - (n - 1), "a pre-warning cell of the slowdown", x,
                        where);
    pre.w2 = static_cast<std::int16_t>(n);
    if (d_v != 0) pre.w4 = static_cast<std::int16_t>(n);
  }
  return std::nullopt;
}

}  // namespace scenario
