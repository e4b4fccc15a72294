// Warnings about rows of one kind against each other (order, one position
// twice, curves the plan has passed) and against the fields their values
// are stored in.

#include <cstdint>
#include <optional>
#include <string>

#include "lint/lint_context.h"
#include "model/rounding.h"

namespace scenario {

namespace {

std::int32_t Position(const RowView& row) {
  return static_cast<std::int32_t>(row.value(0));
}

// Profile rows (gradient, speed limit, adhesion) fill their cells forward
// from the row before: a row behind the profile's end takes effect where
// the profile stands, and two rows that start in one cell leave the
// earlier one a single cell.
void ProfileOrder(LintContext& c, RowKind kind) {
  const std::string name(RowKindName(kind));
  std::optional<RowView> last;      // the row before
  std::optional<RowView> furthest;  // the row with the highest position
  for (const RowView& row : c.Rows(kind)) {
    if (!row.has(1)) continue;
    const std::int64_t p = row.value(0);
    if (furthest && p < furthest->value(0)) {
      c.Add(WarningKind::kRowsOutOfOrder, row.log(), row.keyword_index(),
            Position(row),
            "the " + name + " row at " + std::to_string(p) +
                " m stands after the one at " +
                std::to_string(furthest->value(0)) + " m (" +
                At(furthest->keyword()) +
                "): profiles are filled forward only, so it takes effect "
                "where the profile has got to, not at " +
                std::to_string(p) + " m",
            LintContext::Spot(furthest->log(), furthest->keyword_index()));
    } else if (last && FillCell(p) == FillCell(last->value(0))) {
      const std::int64_t q = last->value(0);
      c.Add(WarningKind::kDuplicatePosition, row.log(), row.keyword_index(),
            Position(row),
            "the " + name + " row at " + std::to_string(p) + " m starts " +
                (p == q ? std::string("at the same position as the one")
                        : "in the same cell as the one at " +
                              std::to_string(q) + " m") +
                " (" + At(last->keyword()) +
                "): this one wins, and that one holds for at most one cell",
            LintContext::Spot(last->log(), last->keyword_index()));
    }
    last = row;
    if (!furthest || p >= furthest->value(0)) furthest = row;
  }
}

// The 150 m rule of mountain-side stretches looks at the stretch before in
// file order.
void MountainOrder(LintContext& c) {
  std::optional<RowView> last;
  for (const RowView& row : c.Rows(RowKind::kMountain)) {
    if (!row.has(2)) continue;
    if (last && row.value(0) < last->value(0)) {
      c.Add(WarningKind::kRowsOutOfOrder, row.log(), row.keyword_index(),
            Position(row),
            "the mountain-side stretch from " + std::to_string(row.value(0)) +
                " m stands after the one from " +
                std::to_string(last->value(0)) + " m (" + At(last->keyword()) +
                "): each stretch is compared with the one before it in the "
                "file for the 150 m rule",
            LintContext::Spot(last->log(), last->keyword_index()));
    }
    last = row;
  }
}

// The plan is laid forward: a curve that starts before the metre the plan
// has reached begins there, and one that also ends there is ignored.
// Curves that touch (one starting where the other ends) are fine.
void CurveOverlap(LintContext& c) {
  std::int64_t reached = 1;  // metres 0 and 1 are seeded
  std::optional<RowView> reached_by;
  for (const RowView& row : c.Rows(RowKind::kCurve)) {
    if (!row.has(1)) continue;
    const std::int64_t s = row.value(0);
    const std::int64_t l = row.value(1);
    const std::int64_t end = s + l;
    if (reached_by && s < reached) {
      const std::string before =
          "the curve before it (" + At(reached_by->keyword()) +
          ") has laid the plan to " + std::to_string(reached) + " m";
      std::string text = "the curve from " + std::to_string(s) + " m to " +
                         std::to_string(end) +
                         " m starts before the plan "
                         "has reached it: " +
                         before;
      text += end <= reached ? ", so this curve is ignored"
                             : ", so this curve is laid from there, " +
                                   std::to_string(end - reached) +
                                   " m instead of " + std::to_string(l) + " m";
      c.Add(WarningKind::kCurveOverlap, row.log(), row.keyword_index(),
            Position(row), text,
            LintContext::Spot(reached_by->log(), reached_by->keyword_index()));
    }
    const std::int64_t laid = std::max(s, end);
    if (laid > reached) {
      reached = laid;
      reached_by = row;
    }
  }
}

void Altered(LintContext& c, const RowView& row, std::size_t field,
             std::string text) {
  c.Add(WarningKind::kValueAltered, row.log(), row.index(field), Position(row),
        std::move(text));
}

std::string Number(std::int64_t v) { return std::to_string(v); }

// The low 8 or 16 bits of a value, as the cells keep them.
std::int64_t Low8(std::int64_t v) { return v & 0xff; }
std::int64_t Low16(std::int64_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xffff));
}

