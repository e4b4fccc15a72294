#include "documents/train_card.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "line/builtin_line.h"
#include "line/builtin_line_rows_testing.h"
#include "train/builtin_train.h"
#include "train/builtin_train_rows_testing.h"

namespace scenario {
namespace {

// First line of each page, counted from 0 in the line list.
constexpr int kPageStart[] = {2, 53, 103, 152};

const std::vector<std::string>& Card() {
  static const std::vector<std::string> lines = dati_scheda();
  return lines;
}

const LineRows& Line() {
  static const LineRows rows = ParseLineRows(dati_linea());
  return rows;
}

const TrainRows& Train() {
  static const TrainRows rows = ParseTrainRows(dati_treno());
  return rows;
}

// Line Pn (from 1) of page p (from 1).
const std::string& PageLine(int p, int n) {
  return Card()[kPageStart[p - 1] + n - 1];
}

// The table rule: every cell filled with "_".
const std::string kRule =
    " |_____|_____|__________|_____|____________________________|"
    "________________|_____|";

// A row in the underscored form: every blank between the first and the
// last "|" written as "_".
std::string Underscored(std::string row) {
  const std::size_t first = row.find('|'), last = row.rfind('|');
  for (std::size_t i = first; i <= last; ++i) {
    if (row[i] == ' ') row[i] = '_';
  }
  return row;
}

enum class Kind {
  kOrigin,
  kStop,
  kThrough,
  kTerminus,
  kPost,
  kMark,
  kKilometre,
  kSpacer,
  kNote,
  kUnknown
};

// One table row taken apart. An underscored row is read back with its
// "_" as blanks.
struct TableRow {
  int page = 0;
  int number = 0;  // P number
  bool underscored = false;
  std::string cell[7];
  Kind kind = Kind::kUnknown;

