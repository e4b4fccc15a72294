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

// w8 = rapp x 10 + t. t is w8's last decimal digit plus a multiple of 10
// taken from rapp; the marks repeat every 128 values of t, so 64 such
// multiples reach every mark there is. The choice is the t whose marks
// most of the four look-back cells still hold (a later row may have
// overwritten some), the plain digit when no t fits better.
std::int64_t SignalTypes(const std::vector<TrackCell>& cells, std::int64_t i) {
  const std::int64_t w8 = cells[static_cast<std::size_t>(i)].w8;
  const std::int64_t digit = ((w8 % 10) + 10) % 10;
  std::int64_t best = digit;
  int best_score = -1;
  for (int m = 0; m < 64; ++m) {
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

}  // namespace

void RecoverSignals(const std::vector<TrackCell>& cells,
                    std::vector<MarkedRow>* signals,
                    std::vector<RecoveryNote>* notes) {
  bool any = false;
  for (std::size_t index = 0; index < cells.size(); ++index) {
    const TrackCell& c = cells[index];
    if (c.kind != kKindSignal) continue;
    const std::int64_t i = static_cast<std::int64_t>(index);
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
      // The reader raises a time of 1 to 100 to 101; only a time whose
      // low byte is one of those gives it.
      tempo += 256;
      Note(notes, position,
           "the signal's time byte " + std::to_string(c.b10) +
               " is below 101, which only a time of " + std::to_string(tempo) +
               " gives (its low byte): that time is written");
    }
    MarkedRow signal;
    signal.key = i;
    signal.row = TrainRow(RowKind::kSignal,
                          {position, sx, c.w2 / 10, c.w4 / 10, c.w6 / 10, rapp,
                           dx, c.w2 % 10, c.w4 % 10, c.w6 % 10, tempo});
    for (int j = 1; j <= 4; ++j) {
      if (i - 2 * j >= 0)
        signal.marks.emplace_back(i - 2 * j, LookBackMark(t, j));
    }
    signals->push_back(std::move(signal));
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