void Word(LintContext& c, const RowView& row, std::size_t field,
          const char* what) {
  if (!row.has(field)) return;
  const std::int64_t v = row.value(field);
  if (Low16(v) == v) return;
  Altered(c, row, field,
          std::string("the ") + what + " " + Number(v) +
              " does not fit the cell's 16-bit word: it is stored as " +
              Number(Low16(v)));
}

// A speed in km/h stored as a count of 5 km/h steps in one byte.
void SpeedStep(LintContext& c, const RowView& row, std::size_t field,
               const char* what) {
  if (!row.has(field)) return;
  const std::int64_t v = row.value(field);
  const std::int64_t steps = RoundRatio(v, 5);
  const std::int64_t stored = Low8(steps) * 5;
  if (stored == v) return;
  Altered(c, row, field,
          std::string("the ") + what + " " + Number(v) +
              " km/h is stored in steps of 5 km/h" +
              (steps == Low8(steps) ? "" : " in one byte") + ": as " +
              Number(stored) + " km/h");
}

void GradientValues(LintContext& c) {
  for (const RowView& row : c.Rows(RowKind::kGradient)) {
    if (!row.has(1)) continue;
    const std::int64_t g = row.value(1);
    if (Low8(g + 100) == g + 100) continue;
    const std::int64_t reads = Low8(g + 100) - 100;
    Altered(c, row, 1,
            "the gradient " + Number(g) +
                " per mille does not fit the cell's byte (-100 to 155): it "
                "is stored as " +
                (reads > 0 ? "+" : "") + Number(reads) + " per mille");
  }
}

void TrainProfileValues(LintContext& c) {
  for (const RowView& row : c.Rows(RowKind::kSpeedLimit)) {
    SpeedStep(c, row, 1, "speed limit");
  }
  for (const RowView& row : c.Rows(RowKind::kAdhesion)) {
    if (!row.has(1)) continue;
    const std::int64_t a = row.value(1);
    if (Low8(a) == a) continue;
    Altered(c, row, 1,
            "the adhesion " + Number(a) +
                " does not fit the cell's byte (0 to 255): it is stored as " +
                Number(Low8(a)));
  }
}

void MountainValues(LintContext& c) {
  for (const RowView& row : c.Rows(RowKind::kMountain)) {
    if (!row.has(2)) continue;
    const std::int64_t written = row.value(2);
    const std::int64_t tipo = written > 10 ? written - 10 : written;
    if (Low8(tipo) == tipo) continue;
    Altered(c, row, 2,
            "the mountain-side type " + Number(written) +
                " does not fit the cell's byte: it is stored as " +
                Number(Low8(tipo)));
  }
}

void SpeedBoardValues(LintContext& c) {
  for (const RowView& row : c.Rows(RowKind::kSpeedBoard)) {
    // The d set is stored in 5 km/h steps beside the s set.
    constexpr std::size_t kDSet[] = {5, 6, 7};
    for (std::size_t field : kDSet) {
      if (!row.has(field)) continue;
      const std::int64_t v = row.value(field);
      if (v % 5 == 0) continue;
      Altered(c, row, field,
              "the d-set speed " + Number(v) +
                  " km/h is stored in steps of 5 km/h: as " +
                  Number(RoundRatio(v, 5) * 5) + " km/h");
    }
  }
}

