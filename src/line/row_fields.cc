#include "line/row_fields.h"

#include <array>
#include <cstddef>

namespace scenario {

namespace {

using W = FieldWidth;

// --- the line description ------------------------------------------------

constexpr FieldGuide kLengthFields[] = {
    {"length", "m", W::kLong, "0 to 1000000 (error 1 above)",
     "The length of the line.",
     "Sizes the cell array (the length plus 7000 m of run-out, one cell per "
     "50 m) and the plan; stored in slot 84 (long2)."},
};

constexpr FieldGuide kKilometreFields[] = {
    {"start", "m", W::kLong, "a multiple of 50 (error 2)",
     "The metre from which the record applies.",
     "Stored in slots 81 to 83 (long1), the three records ordered by start, "
     "the greatest first."},
    {"offset", "m", W::kLong, "a multiple of 50 (error 2)",
     "From start on, a point's kilometre reading is its position plus the "
     "offset.",
     "Stored beside the start (long2), plus 100 with flag 1."},
    {"flag", "", W::kLong, "0 or 1", "1 adds another 100 m to the offset.",
     "Stored beside the start (long3); with 1 the compiler adds 100 to the "
     "stored offset."},
};

constexpr FieldGuide kSelectorFields[] = {
    {"value", "", W::kLong,
     "any whole number (the built-in line: uno 1, "
     "due 0, tre 0)",
     "A scenery background selector.",
     "Copied unchanged into slot 85: uno into long1, due into long3, tre "
     "into long2.",
     "chooses the scenery background by it; which value shows what is its "
     "own."},
};

constexpr FieldGuide kRepetitionFields[] = {
    {"start", "m", W::kLong, "a multiple of 50 (error 3)",
     "Where the stretch equipped with signal-code repetition begins.",
     "Stored in slot 86 (long1); the number of codes, 4 or 9 from the "
     "keyword, goes into long3."},
    {"end", "m", W::kLong, "a multiple of 50 (error 4); 0: no repetition",
     "Where the stretch ends.",
     "Stored in slot 86 (long2); with 0 the number of codes is stored as 0."},
};

constexpr FieldGuide kGradientFields[] = {
    {"position", "m", W::kLong, "rising from row to row, the first at 0",
     "From here on the gradient holds, up to the next gradient row.",
     "Fills the cells from position / 50 on."},
    {"gradient", "per mille", W::kLong,
     "-100 to 155 stores as written; a line has far less (lint: steeper "
     "than 60)",
     "The gradient; negative runs down the line.",
     "The cells' gradient byte holds it plus 100 (low 8 bits)."},
};

constexpr FieldGuide kCurveFields[] = {
    {"start", "m", W::kLong, "rising from row to row, without overlaps",
     "Where the curve begins; the keyword gives its side (s left, d right) "
     "and class (1 to 6: radius 10000 to 333 m).",
     "Lays the plan (the line grid) from here."},
    {"length", "m", W::kLong, "above 0",
     "How long the curve runs; the line runs straight between curves.",
     "The plan turns for this many metres."},
};

constexpr FieldGuide kMountainFields[] = {
    {"inizio", "m", W::kLong, "within the line",
     "Where the mountain side begins.",
     "Fills the cells' mountain byte from inizio / 50 on."},
    {"fine", "m", W::kLong, "beyond inizio", "Where it ends.",
     "The last cell filled is fine / 50 - 1."},
    {"tipo", "", W::kLong,
     "1 to 10, or 11 to 20 for the same type with marks (the built-in line: "
     "12)",
     "The mountain side's type; above 10, type tipo - 10 with a "
     "mountain-side mark on every fourth cell.",
     "The cells' mountain byte holds the type, or 3 when the stretch starts "
     "150 m or less after the previous one ends; the marks are cells of "
     "kind 11."},
};

constexpr FieldGuide kSpeedBoardFields[] = {
    {"posizione", "m", W::kLong, "within the line; one board to a cell",
     "Where the board stands.", "A cell of kind 6 at posizione / 50 + 1."},
    {"vas", "km/h", W::kLong, "a multiple of 5", "Speed A of the s set.",
     "w2 = vas x 20 + vad / 5."},
    {"vbs", "km/h", W::kLong, "a multiple of 5", "Speed B of the s set.",
     "w4 = vbs x 20 + vbd / 5."},
    {"vcs", "km/h", W::kLong, "a multiple of 5", "Speed C of the s set.",
     "w6 = vcs x 20 + vcd / 5."},
    {"strisces", "", W::kLong, "0 to 9", "The s set's number of stripes.",
     "w8 = strisces x 10 + strisced."},
    {"vad", "km/h", W::kLong, "a multiple of 5; empty for no d set",
     "Speed A of the d set.", "The units of w2, in steps of 5 km/h."},
    {"vbd", "km/h", W::kLong, "a multiple of 5; empty for no d set",
     "Speed B of the d set.", "The units of w4, in steps of 5 km/h."},
    {"vcd", "km/h", W::kLong, "a multiple of 5; empty for no d set",
     "Speed C of the d set.", "The units of w6, in steps of 5 km/h."},
    {"strisced", "", W::kLong, "0 to 9", "The d set's number of stripes.",
     "The units of w8."},
};

constexpr FieldGuide kIndicatorBoardFields[] = {
    {"position", "m", W::kLong, "within the line; one board to a cell",
     "Where the board stands.",
     "A cell of kind 14 at position / 50 + 1; w2 holds the slot of its "
     "text."},
    {"text", "", W::kText, "no comma; stations and boards at most 78",
     "What the board shows: a kilometre stone \"(  Cippo  )(Km 28+000)\", "
     "a switch board \"(Dev.I.)\".",
     "Stored as a slot's text, from slot 80 downwards."},
};

// --- the train description -----------------------------------------------

constexpr FieldGuide kBrakedMassFields[] = {
    {"percent", "%", W::kLong, "any whole number (the built-in train: 120)",
     "The train's braked-mass percentage.", "Copied into slot 84 (long1)."},
};

constexpr FieldGuide kCoachesFields[] = {
    {"count", "", W::kLong, "any whole number (the built-in train: 8)",
     "The number of coaches.", "Copied into slot 84 (long3)."},
};

constexpr FieldGuide kSpeedLimitFields[] = {
    {"position", "m", W::kLong, "rising from row to row, the first at 0",
     "From here on the limit holds, up to the next speed-limit row.",
     "Fills the cells from position / 50 on."},
    {"speed", "km/h", W::kLong,
     "a multiple of 5, at most 1275 (lint: above 300, or 0)",
     "The most the train may run.",
     "The cells' speed_step byte holds speed / 5, rounded halves to even."},
};

constexpr FieldGuide kAdhesionFields[] = {
    {"position", "m", W::kLong, "rising from row to row, the first at 0",
     "From here on the adhesion holds, up to the next adhesion row.",
     "Fills the cells from position / 50 on."},
    {"value", "", W::kLong, "0 to 255 (the built-in train: 65 to 87)",
     "The rail's adhesion, on the simulator's scale.",
     "The cells' adhesion byte holds its low 8 bits."},
};

constexpr FieldGuide kClockFields[] = {
    {"hours", "h", W::kInteger, "0 to 23",
     "The clock at the start: normally the first station's time.",
     "Copied into slot 86 (int3)."},
    {"minutes", "min", W::kInteger, "0 to 59", "The clock's minutes.",
     "Copied into slot 86 (int4)."},
    {"seconds", "s", W::kInteger, "0 to 59", "The clock's seconds.",
     "Copied into slot 86 (int5)."},
};

constexpr FieldGuide kSandFields[] = {
    {"amount", "", W::kInteger, "-32768 to 32767 (the built-in train: 220)",
     "The train's sand.", "Copied into slot 86 (int1)."},
};

constexpr FieldGuide kSignalFields[] = {
    {"posizione", "m", W::kLong, "at least 350; one item to a cell",
     "Where the signal stands.",
     "A cell of kind 1 at posizione / 50 + 1; the cells 2, 4, 6 and 8 "
     "before it get look-back marks (b11)."},
    {"sx", "", W::kLong, "0, 1 or 2 (the built-in train: always 2)",
     "The type of the s set.",
     "w8 = rapp x 10 + sx x 3 + dx; with 2 the cell also keeps tempo."},
    {"s1", "", W::kLong, "a digit, 0 to 9", "The s set's first aspect digit.",
     "The tens of w2."},
    {"s2", "", W::kLong, "a digit, 0 to 9", "The s set's second aspect digit.",
     "The tens of w4."},
    {"s3", "", W::kLong, "a digit, 0 to 9", "The s set's third aspect digit.",
     "The tens of w6."},
    {"rapp", "", W::kLong, "0 or 1", "A digit kept with the types.",
     "The tens of w8."},
    {"dx", "", W::kLong, "0, 1 or 2", "The type of the d set.",
     "Part of w8's units (sx x 3 + dx)."},
    {"d1", "", W::kLong, "a digit, 0 to 9", "The d set's first aspect digit.",
     "The units of w2."},
    {"d2", "", W::kLong, "a digit, 0 to 9", "The d set's second aspect digit.",
     "The units of w4."},
    {"d3", "", W::kLong, "a digit, 0 to 9", "The d set's third aspect digit.",
     "The units of w6."},
    {"tempo", "", W::kLong, "0, or 101 to 255 (1 to 100 are raised to 101)",
     "A time value of a signal whose sx is 2.",
     "b10 of the signal's cell when sx is 2, else 0."},
};

constexpr FieldGuide kSlowdownFields[] = {
    {"x", "m", W::kLong, "within the line; its cells free",
     "Where the slowdown starts.",
     "A start cell (kind 3) at x / 50 + 1; beyond 1500 m also a warning "
     "board (kind 4) at (x - 1200) / 50 + 1."},
    {"v", "km/h", W::kLong, "0 to 32767 (lint: above 300)",
     "The speed over the slowdown.", "w2 of the start, end and warning cells."},
    {"l", "m", W::kLong, "0 or more", "Its length: it ends at x + l.",
     "An end cell (kind 2) at (x + l) / 50 + 1."},
    {"f_tt", "", W::kLong, "0 unless the scenario needs one",
     "A value kept with the start and the end.",
     "w6 of the start and end cells."},
    {"f_ta", "", W::kLong, "0, or not 0 for pre-warning cells",
     "Asks for four pre-warning cells before the warning board.",
     "Cells of kind 5 numbered 1 to 4 (w2) below the warning board; none "
     "for x of 1500 or less."},
    {"d_v", "", W::kLong, "0, or a second speed", "A second speed.",
     "When not 0: w4 of the start, end and warning cells, and the "
     "pre-warning cells' number again in w4."},
};

constexpr FieldGuide kCodeChangeFields[] = {
    {"position", "m", W::kLong, "within the line; one item to a cell",
     "Where the signal code changes.", "A cell at position / 50 (no + 1)."},
    {"code", "", W::kLong, "above 0 (the built-in train: 270), or 0 and below",
     "The new code; 0 or below: a change with no code.",
     "A code mark (kind 12) with the code in w2, or a code-off mark (kind "
     "13)."},
};

constexpr FieldGuide kStationFields[] = {
    {"position", "m", W::kLong, "a multiple of 50 (error 8); rising",
     "The station's reference point.", "Stored in its slot (long3)."},
    {"kind", "", W::kByte,
     "0 to 255: 5 and 6, 7 and 8, and the others lay the stretch "
     "differently; 25 and above: no stop",
     "How the stretch lies around the position, and whether the train "
     "stops.",
     "Stored (byte1); below 25 a stop mark (kind 10) in the cell before "
     "the stretch's end, with approach marks before it but for kinds 5 "
     "and 6."},
    {"length", "m", W::kLong, "a multiple of 100 (error 9)",
     "The length of the station's stretch.",
     "Lays the stretch (long1 to long2); not stored itself."},
    {"byte2", "", W::kByte, "0 to 255 (the built-in train: 0 or 1)",
     "Passed on to the simulator.", "Copied into its slot (byte2)."},
    {"byte6", "", W::kByte, "0 to 255 (the built-in train: 0 or 1)",
     "Passed on to the simulator.",
     "Copied into its slot (byte6), but 0 for a length below 600 m and at "
     "the first station."},
    {"end flag", "", W::kByte, "0 or 1",
     "Not 0: the stretch ends 50 m further (kinds other than 5 to 8).",
     "Copied into its slot (byte5), but 0 for kinds 5 to 8 and at the "
     "first station."},
    {"int1", "", W::kInteger, "-32768 to 32767 (the built-in train: 0 to 4)",
     "Passed on to the simulator.", "Copied into its slot (int1)."},
    {"int2", "", W::kInteger, "-32768 to 32767 (the built-in train: 0 or 1)",
     "Passed on to the simulator.", "Copied into its slot (int2)."},
    {"byte3", "", W::kByte, "0 to 255 (the built-in train: 0)",
     "Passed on to the simulator.", "Copied into its slot (byte3)."},
    {"int3", "", W::kInteger, "-32768 to 32767 (the built-in train: 0 to 5)",
     "Passed on to the simulator.", "Copied into its slot (int3)."},
    {"int4", "", W::kInteger, "-32768 to 32767 (the built-in train: 0 or 1)",
     "Passed on to the simulator.", "Copied into its slot (int4)."},
    {"int5", "", W::kInteger, "-32768 to 32767 (the built-in train: 0 or 1)",
     "Passed on to the simulator.", "Copied into its slot (int5)."},
    {"byte4", "", W::kByte,
     "0 to 255 (the built-in train: 60 at most timed stations, 0 without a "
     "time)",
     "Passed on to the simulator.", "Copied into its slot (byte4)."},
    {"hours", "h", W::kLong,
     "0 or more; 0, 0, 0: no time (past 24 nothing wraps: 25 h is stored "
     "as 90000 s)",
     "The station's one timetable time.",
     "long4 = hours x 3600 + minutes x 60 + seconds."},
    {"minutes", "min", W::kLong, "0 to 59", "The time's minutes.",
     "Part of long4."},
    {"seconds", "s", W::kLong, "0 to 59", "The time's seconds.",
     "Part of long4."},
    {"name", "", W::kText, "no comma; blanks, dots and dashes are fine",
     "The station's name, to the end of the line.",
     "Stored as its slot's text."},
};

// In the order of RowKind.
constexpr std::array<std::span<const FieldGuide>, kRowKindCount> kRows = {{
    kLengthFields,         kKilometreFields,  kKilometreFields,
    kKilometreFields,      kSelectorFields,   kSelectorFields,
    kSelectorFields,       kRepetitionFields, kGradientFields,
    kCurveFields,          kMountainFields,   kSpeedBoardFields,
    kIndicatorBoardFields, kBrakedMassFields, kCoachesFields,
    kSpeedLimitFields,     kAdhesionFields,   kClockFields,
    kSandFields,           kSignalFields,     kSlowdownFields,
    kCodeChangeFields,     kStationFields,
}};

}  // namespace

std::string_view FieldWidthName(FieldWidth width) {
  switch (width) {
    case FieldWidth::kLong:
      return "long";
    case FieldWidth::kInteger:
      return "integer";
    case FieldWidth::kByte:
      return "byte";
    case FieldWidth::kText:
      return "text";
  }
  return "long";
}

std::span<const FieldGuide> RowFields(RowKind kind) {
  return kRows[static_cast<std::size_t>(kind)];
}

std::string FieldLabel(const FieldGuide& field) {
  std::string label(field.name);
  if (!field.unit.empty()) label += " (" + std::string(field.unit) + ")";
  return label;
}

}  // namespace scenario