  bool Blank(int i) const {
    return cell[i].find_first_not_of(' ') == std::string::npos;
  }
  std::string Label() const {
    std::string s = cell[4];
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
  }
};

constexpr int kBarColumns[] = {2, 8, 14, 25, 31, 60, 77, 83};

// Time "hh.mm" at characters from..from+4 (counted from 1) of the time
// cell, in minutes of the day; nullopt when that place holds no time.
std::optional<int> TimeAt(const std::string& cell, int from) {
  const std::string t = cell.substr(from - 1, 5);
  if (t.size() != 5 || t[2] != '.') return std::nullopt;
  for (int i : {0, 1, 3, 4}) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
  }
  return std::stoi(t.substr(0, 2)) * 60 + std::stoi(t.substr(3, 2));
}

// Blanks everywhere in the cell but at the given places (1-based, 5 long).
bool OnlyTimesAt(const std::string& cell, std::initializer_list<int> at) {
  std::string rest = cell;
  for (int from : at) {
    if (!TimeAt(cell, from)) return false;
    rest.replace(from - 1, 5, "     ");
  }
  return rest.find_first_not_of(' ') == std::string::npos;
}

Kind Classify(const TableRow& r) {
  bool all_blank = true;
  for (int i = 0; i < 7; ++i) all_blank = all_blank && r.Blank(i);
  if (all_blank) return Kind::kSpacer;
  if (r.cell[4] == "        PER MEMORIA         ") return Kind::kNote;
  const std::string label = r.Label();
  if (label.empty()) {
    bool others_blank = true;
    for (int i : {0, 1, 3, 5, 6}) others_blank = others_blank && r.Blank(i);
    return others_blank && !r.Blank(2) ? Kind::kKilometre : Kind::kUnknown;
  }
  if (label.starts_with("Cippo Km ") || label.starts_with("Cippi Km ")) {
    return r.Blank(5) ? Kind::kPost : Kind::kUnknown;
  }
  if (label == "Dev.U." || label == "Dev.I." || label == "Segn.Prot.") {
    return r.Blank(5) ? Kind::kMark : Kind::kUnknown;
  }
  const std::string& t = r.cell[5];
  if (OnlyTimesAt(t, {10})) return Kind::kOrigin;
  if (OnlyTimesAt(t, {2, 10})) return Kind::kStop;
  if (OnlyTimesAt(t, {6})) return Kind::kThrough;
  if (OnlyTimesAt(t, {2})) return Kind::kTerminus;
  return Kind::kUnknown;
}

// The 31 rows of each of pages 1 to 3 and page 2's closing stop row.
std::vector<TableRow> Rows() {
  std::vector<TableRow> rows;
  for (int p = 1; p <= 4; ++p) {
    for (int n = 15; n <= 46; ++n) {
      std::string text = PageLine(p, n);
      if (n == 46 && text == kRule) continue;
      TableRow r;
      r.page = p;
      r.number = n;
      r.underscored = text == Underscored(text);
      if (text.size() != 83) continue;  // the golden file pins the shape
      if (r.underscored) {
        std::replace(text.begin() + 1, text.end(), '_', ' ');
      }
      for (int i = 0; i < 7; ++i) {
        r.cell[i] = text.substr(kBarColumns[i],
                                kBarColumns[i + 1] - kBarColumns[i] - 1);
      }
      r.kind = Classify(r);
      rows.push_back(r);
    }
  }
  return rows;
}

// A kilometre figure in metres ("   31.100/" gives 31100).
std::optional<std::int32_t> Figure(const std::string& cell) {
  std::string s = cell;
  s.erase(0, s.find_first_not_of(' '));
  if (s.empty()) return std::nullopt;
  s.pop_back();  // the blank or "/" that closes it
  const std::size_t dot = s.find('.');
  if (dot == std::string::npos || s.size() - dot != 4) return std::nullopt;
  return std::stoi(s.substr(0, dot)) * 1000 + std::stoi(s.substr(dot + 1));
}

std::optional<int> Speed(const std::string& cell) {
  if (cell == "     ") return std::nullopt;
  return std::stoi(cell);
}

// The card describes the built-in run: its stations, times and kilometre
// figures must agree with the two descriptions.
TEST(TrainCard, StationsAndTimesAreTheRunsOwn) {
  const std::vector<StationRow>& st = Train().stations;
  std::vector<TableRow> rows;
  for (const TableRow& r : Rows()) {
    if (r.kind == Kind::kOrigin || r.kind == Kind::kStop ||
        r.kind == Kind::kThrough || r.kind == Kind::kTerminus) {
      rows.push_back(r);
    }
  }
  ASSERT_EQ(rows.size(), st.size());
  int previous_minute = 0;
  for (std::size_t k = 0; k < st.size(); ++k) {
    const TableRow& r = rows[k];
    const StationRow& s = st[k];
    SCOPED_TRACE(s.name);
    EXPECT_EQ(r.Label(), s.name);
    EXPECT_EQ(r.kind == Kind::kOrigin, k == 0);
    EXPECT_EQ(r.kind == Kind::kTerminus, k + 1 == st.size());
    // A station run through has no time in the description.
    EXPECT_EQ(r.kind == Kind::kThrough, !s.has_time());
    const std::string& t = r.cell[5];
    int first = 0, last = 0;
    switch (r.kind) {
      case Kind::kOrigin:
        // The timetable's 17.12; the description starts the run late.
        first = last = *TimeAt(t, 10);
        EXPECT_EQ(first, 17 * 60 + 12);
        EXPECT_GT(s.time(), first * 60);
        break;
      case Kind::kStop:
        first = *TimeAt(t, 2);
        last = *TimeAt(t, 10);
        // The departure is the description's time; the arrival is that
        // less the stop, to the minute.
        EXPECT_EQ(last * 60, s.time());
        EXPECT_EQ(first * 60, (s.time() - s.stop_seconds()) / 60 * 60);
        break;
      case Kind::kThrough:
        first = last = *TimeAt(t, 6);
        break;
      case Kind::kTerminus:
        first = last = *TimeAt(t, 2);
        EXPECT_EQ(first * 60, s.time());
        break;
      default:
        ADD_FAILURE();
    }
    EXPECT_GE(first, previous_minute);
    EXPECT_GE(last, first);
    previous_minute = last;
    // The figure is the station's kilometre reading; at the point where the
    // reading jumps, the row gives the position before the jump and "/".
    ASSERT_TRUE(Figure(r.cell[2]).has_value());
    if (s.position == Line().uno.start) {
      EXPECT_EQ(*Figure(r.cell[2]), s.position);
      EXPECT_EQ(r.cell[2].back(), '/');
    } else {
      EXPECT_EQ(*Figure(r.cell[2]), Line().Reading(s.position));
      EXPECT_EQ(r.cell[2].back(), ' ');
    }
  }
  EXPECT_EQ(rows.back().cell[6], " 1.5 ");
}

// Every kilometre figure names a point of the line through the kilometre
// records, and that point holds what the row says stands there.
TEST(TrainCard, EveryKilometreFigureIsAPointOfTheLine) {
  const LineRows& line = Line();
  std::set<std::int32_t> change_points;
  for (const ProfileRow& r : Train().limits) change_points.insert(r.position);
  for (std::size_t i = 0; i < line.boards.size(); ++i) {
    if (i == 0 || line.boards[i].vbs != line.boards[i - 1].vbs) {
      change_points.insert(line.boards[i].posizione);
    }
  }
  std::optional<std::int32_t> after_jump;
  bool first_mark = true;
  for (const TableRow& r : Rows()) {
    if (r.Blank(2)) continue;
    SCOPED_TRACE(r.cell[2] + r.Label());
    const std::int32_t figure = *Figure(r.cell[2]);
    if (r.cell[2].back() == '/') {
      after_jump = line.Reading(figure);
      continue;
    }
    const std::optional<std::int32_t> at = line.PositionOfReading(figure);
    ASSERT_TRUE(at.has_value());
    const std::string label = r.Label();
    switch (r.kind) {
      case Kind::kKilometre:
        // Right after the jump: the same point in the new reading.
        ASSERT_TRUE(after_jump.has_value());
        EXPECT_EQ(figure, *after_jump);
        break;
      case Kind::kPost: {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.3f", figure / 1000.0);
        EXPECT_EQ(label.substr(9), expected);
        EXPECT_TRUE(change_points.count(*at));
        break;
      }
      case Kind::kMark:
        if (label == "Segn.Prot.") {
          bool signal = false;
          for (const SignalRow& g : Train().signals) {
            signal = signal || (g.posizione == *at && g.s1 == 3);
          }
          EXPECT_TRUE(signal);
        } else if (first_mark) {
          // The origin's exit switches carry no board; the row stands
          // where the line speed takes over from the station's.
          EXPECT_EQ(label, "Dev.U.");
          EXPECT_EQ(*at, line.boards.front().posizione);
        } else {
          const char letter = label[4];
          bool board = false;
          for (const IndicatorRow& b : line.indicators) {
            board =
                board || (b.position == *at && b.text.starts_with("(Dev.") &&
                          b.text.find(letter) != std::string::npos);
          }
          EXPECT_TRUE(board);
        }
        first_mark = false;
        break;
      default:
        break;  // stations: checked with their names above
    }
  }
}

// Speeds: "Vel. Lim." is the line's rank B speed, "Vel. Marc." the speed
// the train runs at, "No Rs" the 120 km/h allowed without working signal
// repetition where the train runs faster. Every change of either speed
// has a row at its point, and rows give speeds only there.
TEST(TrainCard, SpeedsFollowTheBoardsAndTheTrainsLimits) {
  const LineRows& line = Line();
  std::set<std::int32_t> changes;
  for (std::size_t i = 1; i < Train().limits.size(); ++i) {
    changes.insert(Train().limits[i].position);
  }
  for (std::size_t i = 0; i < line.boards.size(); ++i) {
    if (i == 0 || line.boards[i].vbs != line.boards[i - 1].vbs) {
      changes.insert(line.boards[i].posizione);
    }
  }
  std::set<std::int32_t> listed;
  bool first_mark = true;
  for (const TableRow& r : Rows()) {
    const std::optional<int> lim = Speed(r.cell[0]);
    const std::optional<int> marc = Speed(r.cell[1]);
    const bool exit_switches = r.kind == Kind::kMark && first_mark;
    if (r.kind == Kind::kMark) first_mark = false;
    EXPECT_EQ(lim.has_value(), marc.has_value());
    if (r.kind == Kind::kPost) {
      EXPECT_TRUE(lim.has_value());
    }
    if (!lim) {
      EXPECT_EQ(r.cell[3], "     ");
      continue;
    }
    SCOPED_TRACE(r.cell[2] + r.Label());
    const std::int32_t at = *line.PositionOfReading(*Figure(r.cell[2]));
    const SpeedBoardRow* board = line.BoardAt(at);
    const std::int32_t limit = Train().LimitAt(at);
    EXPECT_EQ(*lim, board == nullptr ? limit : board->vbs);
    EXPECT_LE(*marc, std::min(*lim, limit));
    if (!exit_switches) {
      EXPECT_EQ(*marc, std::min(*lim, limit));
    }
    EXPECT_EQ(r.cell[3], *marc > 120 ? " 120 " : "     ");
    if (r.kind != Kind::kOrigin) {
      EXPECT_TRUE(changes.count(at));
      listed.insert(at);
    }
  }
  EXPECT_EQ(listed, changes);
}

}  // namespace
}  // namespace scenario
