#include "line/line_placement.h"

#include <cstdint>
#include <string>

#include "model/errors.h"
#include "model/rounding.h"

namespace scenario {

namespace {

// One kilometre reference record as it stands in slots 81 to 83.
struct KilometreRecord {
  std::int32_t start = 0;   // long1
  std::int32_t offset = 0;  // long2
  std::int32_t flag = 0;    // long3
};

KilometreRecord Take(const ParamSlot& slot) {
  return {slot.long1, slot.long2, slot.long3};
}

void Put(ParamSlot& slot, const KilometreRecord& r) {
  slot.long1 = r.start;
  slot.long2 = r.offset;
  slot.long3 = r.flag;
}

// A speed word of a maximum-speed board: vd / 5 + vs * 20, rounded as a
// whole. vd + 100 * vs is exact in 64 bits, and a fifth never ends in a
// half, so this equals the rounded double-precision sum.
std::int16_t SpeedWord(std::int32_t vs, std::int32_t vd, const char* name) {
  const std::int64_t v =
      RoundRatio(std::int64_t{vd} + 100 * std::int64_t{vs}, 5);
  // Unlike the other 16-bit stores, a speed word does not wrap: it is a
  // fault, as a sum outside the word's range always was.
  return FitWord(v, std::string("the speed board's ") + name + " (" +
                        std::to_string(v) + ")");
}

}  // namespace

void progressive_ordina(ParamTable& table) {
  // The new order is computed from the records as they were on entry.
  const KilometreRecord t = Take(table[kKilometreSlotFirst]);
  const KilometreRecord d = Take(table[kKilometreSlotSecond]);
  const KilometreRecord u = Take(table[kKilometreSlotLast]);
  const KilometreRecord zero;
  KilometreRecord first = zero, second = zero, third = zero;

  const std::int64_t start_sum =
      std::int64_t{t.start} + std::int64_t{d.start} + std::int64_t{u.start};
  if (start_sum != 0) {
    // Deliberate: a shared greatest start clears all three records, even
    // when the records are otherwise sound; stored files depend on it.
    if (t.start > d.start && t.start > u.start) {
      first = t;
      if (d.start > u.start) {
        second = d, third = u;
      } else {
        second = u, third = d;
      }
    } else if (d.start > t.start && d.start > u.start) {
      first = d;
      if (t.start > u.start) {
        second = t, third = u;
      } else {
        second = u, third = t;
      }
    } else if (u.start > t.start && u.start > d.start) {
      first = u;
      if (t.start > d.start) {
        second = t, third = d;
      } else {
        second = d, third = t;
      }
    }
  } else if (u.offset > 0) {
    first = u, second = d, third = t;
  } else if (d.offset > 0) {
    first = d, second = t, third = u;
  } else if (t.offset > 0) {
    first = t, second = d, third = u;
  }
  Put(table[kKilometreSlotFirst], first);
  Put(table[kKilometreSlotSecond], second);
  Put(table[kKilometreSlotLast], third);

  for (int slot = kKilometreSlotFirst; slot <= kKilometreSlotLast; ++slot) {
    ParamSlot& p = table[slot];
    if (p.long3 != 1) continue;
    p.long2 = FitLong(
        std::int64_t{p.long2} + 100,
        "kilometre record offset " + std::to_string(p.long2) + " + 100");
  }
}

void memo_montagna(TrackCells& cells, MountainStretches& stretches,
                   std::int32_t inizio, std::int32_t fine, std::int32_t& tipo) {
  bool mark = false;
  if (tipo > 10) {
    tipo -= 10;
    mark = true;
  }
  ++stretches.mountain_count;
  const std::int32_t n = stretches.mountain_count;
  if (n > kMaxMountainStretches) {
    throw Fault("more than " + std::to_string(kMaxMountainStretches) +
                " mountain-side stretches");
  }
  stretches.mountain_starts[n] = inizio;
  stretches.mountain_ends[n] = fine;
  // A stretch that starts close after (or inside) the previous one joins
  // it as type 3; the mark flag stays as the row gave it.
  if (n > 1 && std::int64_t{inizio} - stretches.mountain_ends[n - 1] <= 150) {
    tipo = 3;
  }

  // Cells inizio / 50 to fine / 50 - 1, each rounded as a whole: the last
  // cell is round((fine - 50) / 50), which differs from round(fine / 50) - 1
  // when fine lies 25 m past a multiple of 50.
  const std::int64_t first = FillCell(inizio);
  const std::int64_t last = RoundRatio(std::int64_t{fine} - 50, 50);
  std::int64_t count = 0;
  for (std::int64_t c = first; c <= last; ++c) {
    // One cell at a time: a stretch that runs off the array faults at its
    // first missing cell and keeps the cells written before.
    TrackCell& cell = cells.At(c);
    cell.mountain = LowByte(tipo);
    ++count;
    // Deliberate: a mark only replaces nothing (kind 0); a cell holding an
    // item keeps it.
    if (mark && count % 4 == 0 && cell.kind == kKindNone) {
      cell.kind = kKindMountainMark;
    }
  }
}

void memo_indicatori_v_max(Scenario& s, std::int32_t posizione,
                           std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                           std::int16_t strisces, std::int32_t vad,
                           std::int32_t vbd, std::int32_t vcd,
                           std::int16_t strisced, const SourceSpot& where) {
  const std::int64_t i = ItemCell(posizione);
  TrackCell& cell = s.track_cells.At(i);
  if (!IsFree(cell)) {
    s.errors.Record(kCodeSpeedBoardTaken, posizione, where);
    s.errors.diagnostics.back().message += s.cell_origins.TakenBy(i);
    return;
  }
  // Assigned in this order, each as soon as it is known: a speed word that
  // faults leaves the words before it in the cell.
  cell.kind = kKindSpeedBoard;
  s.cell_origins.Note(i, "the maximum-speed board", posizione, where);
  cell.w2 = SpeedWord(vas, vad, "first speed word");
  cell.w4 = SpeedWord(vbs, vbd, "second speed word");
  cell.w6 = SpeedWord(vcs, vcd, "third speed word");
  cell.w8 = LowWord(std::int64_t{strisces} * 10 + strisced);
}

}  // namespace scenario
