// Warnings about the train's run against the line: the timetable, speed
// limits above the boards, kilometre stones that read wrong, and items
// that a station's stop mark overwrites.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "lint/lint_context.h"
#include "model/kilometre_axis.h"
#include "model/param_table.h"
#include "model/rounding.h"

namespace scenario {

namespace {

constexpr std::int64_t kDay = 24 * 3600;

// Station row fields (after the keyword).
constexpr std::size_t kStationKind = 1;
constexpr std::size_t kStationHours = 13;
constexpr std::size_t kStationName = 16;

std::int32_t Position(const RowView& row) {
  return static_cast<std::int32_t>(row.value(0));
}

std::string StationName(const RowView& row) {
  return row.has(kStationName) ? Quoted(row.field(kStationName).text)
                               : "at " + std::to_string(row.value(0)) + " m";
}

// "6 min 10 s".
std::string Duration(std::int64_t seconds) {
  std::string text;
  if (seconds >= 3600) text += std::to_string(seconds / 3600) + " h ";
  if (seconds >= 60) text += std::to_string(seconds / 60 % 60) + " min ";
  return text + std::to_string(seconds % 60) + " s";
}

// The shortest time in seconds to run from metre a to metre b at the speed
// limits the cells hold; nullopt where a cell holds no speed (or lies
// outside the array).
std::optional<double> ShortestRun(const Scenario& s, std::int64_t a,
                                  std::int64_t b) {
  double seconds = 0;
  for (std::int64_t m = a; m < b;) {
    const std::int64_t cell = m / 50;
    const std::int64_t next = std::min<std::int64_t>(b, (cell + 1) * 50);
    if (!s.track_cells.Contains(cell)) return std::nullopt;
    const int step = s.track_cells[cell].speed_step;
    if (step == 0) return std::nullopt;
    seconds += static_cast<double>(next - m) * 3.6 / (step * 5.0);
    m = next;
  }
  return seconds;
}

void Timetable(LintContext& c) {
  std::optional<RowView> last;  // the last station with a time
  std::int64_t last_time = 0;
  for (const RowView& row : c.Rows(RowKind::kStation)) {
    if (!row.has(kStationHours + 2)) continue;
    std::int64_t time = row.value(kStationHours) * 3600 +
                        row.value(kStationHours + 1) * 60 +
                        row.value(kStationHours + 2);
    if (time == 0) continue;  // a station without a time
    if (last) {
      // A run past midnight: a time more than half a day before the last
      // one is taken as the next day's.
      if (last_time - time > kDay / 2) time += kDay;
      if (time <= last_time) {
        c.Add(WarningKind::kTimesNotRising, row.log(), row.index(kStationHours),
              Position(row),
              "station " + StationName(row) + " has the time " +
                  ClockText(time % kDay) + ", not later than " +
                  ClockText(last_time % kDay) + " at station " +
                  StationName(*last) + " (" + At(last->keyword()) + ")",
              LintContext::Spot(last->log(), last->keyword_index()));
      } else if (row.value(0) > last->value(0)) {
        const std::optional<double> shortest =
            ShortestRun(c.scenario(), last->value(0), row.value(0));
        const std::int64_t scheduled = time - last_time;
        if (shortest && static_cast<double>(scheduled) + 1 < *shortest) {
          c.Add(WarningKind::kTimeTooShort, row.log(), row.index(kStationHours),
                Position(row),
                "the timetable gives " + Duration(scheduled) +
                    " from station " + StationName(*last) + " (" +
                    At(last->keyword()) + ") to station " + StationName(row) +
                    ", but the " +
                    std::to_string(row.value(0) - last->value(0)) +
                    " m between them take at least " +
                    Duration(static_cast<std::int64_t>(std::ceil(*shortest))) +
                    " at the speed limits in force",
                LintContext::Spot(last->log(), last->keyword_index()));
        }
      }
    }
    last = row;
    last_time = time;
  }
}

// The reading a board's text names, "Km 60+000" or "Km126+000", in
// metres; nullopt when the text names none.
std::optional<std::int64_t> StoneReading(std::string_view text) {
  for (std::size_t at = text.find("Km"); at != std::string_view::npos;
       at = text.find("Km", at + 1)) {
    std::size_t i = at + 2;
    while (i < text.size() && text[i] == ' ') ++i;
    std::int64_t km = 0;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 6) {
      km = km * 10 + (text[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || i + 4 > text.size() || text[i] != '+') continue;
    std::int64_t m = 0;
    bool ok = true;
    for (std::size_t k = 1; k <= 3; ++k) {
      const char ch = text[i + k];
      if (ch < '0' || ch > '9') ok = false;
      m = m * 10 + (ch - '0');
    }
    if (ok) return km * 1000 + m;
  }
  return std::nullopt;
}

void KilometreStones(LintContext& c) {
  const KilometreAxis axis(c.scenario().param_table);
  for (const RowView& row : c.Rows(RowKind::kIndicatorBoard)) {
    if (!row.has(1)) continue;
    const std::optional<std::int64_t> named = StoneReading(row.field(1).text);
    if (!named) continue;
    const std::int64_t reading = static_cast<std::int64_t>(
        std::llround(axis.Reading(static_cast<double>(row.value(0)))));
    if (reading == *named) continue;
    c.Add(WarningKind::kKilometreStone, row.log(), row.index(1), Position(row),
          "the board " + Quoted(row.field(1).text) + " reads km " +
              FormatKilometre(static_cast<double>(*named)) +
              ", but the line's kilometre records give km " +
              FormatKilometre(static_cast<double>(reading)) + " at " +
              std::to_string(row.value(0)) + " m");
  }
}

void SpeedsAboveBoards(LintContext& c) {
  struct Board {
    std::int64_t position;
    std::int64_t highest;
    RowView row;
  };
  std::vector<Board> boards;
  for (const RowView& row : c.Rows(RowKind::kSpeedBoard)) {
    if (!row.has(7)) continue;
    std::int64_t highest = 0;
    for (std::size_t f : {1, 2, 3, 5, 6, 7}) {
      highest = std::max(highest, row.value(f));
    }
    boards.push_back({row.value(0), highest, row});
  }
  std::stable_sort(
      boards.begin(), boards.end(),
      [](const Board& a, const Board& b) { return a.position < b.position; });
  for (const RowView& row : c.Rows(RowKind::kSpeedLimit)) {
    if (!row.has(1)) continue;
    const std::int64_t p = row.value(0);
    auto after = std::upper_bound(
        boards.begin(), boards.end(), p,
        [](std::int64_t q, const Board& b) { return q < b.position; });
    if (after == boards.begin()) continue;
    const Board& board = *(after - 1);
    if (board.highest <= 0 || row.value(1) <= board.highest) continue;
    c.Add(WarningKind::kSpeedAboveBoard, row.log(), row.index(1), Position(row),
          "the speed limit " + std::to_string(row.value(1)) +
              " km/h is above the highest speed of the maximum-speed board "
              "in force here (" +
              std::to_string(board.highest) + " km/h, at " +
              std::to_string(board.position) + " m, " +
              At(board.row.keyword()) + ")",
          LintContext::Spot(board.row.log(), board.row.keyword_index()));
  }
}

// The items that may stand in a cell a stop mark takes, with the row that
// placed them.
struct Item {
  std::string what;
  RowView row;
};

void Place(std::map<std::int64_t, Item>& cells, std::int64_t cell,
           const std::string& what, const RowView& row) {
  cells.insert_or_assign(cell, Item{what, row});
}

// The cells a row's items take, as the placement routines compute them.
void PlaceRow(std::map<std::int64_t, Item>& cells, const RowView& row) {
  const std::int64_t p = row.value(0);
  const std::string at = " at " + std::to_string(p) + " m";
  switch (row.kind()) {
    case RowKind::kSpeedBoard:
      Place(cells, ItemCell(p), "maximum-speed board" + at, row);
      break;
    case RowKind::kIndicatorBoard:
      Place(cells, ItemCell(p), "indicator board" + at, row);
      break;
    case RowKind::kSignal:
      Place(cells, ItemCell(p), "signal" + at, row);
      break;
    case RowKind::kCodeChange:
      Place(cells, FillCell(p), "code change" + at, row);
      break;
    case RowKind::kSlowdown: {
      Place(cells, ItemCell(p), "start of the slowdown" + at, row);
      Place(cells, ItemCell(p + row.value(2)), "end of the slowdown" + at, row);
      if (p > 1500) {
        Place(cells, ItemCell(p - 1200), "warning board of the slowdown" + at,
              row);
        if (row.value(4) != 0) {
          const std::int64_t h = FillCell(p - 1200);
          for (int n = 0; n < 4; ++n) {
            Place(cells, h - n, "pre-warning cell of the slowdown" + at, row);
          }
        }
      }
      break;
    }
    default:
      break;
  }
}

void StopMarksOverItems(LintContext& c) {
  std::map<std::int64_t, Item> cells;
  for (const LoggedRow& logged : c.line().rows()) {
    PlaceRow(cells, RowView(c.line(), logged));
  }
  int ordinal = 0;
  for (const LoggedRow& logged : c.train().rows()) {
    const RowView row(c.train(), logged);
    if (row.kind() != RowKind::kStation) {
      PlaceRow(cells, row);
      continue;
    }
    ++ordinal;
    if (!row.has(kStationName) || ordinal >= kFirstBoardTextSlot) continue;
    if (!StationStops(row.value(kStationKind))) continue;  // no stop mark
    const std::int64_t end = c.scenario().param_table[ordinal].long2;
    const std::int64_t stop = end / 50 - 1;
    auto it = cells.find(stop);
    if (it == cells.end()) continue;
    c.Add(WarningKind::kItemOverwritten, row.log(), row.keyword_index(),
          Position(row),
          "the stop mark of station " + StationName(row) + " takes cell " +
              std::to_string(stop) + ", where the " + it->second.what + " (" +
              At(it->second.row.keyword()) +
              ") stood: that item is overwritten and lost",
          LintContext::Spot(it->second.row.log(),
                            it->second.row.keyword_index()));
    cells.erase(it);
  }
}

}  // namespace

void FindRunWarnings(LintContext& c) {
  Timetable(c);
  KilometreStones(c);
  SpeedsAboveBoards(c);
  StopMarksOverItems(c);
}

}  // namespace scenario