void SignalValues(LintContext& c) {
  // posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo
  constexpr std::size_t kSx = 1, kRapp = 5, kDx = 6, kTempo = 10;
  constexpr const char* kDigitNames[] = {"s1", "s2", "s3", "d1", "d2", "d3"};
  constexpr std::size_t kDigitFields[] = {2, 3, 4, 7, 8, 9};
  for (const RowView& row : c.Rows(RowKind::kSignal)) {
    if (!row.has(kTempo)) continue;
    for (int i = 0; i < 6; ++i) {
      const std::int64_t v = row.value(kDigitFields[i]);
      if (v >= 0 && v <= 9) continue;
      Altered(c, row, kDigitFields[i],
              std::string("the signal value ") + kDigitNames[i] + " = " +
                  Number(v) +
                  " is not a digit 0 to 9: the cell packs each s value with "
                  "its d value as s x 10 + d, and the two no longer read "
                  "back apart");
    }
    const std::int64_t sx = row.value(kSx);
    const std::int64_t types = sx * 3 + row.value(kDx);
    if (types < 0 || types > 9) {
      Altered(c, row, kSx,
              "sx x 3 + dx = " + Number(types) +
                  " is not a digit: the cell packs it with rapp as rapp x "
                  "10 + sx x 3 + dx = " +
                  Number(row.value(kRapp) * 10 + types) +
                  ", and the two no longer read back apart");
    }
    const std::int64_t tempo = row.value(kTempo);
    if (sx != 2) {
      if (tempo != 0) {
        Altered(c, row, kTempo,
                "the signal time " + Number(tempo) +
                    " is not stored: only a signal whose sx is 2 keeps one");
      }
    } else if (tempo >= 1 && tempo <= 100) {
      Altered(c, row, kTempo,
              "the signal time " + Number(tempo) +
                  " is raised to 101 (times from 1 to 100 are not kept)");
    } else if (Low8(tempo) != tempo) {
      Altered(c, row, kTempo,
              "the signal time " + Number(tempo) +
                  " does not fit the cell's byte: it is stored as " +
                  Number(Low8(tempo)));
    }
  }
}

void OtherTrainValues(LintContext& c) {
  for (const RowView& row : c.Rows(RowKind::kCodeChange)) {
    if (row.has(1) && row.value(1) > 0) Word(c, row, 1, "code");
  }
  for (const RowView& row : c.Rows(RowKind::kSlowdown)) {
    Word(c, row, 1, "slowdown speed");
    Word(c, row, 3, "slowdown value f_tt");
    Word(c, row, 5, "slowdown value d_v");
  }
  // Fields 5 and 6 of a station row are cleared in some cases.
  constexpr std::size_t kKind = 1, kLength = 2, kField5 = 4, kField6 = 5;
  bool first = true;
  for (const RowView& row : c.Rows(RowKind::kStation)) {
    if (!row.has(kField6)) continue;
    const std::int64_t kind = row.value(kKind);
    const std::int64_t length = row.value(kLength);
    if (row.value(kField5) != 0 && (first || length < 600)) {
      Altered(c, row, kField5,
              "field 5 (" + Number(row.value(kField5)) +
                  ") is stored as 0: it is cleared " +
                  (first ? "for the first station"
                         : "for a station shorter than 600 m"));
    }
    if (row.value(kField6) != 0 && (first || (kind >= 5 && kind <= 8))) {
      Altered(c, row, kField6,
              "the end flag (" + Number(row.value(kField6)) +
                  ") is stored as 0: it is cleared " +
                  (first ? std::string("for the first station")
                         : "for a station of kind " + Number(kind)) +
                  (first && !(kind >= 5 && kind <= 8)
                       ? " (its 50 m still lengthen the stretch)"
                       : ""));
    }
    first = false;
  }
}

}  // namespace

void FindRowWarnings(LintContext& c) {
  for (RowKind kind :
       {RowKind::kGradient, RowKind::kSpeedLimit, RowKind::kAdhesion}) {
    ProfileOrder(c, kind);
  }
  MountainOrder(c);
  CurveOverlap(c);
  GradientValues(c);
  TrainProfileValues(c);
  MountainValues(c);
  SpeedBoardValues(c);
  SignalValues(c);
  OtherTrainValues(c);
}

}  // namespace scenario
