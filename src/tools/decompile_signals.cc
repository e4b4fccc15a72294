#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/decompile_train_parts.h"

namespace scenario {

namespace {

// The look-back mark a signal of types t (sx x 3 + dx) writes j cells
// pairs back, in the byte's 8 bits.
std::uint8_t LookBackMark(std::int64_t t, int j) {
  return static_cast<std::uint8_t>((t * 10 + j) & 0xff);
}

// The types t = sx x 3 + dx of digits reach 36: the tens of t tried.
// Larger ones would fit marks that other signals wrote as well.
constexpr int kTypeTens = 4;

// w8 = rapp x 10 + t. t is w8's last decimal digit plus a multiple of 10
// taken from rapp. The choice is the t whose marks most of the four
// look-back cells still hold (a later row may have overwritten some), the
// plain digit when no t fits better.
std::int64_t SignalTypes(const std::vector<TrackCell>& cells, std::int64_t i) {
  const std::int64_t w8 = cells[static_cast<std::size_t>(i)].w8;
  const std::int64_t digit = ((w8 % 10) + 10) % 10;
  std::int64_t best = digit;
  int best_score = -1;
  for (int m = 0; m < kTypeTens; ++m) {
    const std::int64_t t = digit + 10 * m;
    int score = 0;
    for (int j = 1; j <= 4; ++j) {
      const std::int64_t back = i - 2 * j;
      if (back >= 0 &&
          cells[static_cast<std::size_t>(back)].b11 == LookBackMark(t, j)) {
        ++score;
      }
    }
    if (score > best_score) {
      best = t;
      best_score = score;
    }
  }
  return best;
}

void Note(std::vector<RecoveryNote>* notes, std::int64_t position,
          std::string text) {
  notes->push_back({RowKind::kSignal, position, std::move(text)});
}

// The signal row whose compile put the words of cell i (w2 as given: a
// stop mark over the signal keeps all but the kind and w2), with its marks.
MarkedRow SignalAt(const std::vector<TrackCell>& cells, std::int64_t i,
                   std::int64_t w2, std::vector<RecoveryNote>* notes) {
  const TrackCell& c = cells[static_cast<std::size_t>(i)];
  const std::int64_t position = (i - 1) * 50;
  const std::int64_t t = SignalTypes(cells, i);
  const std::int64_t rapp = (c.w8 - t) / 10;
  // A time is kept only for sx 2, so a stored time says sx is 2; without
  // one, sx 2 still serves whenever the types reach 6.
  std::int64_t sx = 2;
  std::int64_t dx = t - 6;
  std::int64_t tempo = c.b10;
  if (c.b10 == 0 && t < 6) {
    sx = 0;
    dx = t;
  }
  if (c.b10 >= 1 && c.b10 <= 100) {
    // The reader raises a time of 1 to 100 to 101; only a time whose low
    // byte is one of those gives it.
    tempo += 256;
    Note(notes, position,
         "the signal's time byte " + std::to_string(c.b10) +
             " is below 101, which only a time of " + std::to_string(tempo) +
             " gives (its low byte): that time is written");
  }
  MarkedRow signal;
  signal.key = i;
  signal.row = TrainRow(RowKind::kSignal,
                        {position, sx, w2 / 10, c.w4 / 10, c.w6 / 10, rapp, dx,
                         w2 % 10, c.w4 % 10, c.w6 % 10, tempo});
  for (int j = 1; j <= 4; ++j) {
    if (i - 2 * j >= 0) {
      signal.marks.emplace_back(i - 2 * j, LookBackMark(t, j));
    }
  }
  return signal;
}

// Whether cell c holds an approach mark that none of rows writes.
bool IsOrphanMark(const std::vector<TrackCell>& cells,
                  const std::vector<std::vector<std::uint8_t>>& written,
                  std::int64_t c) {
  const std::uint8_t stored = cells[static_cast<std::size_t>(c)].b11;
  if (stored == 0) return false;
  for (std::uint8_t value : written[static_cast<std::size_t>(c)]) {
    if (value == stored) return false;
  }
  return true;
}

}  // namespace

void RecoverSignals(const std::vector<TrackCell>& cells,
                    std::vector<MarkedRow>* signals,
                    std::vector<RecoveryNote>* notes) {
  bool any = false;
  for (std::size_t index = 0; index < cells.size(); ++index) {
    if (cells[index].kind != kKindSignal) continue;
    signals->push_back(SignalAt(cells, static_cast<std::int64_t>(index),
                                cells[index].w2, notes));
    any = true;
  }
  if (any) {
    Note(notes, -1,
         "signals are written at their cell's metre, (cell - 1) x 50: the "
         "metre within the 50 m cell is not kept; each stored pair s x 10 + "
         "d is split as its tens and units, and the types rapp x 10 + sx x 3 "
         "+ dx as agree with the marks before the signal (sx 2 where it fits)");
  }
}

}  // namespace scenario

namespace scenario {

// A stop mark overwrites a signal placed in its cell before the station
// row: the signal's w4, w6, w8 and time stay under it, and so do its
// look-back marks. Such a cell is taken for a signal when it keeps a time
// (only a signal writes one) or when a mark two to eight cells before it
// is one no row recovered so far writes. Words alone do not tell: a
// maximum-speed board of the line under a stop mark keeps its words too.
void RecoverHiddenSignals(const std::vector<TrackCell>& cells,
                          const std::vector<MarkedRow>& stations,
                          std::vector<MarkedRow>* signals,
                          std::vector<RecoveryNote>* notes) {
  std::vector<std::vector<std::uint8_t>> written(cells.size());
  for (const auto* rows :
       {&stations, static_cast<const std::vector<MarkedRow>*>(signals)}) {
    for (const MarkedRow& row : *rows) {
      for (const auto& [cell, value] : row.marks) {
        written[static_cast<std::size_t>(cell)].push_back(value);
      }
    }
  }
  const std::int64_t size = static_cast<std::int64_t>(cells.size());
  for (std::int64_t i = 0; i < size; ++i) {
    const TrackCell& c = cells[static_cast<std::size_t>(i)];
    if (c.kind != kKindStopMark) continue;
    bool hidden = c.b10 != 0;
    for (int j = 1; j <= 4 && !hidden; ++j) {
      hidden = i - 2 * j >= 0 && IsOrphanMark(cells, written, i - 2 * j);
    }
    if (!hidden) continue;
    MarkedRow signal = SignalAt(cells, i, 0, notes);
    signal.before_station = c.w2;
    signal.under_stop_marks.push_back(i);
    Note(notes, signal.row.numbers[0],
         "a station's stop mark stands over a signal here: the signal is "
         "written before that station, its first digits (overwritten by the "
         "mark) as 0");
    signals->push_back(std::move(signal));
  }
}

}  // namespace scenario
