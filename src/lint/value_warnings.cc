// Warnings about values that no railway has: lengths of 0 m or less,
// items beyond the line's end, speeds of 0 or above any train's, gradients
// steeper than adhesion allows, a train without a station or with one
// name twice.

#include <cstdint>
#include <map>
#include <string>

#include "lint/lint_context.h"
#include "model/param_table.h"

namespace scenario {

namespace {

std::int32_t Position(const RowView& row) {
  return static_cast<std::int32_t>(row.value(0));
}

std::string Row(const RowView& row) {
  return std::string(RowKindName(row.kind())) + " row";
}

// Slowdowns, curves and stations give a length, mountain-side stretches
// an end.
void Lengths(LintContext& c) {
  for (RowKind kind :
       {RowKind::kSlowdown, RowKind::kCurve, RowKind::kStation}) {
    const std::size_t field = kind == RowKind::kCurve ? 1 : 2;
    for (const RowView& row : c.Rows(kind)) {
      if (!row.has(field) || row.value(field) > 0) continue;
      c.Add(WarningKind::kNonPositiveLength, row.log(), row.index(field),
            Position(row),
            "the " + Row(row) + " at " + std::to_string(row.value(0)) +
                " m has a length of " + std::to_string(row.value(field)) +
                " m: its end is placed " +
                (row.value(field) == 0 ? std::string("at its start")
                                       : "before its start") +
                "; give the length as a positive number of metres");
    }
  }
  for (const RowView& row : c.Rows(RowKind::kMountain)) {
    if (!row.has(1) || row.value(1) > row.value(0)) continue;
    c.Add(WarningKind::kNonPositiveLength, row.log(), row.index(1),
          Position(row),
          "the mountain-side stretch from " + std::to_string(row.value(0)) +
              " m ends at " + std::to_string(row.value(1)) +
              " m, not after its start: it covers nothing");
  }
}

// Items and stations in the run-out after the line's end.
void BeyondEnd(LintContext& c) {
  const std::int64_t length = c.scenario().param_table[kGeneralSlot].long2;
  if (length <= 0) return;
  for (RowKind kind :
       {RowKind::kSpeedBoard, RowKind::kIndicatorBoard, RowKind::kSignal,
        RowKind::kSlowdown, RowKind::kCodeChange, RowKind::kStation}) {
    for (const RowView& row : c.Rows(kind)) {
      if (!row.has(0) || row.value(0) <= length) continue;
      c.Add(WarningKind::kBeyondLineEnd, row.log(), row.index(0), Position(row),
            "the " + Row(row) + " at " + std::to_string(row.value(0)) +
                " m stands " + std::to_string(row.value(0) - length) +
                " m beyond the end of the line (" + std::to_string(length) +
                " m long), in the run-out after it");
    }
  }
}

// What an author means as "too fast to be meant".
constexpr std::int64_t kFastestSpeed = 300;     // km/h
constexpr std::int64_t kSteepestGradient = 60;  // per mille
// A cell stores a gradient as g + 100 in a byte.
constexpr std::int64_t kGradientOffset = 100;

void Speed(LintContext& c, const RowView& row, std::size_t field,
           const char* what) {
  const std::int64_t v = row.value(field);
  if (v <= kFastestSpeed) return;
  c.Add(WarningKind::kImplausibleSpeed, row.log(), row.index(field),
        Position(row),
        std::string("the ") + what + " of " + std::to_string(v) +
            " km/h is above " + std::to_string(kFastestSpeed) +
            " km/h, faster than any train runs");
}

void ZeroSpeed(LintContext& c, const RowView& row, std::size_t field,
               const std::string& text) {
  c.Add(WarningKind::kZeroSpeed, row.log(), row.index(field), Position(row),
        text);
}

// A board side (three speeds) is unset when all three are 0; a 0 beside
// a set speed, or a board with no speed at all, shows nothing.
void BoardSpeeds(LintContext& c, const RowView& row) {
  if (!row.has(7)) return;
  bool any_set = false;
  for (std::size_t side : {1u, 5u}) {
    bool side_set = false;
    for (std::size_t f = side; f < side + 3; ++f) {
      side_set = side_set || row.value(f) != 0;
      Speed(c, row, f, "board speed");
    }
    any_set = any_set || side_set;
    if (!side_set) continue;
    for (std::size_t f = side; f < side + 3; ++f) {
      if (row.value(f) != 0) continue;
      ZeroSpeed(c, row, f,
                "the maximum-speed board at " + std::to_string(row.value(0)) +
                    " m gives 0 km/h beside speeds that are set: 0 is an "
                    "unset speed, and the board shows none there");
    }
  }
  if (!any_set) {
    ZeroSpeed(c, row, 1,
              "the maximum-speed board at " + std::to_string(row.value(0)) +
                  " m gives no speed on either side (all 0 km/h)");
  }
}

void Speeds(LintContext& c) {
  for (const RowView& row : c.Rows(RowKind::kSpeedBoard)) BoardSpeeds(c, row);
  for (const RowView& row : c.Rows(RowKind::kSpeedLimit)) {
    if (!row.has(1)) continue;
    Speed(c, row, 1, "speed limit");
    // "9,000": the 0 is the half of a number a decimal comma split, and
    // decimal-comma says so.
    const LoggedField& p = row.field(0);
    const LoggedField& v = row.field(1);
    const bool split = p.separator == ',' && v.begin == p.value_end + 1;
    if (row.value(1) == 0 && !split) {
      ZeroSpeed(c, row, 1,
                "the speed limit from " + std::to_string(row.value(0)) +
                    " m is 0 km/h: the train may not move there");
    }
  }
  for (const RowView& row : c.Rows(RowKind::kSlowdown)) {
    if (row.has(1)) Speed(c, row, 1, "slowdown's speed");
  }
}

void Gradients(LintContext& c) {
  for (const RowView& row : c.Rows(RowKind::kGradient)) {
    if (!row.has(1)) continue;
    const std::int64_t g = row.value(1);
    if (g >= -kSteepestGradient && g <= kSteepestGradient) continue;
    // A gradient the cell cannot hold is value-altered's: it names what
    // is stored instead.
    if (g < -kGradientOffset || g > 255 - kGradientOffset) continue;
    c.Add(WarningKind::kSteepGradient, row.log(), row.index(1), Position(row),
          "the gradient of " + std::to_string(g) + " per mille from " +
              std::to_string(row.value(0)) + " m is steeper than " +
              std::to_string(kSteepestGradient) +
              " per mille, more than an adhesion railway has");
  }
}

// Only a train description read to its end (its last field reached, not
// stopped by a code) can be said to lack its stations.
bool ReadToTheEnd(const ReadLog& log) {
  return log.found_general() && !log.keywords().empty() &&
         log.keywords().back().use == KeywordUse::kUnread;
}

void Stations(LintContext& c) {
  const std::vector<RowView> stations = c.Rows(RowKind::kStation);
  if (stations.empty() && ReadToTheEnd(c.train())) {
    c.Add(WarningKind::kNoStation, c.train(), c.train().keywords()[0].field,
          std::nullopt,
          "the train description has no station row: the train has no "
          "timetable and no stop");
  }
  std::map<std::string, const RowView*> seen;
  for (const RowView& row : stations) {
    if (!row.has(16)) continue;
    const std::string& name = row.field(16).text;
    const auto [it, first] = seen.emplace(name, &row);
    if (first) continue;
    const RowView& before = *it->second;
    c.Add(WarningKind::kStationNameTwice, row.log(), row.index(16),
          Position(row),
          "the station at " + std::to_string(row.value(0)) +
              " m has the name " + Quoted(name) + " of the station at " +
              std::to_string(before.value(0)) + " m (" + At(before.keyword()) +
              ")",
          LintContext::Spot(before.log(), before.keyword_index()));
  }
}

}  // namespace

void FindValueWarnings(LintContext& c) {
  Lengths(c);
  BeyondEnd(c);
  Speeds(c);
  Gradients(c);
  Stations(c);
}

}  // namespace scenario
