#include "compile/random_pair_testing.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/fake_file_system.h"
#include "model/diagnostics.h"
#include "model/rounding.h"
#include "model/scenario_names.h"

namespace scenario {

namespace {

// The compiled line runs this far past its length.
constexpr std::int64_t kRunOut = 7000;
// The last plan metre a curve may reach (code 103 beyond).
constexpr std::int64_t kLastPlanMetre = 999999;
// Stations and indicator boards share these text slots (code 10 beyond).
constexpr std::int64_t kTextSlots = 78;
constexpr std::int64_t kMaxMountainRows = 80;
// The folder of the in-memory compile.
constexpr std::string_view kPairFolder = "/pair";

// Deterministic draws from a seed: std::mt19937 is specified to the bit,
// and the reduction to a range is our own, so every host draws alike.
class PairRandom {
 public:
  explicit PairRandom(std::uint32_t seed) : engine_(seed) {}

  // A whole number from lo to hi, both included. REQUIRES: lo <= hi and
  // hi - lo < 2^62.
  std::int64_t Between(std::int64_t lo, std::int64_t hi) {
    const std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
    const std::uint64_t high = engine_() & 0xffffffffu;
    const std::uint64_t draw = (high << 32) | (engine_() & 0xffffffffu);
    return lo + static_cast<std::int64_t>(draw % span);
  }
  bool OneIn(std::int64_t n) { return Between(1, n) == 1; }
  template <typename T>
  const T& Pick(std::initializer_list<T> choices) {
    const auto at = Between(0, static_cast<std::int64_t>(choices.size()) - 1);
    return *(choices.begin() + at);
  }
  template <typename T>
  void Shuffle(std::vector<T>& v) {
    for (std::size_t i = v.size(); i > 1; --i) {
      const auto j = static_cast<std::size_t>(
          Between(0, static_cast<std::int64_t>(i) - 1));
      std::swap(v[i - 1], v[j]);
    }
  }

 private:
  std::mt19937 engine_;
};

// What a code of the post-pass, which names a cell and no row, blames.
enum class Blame { kNone, kSignal, kSlowdown };

// One line of a description, a row or a header.
struct DraftRow {
  std::string text;  // without its line end
  bool droppable = true;
  Blame blame = Blame::kNone;
  std::int64_t cell = 0;  // a signal's cell, a slowdown's start cell
};

DraftRow Fixed(std::string text) { return {std::move(text), false}; }

// "keyword, v1, v2, ...", one blank after each comma.
std::string Row(std::string_view keyword,
                const std::vector<std::int64_t>& values) {
  std::string row(keyword);
  for (std::int64_t v : values) row += ", " + std::to_string(v);
  return row;
}

// A station planned before the line's rows, so that no line item is put
// where its stop mark will stand.
struct StationPlan {
  std::int64_t position = 0;
  std::int64_t kind = 0;
  std::int64_t length = 0;
  std::int64_t end_flag = 0;
};

bool Stops(std::int64_t kind) { return kind < 25; }

// Where a station's stretch lies around its position.
std::int64_t StretchBefore(const StationPlan& s) {
  return (s.kind >= 5 && s.kind <= 8) ? s.length : s.length / 2;
}
std::int64_t StretchAfter(const StationPlan& s) {
  if (s.kind == 5 || s.kind == 6) return 150;
  if (s.kind == 7 || s.kind == 8) return s.length;
  return s.length / 2 + (s.end_flag != 0 ? 50 : 0);
}

// The cell of a stopping station's stop mark.
std::int64_t StopCell(const StationPlan& s) {
  return (s.position + StretchAfter(s)) / 50 - 1;
}

// The state of one pair being drafted.
class Draft {
 public:
  Draft(std::uint32_t seed, const RandomPairOptions& options);

  PairRandom rng;
  std::int64_t length = 0;
  std::int64_t extended = 0;  // length + run-out
  std::int64_t last_cell = 0;
  std::int64_t text_rows = 0;  // stations and indicator boards
  std::vector<StationPlan> stations;

  // The last metre a row may place an item at (code 15 beyond).
  std::int64_t ItemLimit() const { return 50 * last_cell - 100; }
  // A cell that may take an item: not the header cells, within the array,
  // and not taken by an item or a planned stop mark.
  bool Free(std::int64_t cell) const {
    return cell >= 2 && cell <= last_cell &&
           taken_[static_cast<std::size_t>(cell)] == 0;
  }
  void Take(std::int64_t cell) {
    if (cell >= 0 && cell <= last_cell) {
      taken_[static_cast<std::size_t>(cell)] = 1;
    }
  }
  // About per_km rows a kilometre of line, at least lo.
  std::int64_t Count(double per_km, std::int64_t lo = 0) {
    const double km = static_cast<double>(length + 1000) / 1000.0;
    const auto mean = static_cast<std::int64_t>(per_km * km + 0.5);
    return rng.Between(lo, std::max(lo, 2 * mean + 1));
  }
  // A metre from lo to hi: on the 50 m grid four times in five, else any.
  // REQUIRES: lo <= hi.
  std::int64_t Metre(std::int64_t lo, std::int64_t hi) {
    const std::int64_t m = rng.Between(lo, hi);
    if (rng.OneIn(5)) return m;
    const std::int64_t on_grid = m - m % 50;
    return on_grid >= lo ? on_grid : m;
  }
  // n metres from lo to hi in rising order (n = 0 when lo > hi).
  std::vector<std::int64_t> RisingMetres(std::int64_t n, std::int64_t lo,
                                         std::int64_t hi) {
    std::vector<std::int64_t> metres;
    for (std::int64_t i = 0; i < n && lo <= hi; ++i) {
      metres.push_back(Metre(lo, hi));
    }
    std::sort(metres.begin(), metres.end());
    return metres;
  }
  // A free item cell's metre from lo to hi, within the line most of the
  // time; nothing after a few tries.
  std::optional<std::int64_t> FreeItemMetre(std::int64_t lo, std::int64_t hi) {
    hi = std::min(hi, ItemLimit());
    if (!rng.OneIn(20)) hi = std::min(hi, std::max(lo, length));
    for (int attempt = 0; attempt < 12 && lo <= hi; ++attempt) {
      const std::int64_t p = Metre(lo, hi);
      if (Free(ItemCell(p))) return p;
    }
    return std::nullopt;
  }

 private:
  std::vector<char> taken_;
};

std::int64_t ChooseLength(PairRandom& rng) {
  const std::int64_t r = rng.Between(1, 100);
  std::int64_t length;
  if (r <= 2) {
    length = rng.OneIn(3) ? 1000000 : rng.Between(200000, 1000000);
  } else if (r <= 10) {
    length = rng.Between(20000, 200000);
  } else if (r <= 14) {
    length = rng.OneIn(8) ? 0 : rng.Between(0, 2000);
  } else {
    length = rng.Between(2000, 20000);
  }
  if (!rng.OneIn(8)) length -= length % 50;
  return length;
}

Draft::Draft(std::uint32_t seed, const RandomPairOptions& options) : rng(seed) {
  length = options.length ? *options.length : ChooseLength(rng);
  extended = length + kRunOut;
  last_cell = RoundRatio(extended, 50);
  taken_.assign(static_cast<std::size_t>(last_cell) + 1, 0);
}

// ---- The line description.

std::string KilometreValues(Draft& d, std::int64_t shared_start) {
  if (d.rng.OneIn(3)) return "0, 0, 0";
  const std::int64_t start =
      shared_start >= 0
          ? shared_start
          : (d.rng.OneIn(3) ? 0 : d.rng.Between(0, d.length / 50) * 50);
  const std::int64_t offset = d.rng.Between(-200, 2000) * 50;
  const std::int64_t flag = d.rng.OneIn(4) ? 1 : 0;
  return std::to_string(start) + ", " + std::to_string(offset) + ", " +
         std::to_string(flag);
}

std::vector<DraftRow> LineGeneralRows(Draft& d) {
  PairRandom& r = d.rng;
  std::vector<DraftRow> rows;
  rows.push_back(Fixed(Row("lunghezza percorso", {d.length})));
  // Now and then two records share the greatest start, which clears all
  // three.
  const std::int64_t shared =
      r.OneIn(10) ? r.Between(1, d.length / 50 + 1) * 50 : -1;
  for (std::string_view which : {"uno", "due", "tre"}) {
    rows.push_back({"progressiva chilometrica " + std::string(which) + ", " +
                    KilometreValues(d, which == "tre" ? -1 : shared)});
  }
  if (r.OneIn(10)) {  // overwritten by the row after it
    rows.push_back({"progressiva chilometrica due, " + KilometreValues(d, -1)});
  }
  for (std::string_view which : {"uno", "due", "tre"}) {
    if (r.OneIn(5)) continue;
    rows.push_back({Row("sfondo " + std::string(which), {r.Between(-3, 5)})});
  }
  if (!r.OneIn(6)) {
    const std::int64_t start = r.Between(0, d.length / 50) * 50;
    const std::int64_t end =
        r.OneIn(5) ? 0 : r.Between(start / 50, d.extended / 50) * 50;
    const std::string codes = r.OneIn(2) ? "9" : "4";
    rows.push_back(
        {Row("ripetizione segnali " + codes + " codici", {start, end})});
  }
  r.Shuffle(rows);
  return rows;
}

std::vector<DraftRow> CurveRows(Draft& d) {
  PairRandom& r = d.rng;
  const std::int64_t limit = std::min(d.extended - 2, kLastPlanMetre);
  const std::int64_t n = d.Count(0.4);
  const std::int64_t spacing = d.extended / (n + 1) + 1;
  std::vector<DraftRow> rows;
  std::int64_t plan = 0;  // where the plan stands after the rows so far
  for (std::int64_t i = 0; i < n; ++i) {
    std::int64_t start = plan + r.Between(0, 2 * spacing);
    if (r.OneIn(6)) start = plan;  // touching the curve before
    if (r.OneIn(10))
      start = std::max<std::int64_t>(0, plan - r.Between(1, 400));
    std::int64_t curve_length = r.Between(20, 1200);
    if (r.OneIn(25)) curve_length = -r.Between(0, 100);
    if (!r.OneIn(5)) curve_length -= curve_length % 10;
    if (start + std::max<std::int64_t>(curve_length, 0) > limit ||
        start + 100 > 50 * d.last_cell) {
      break;
    }
    std::string keyword = r.OneIn(5) ? "CURVA" : "curva";
    keyword += r.Pick({'s', 'd', 'S', 'D'});
    keyword += static_cast<char>('0' + r.Between(1, 6));
    rows.push_back({Row(keyword, {start, curve_length})});
    plan = std::max(plan, start + curve_length);
  }
  return rows;
}

// A gradient, steep or beyond the stored byte now and then.
std::int64_t GradientValue(PairRandom& r) {
  if (r.OneIn(60)) return r.Pick<std::int64_t>({-300, 160, 400, 600});
  if (r.OneIn(10)) {
    return r.OneIn(2) ? r.Between(-100, -60) : r.Between(60, 155);
  }
  return r.Between(-25, 25);
}

// Rows "keyword, position, value" of a profile that holds from each row to
// the next: the first at 0 most of the time, rising, with a row now and
// then at the metre of the one before or behind it (overwritten cells).
template <typename Value>
std::vector<DraftRow> ProfileRows(Draft& d, std::string_view keyword,
                                  double per_km, Value value) {
  PairRandom& r = d.rng;
  std::vector<std::int64_t> metres =
      d.RisingMetres(d.Count(per_km), 1, d.ItemLimit());
  if (!r.OneIn(12)) metres.insert(metres.begin(), 0);
  std::vector<DraftRow> rows;
  for (std::size_t i = 0; i < metres.size(); ++i) {
    std::int64_t p = metres[i];
    if (i > 0 && r.OneIn(15)) p = metres[i - 1];
    if (i > 0 && r.OneIn(20)) {
      p = std::max<std::int64_t>(0, metres[i - 1] - r.Between(50, 600));
    }
    rows.push_back({Row(keyword, {p, value(r)})});
  }
  return rows;
}

std::vector<DraftRow> MountainRows(Draft& d) {
  PairRandom& r = d.rng;
  const std::int64_t n = std::min(kMaxMountainRows, d.Count(0.15));
  const std::int64_t spacing = d.extended / (n + 1) + 1;
  const std::int64_t limit = 50 * d.last_cell;
  std::vector<DraftRow> rows;
  std::int64_t end = 0;
  for (std::int64_t i = 0; i < n; ++i) {
    std::int64_t inizio = end + d.Metre(0, 2 * spacing);
    if (i > 0 && r.OneIn(5)) inizio = end + r.Between(0, 150);  // close
    if (i > 0 && r.OneIn(10)) {  // overlapping the one before
      inizio = std::max<std::int64_t>(0, end - r.Between(50, 300));
    }
    std::int64_t fine = inizio + d.Metre(100, 3000);
    if (r.OneIn(30)) fine = inizio - r.Between(0, 200);  // no cell filled
    if (inizio + 100 > limit || fine > limit) break;
    rows.push_back({Row(r.OneIn(4) ? "MONTAGNA" : "montagna",
                        {inizio, fine, r.Between(1, 20)})});
    end = std::max(end, fine);
  }
  return rows;
}

std::vector<std::int64_t> BoardSpeeds(PairRandom& r) {
  std::int64_t v = r.Between(6, 36) * 5;
  std::vector<std::int64_t> speeds;
  for (int i = 0; i < 3; ++i) {
    speeds.push_back(r.OneIn(20) ? v + r.Between(1, 4) : v);
    v += r.Pick<std::int64_t>({0, 5, 10});
  }
  return speeds;
}

std::string SpeedBoardRow(PairRandom& r, std::int64_t p) {
  const std::vector<std::int64_t> s = BoardSpeeds(r);
  std::string row = Row(r.OneIn(4) ? "INDICATORI_VMAX" : "indicatori_vmax",
                        {p, s[0], s[1], s[2], r.Between(0, 9)});
  if (r.OneIn(2)) return row + ", , , , " + std::to_string(r.Between(0, 9));
  const std::vector<std::int64_t> t = BoardSpeeds(r);
  return row + ", " + std::to_string(t[0]) + ", " + std::to_string(t[1]) +
         ", " + std::to_string(t[2]) + ", " + std::to_string(r.Between(0, 9));
}

std::string BoardText(PairRandom& r, std::int64_t p) {
  const std::int64_t km = p / 1000;
  const std::int64_t m = p % 1000;
  switch (r.Between(0, 5)) {
    case 0:
      return "(Dev.I.)";
    case 1:
      return "(Dev.)(U.  )";
    case 2:
      return "(Citt\xe0 alta)";
    case 3:
      return "Galleria \xc8rto";
    default:
      return "(  Cippo  )(Km " + std::to_string(km) + "+" +
             std::string(m < 100 ? (m < 10 ? "00" : "0") : "") +
             std::to_string(m) + ")";
  }
}

// The maximum-speed and indicator boards, on free cells: rarely one on a
// planned stop mark, which then overwrites it.
std::vector<DraftRow> BoardRows(Draft& d, bool indicator) {
  PairRandom& r = d.rng;
  const std::int64_t wanted = indicator ? d.Count(0.05) : d.Count(0.12);
  std::vector<std::pair<std::int64_t, DraftRow>> boards;
  for (std::int64_t i = 0; i < wanted; ++i) {
    std::optional<std::int64_t> p = d.FreeItemMetre(100, d.ItemLimit());
    if (!p) continue;
    if (indicator) {
      if (d.text_rows >= kTextSlots) break;
      ++d.text_rows;
      const char* keyword = r.Pick(
          {"cartello_indicatore", "CARTELLO_INDICATORE", "cartello indicat"});
      boards.push_back({*p,
                        {std::string(keyword) + ", " + std::to_string(*p) +
                         ", " + BoardText(r, *p)}});
    } else {
      boards.push_back({*p, {SpeedBoardRow(r, *p)}});
    }
    d.Take(ItemCell(*p));
  }
  // The board's cell is the first stop mark's (reserved for it, so no
  // other item stands there): the mark overwrites the board's kind and
  // first word and keeps the others.
  if (!indicator && !d.stations.empty() && Stops(d.stations[0].kind) &&
      r.OneIn(100)) {
    const std::int64_t stop = StopCell(d.stations[0]);
    const std::int64_t p = 50 * (stop - 1);
    if (p >= 100) boards.push_back({p, {SpeedBoardRow(r, p)}});
  }
  // Boards may stand in any order; most authors write them rising.
  if (r.OneIn(4)) {
    r.Shuffle(boards);
  } else {
    std::stable_sort(
        boards.begin(), boards.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  std::vector<DraftRow> rows;
  for (auto& b : boards) rows.push_back(std::move(b.second));
  return rows;
}

// ---- The stations, planned before the line's items.

StationPlan DrawStation(PairRandom& r, bool first) {
  StationPlan s;
  s.kind = first ? r.Pick<std::int64_t>({8, 8, 7, 22, 2})
                 : r.Pick<std::int64_t>({22, 22, 22, 2, 4, 12, 27, 28, 5, 6, 7,
                                         8, 25, 0, 1, 30, 255});
  s.length = r.OneIn(15) ? 0 : r.Between(1, 10) * 100;
  s.end_flag = r.OneIn(3) ? 1 : 0;
  return s;
}

void PlanStations(Draft& d) {
  PairRandom& r = d.rng;
  const std::int64_t wanted =
      std::min<std::int64_t>(kTextSlots - 20, d.Count(0.1, r.OneIn(8) ? 0 : 1));
  const std::int64_t spacing = d.extended / (wanted + 1) + 1;
  std::int64_t previous_end = 0;
  for (std::int64_t k = 0; k < wanted; ++k) {
    StationPlan s = DrawStation(r, k == 0);
    std::int64_t lowest =
        k == 0 ? StretchBefore(s) / 2 : previous_end + 350 + StretchBefore(s);
    lowest = std::max<std::int64_t>(lowest, 150);
    std::int64_t p = lowest + r.Between(0, spacing);
    if (k == 0 && r.OneIn(3)) p = lowest;
    p += (50 - p % 50) % 50;
    const std::int64_t end = p + StretchAfter(s);
    if (p + 800 > 50 * d.last_cell || end > d.ItemLimit() ||
        (Stops(s.kind) && end / 50 - 1 < 2)) {
      break;
    }
    s.position = p;
    if (Stops(s.kind)) d.Take(StopCell(s));
    d.stations.push_back(s);
    previous_end = end;
  }
  d.text_rows += static_cast<std::int64_t>(d.stations.size());
}

// ---- The train description.

std::string StationName(PairRandom& r) {
  return r.Pick<std::string>({"Tarvo San Rocco", "Borgo-Nuovo", "Ponte Rio",
                              "Fondovalle", "Citt\xe0 Alta", "Santa Lucia",
                              "S. Mart\xecno", "Cr\xe8t", "Le Fornaci",
                              "Valle"});
}

std::vector<std::int64_t> StationFields(PairRandom& r) {
  if (r.OneIn(10)) {
    return {r.Between(0, 255),        r.Between(0, 255),
            r.Between(0, 255),        r.Between(-32768, 32767),
            r.Between(-32768, 32767), r.Between(0, 255),
            r.Between(-32768, 32767), r.Between(-32768, 32767),
            r.Between(-32768, 32767), r.Between(0, 255)};
  }
  return {r.Between(0, 1), r.Between(0, 1),
          r.Between(0, 1), r.Between(0, 4),
          r.Between(0, 1), 0,
          r.Between(0, 5), r.Between(0, 1),
          r.Between(0, 1), r.Pick<std::int64_t>({60, 60, 0})};
}

std::vector<DraftRow> StationRows(Draft& d) {
  PairRandom& r = d.rng;
  std::vector<DraftRow> rows;
  std::int64_t seconds = r.Between(5 * 3600, 20 * 3600);
  for (const StationPlan& s : d.stations) {
    std::vector<std::int64_t> values = {s.position, s.kind, s.length};
    std::vector<std::int64_t> fields = StationFields(r);
    fields[2] = s.end_flag;
    values.insert(values.end(), fields.begin(), fields.end());
    std::int64_t h = seconds / 3600, m = seconds / 60 % 60, sec = seconds % 60;
    if (r.OneIn(8)) h = m = sec = 0;  // no time
    if (r.OneIn(40)) h += 24;         // past midnight, stored as written
    values.insert(values.end(), {h, m, sec});
    seconds += r.Between(60, 1800);
    rows.push_back({Row(r.OneIn(4) ? "STAZIONE" : "stazione", values) + ", " +
                    StationName(r)});
  }
  return rows;
}

// The code marks the post-pass puts before a slowdown's start and along
// it: the cells they will most likely take are kept from other items, so
// that few drafts need a row left out.
void KeepMarkCells(Draft& d, std::int64_t start, std::int64_t end, bool walks) {
  for (std::int64_t first : {5, 11, 18}) {
    for (std::int64_t n = start - first; n >= start - first - 2; --n) {
      if (d.Free(n)) {
        d.Take(n);
        break;
      }
    }
  }
  if (!walks) return;
  for (std::int64_t n = start + 8; n < end; n += 8) {
    for (std::int64_t c : {n, n - 1, n + 1}) {
      if (d.Free(c)) {
        d.Take(c);
        break;
      }
    }
  }
}

// The cells a slowdown takes, when all are free.
std::optional<std::vector<std::int64_t>> SlowdownCells(const Draft& d,
                                                       std::int64_t x,
                                                       std::int64_t l,
                                                       bool pre_warnings) {
  std::vector<std::int64_t> cells = {ItemCell(x)};
  if (ItemCell(x + l) != cells[0]) cells.push_back(ItemCell(x + l));
  if (x > 1500) {
    cells.push_back(ItemCell(x - 1200));
    if (pre_warnings) {
      const std::int64_t h = FillCell(x - 1200);
      for (std::int64_t n = 0; n < 4; ++n) cells.push_back(h - n);
    }
  }
  for (std::int64_t c : cells) {
    if (!d.Free(c)) return std::nullopt;
  }
  return cells;
}

std::optional<DraftRow> SlowdownRow(Draft& d) {
  PairRandom& r = d.rng;
  std::int64_t v = r.OneIn(3) ? r.Between(22, 32) * 5 : r.Between(2, 21) * 5;
  if (r.OneIn(30)) v = r.Between(1, 200);
  std::int64_t l = r.OneIn(30) ? 0 : r.Between(1, 40) * 50;
  if (r.OneIn(6)) l += r.Between(1, 49);
  const std::int64_t f_tt = r.OneIn(8) ? r.Between(1, 3) : 0;
  const std::int64_t f_ta = r.OneIn(2) ? (r.OneIn(10) ? 2 : 1) : 0;
  const std::int64_t d_v = r.OneIn(4) ? r.Between(2, 20) * 5 : 0;
  for (int attempt = 0; attempt < 12; ++attempt) {
    const std::optional<std::int64_t> x =
        d.FreeItemMetre(100, d.ItemLimit() - l);
    if (!x) continue;
    const auto cells = SlowdownCells(d, *x, l, f_ta != 0);
    if (!cells) continue;
    for (std::int64_t c : *cells) d.Take(c);
    KeepMarkCells(d, ItemCell(*x), ItemCell(*x + l), v < 110);
    DraftRow row{Row(r.OneIn(4) ? "RALLENTAMENTO" : "rallentamento",
                     {*x, v, l, f_tt, f_ta, d_v})};
    row.blame = Blame::kSlowdown;
    row.cell = ItemCell(*x);
    return row;
  }
  return std::nullopt;
}

std::vector<DraftRow> SlowdownRows(Draft& d) {
  std::vector<DraftRow> rows;
  const std::int64_t n = d.Count(0.08);
  for (std::int64_t i = 0; i < n; ++i) {
    if (std::optional<DraftRow> row = SlowdownRow(d)) {
      rows.push_back(std::move(*row));
    }
  }
  if (d.rng.OneIn(4)) d.rng.Shuffle(rows);
  return rows;
}

std::string SignalValues(PairRandom& r) {
  const std::int64_t sx = r.OneIn(2) ? 2 : r.Between(0, 1);
  std::int64_t tempo = 0;
  if (r.OneIn(2)) tempo = r.Between(101, 255);
  if (r.OneIn(12)) tempo = r.Between(1, 100);  // raised to 101
  std::string values = std::to_string(sx);
  for (std::int64_t v : {r.Between(0, 9), r.Between(0, 9), r.Between(0, 9),
                         r.Between(0, 1), r.Between(0, 2), r.Between(0, 9),
                         r.Between(0, 9), r.Between(0, 9), tempo}) {
    values += ", " + std::to_string(v);
  }
  return values;
}

// Signals in any order; some close behind another, their look-back cells
// overlapping.
std::vector<DraftRow> SignalRows(Draft& d) {
  PairRandom& r = d.rng;
  std::vector<DraftRow> rows;
  const std::int64_t n = d.Count(0.7);
  std::optional<std::int64_t> p;
  for (std::int64_t i = 0; i < n; ++i) {
    if (p && r.OneIn(6) && d.Free(ItemCell(*p + 100))) {
      p = *p + r.Pick<std::int64_t>({100, 150, 200});
    } else {
      p = d.FreeItemMetre(350, d.ItemLimit());
    }
    if (!p || !d.Free(ItemCell(*p)) || *p > d.ItemLimit()) {
      p.reset();
      continue;
    }
    d.Take(ItemCell(*p));
    DraftRow row{std::string(r.OneIn(4) ? "SEGNALE" : "segnale") + ", " +
                 std::to_string(*p) + ", " + SignalValues(r)};
    row.blame = Blame::kSignal;
    row.cell = ItemCell(*p);
    rows.push_back(std::move(row));
  }
  if (r.OneIn(3)) r.Shuffle(rows);
  return rows;
}

std::vector<DraftRow> CodeChangeRows(Draft& d) {
  PairRandom& r = d.rng;
  std::vector<DraftRow> rows;
  const std::int64_t n = d.Count(0.15);
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int64_t p = d.Metre(100, std::max<std::int64_t>(100, d.length));
    if (p > d.ItemLimit() || !d.Free(FillCell(p))) continue;
    d.Take(FillCell(p));
    std::int64_t code = r.OneIn(2) ? 270 : r.Between(1, 400);
    if (r.OneIn(8)) code = 180;
    if (r.OneIn(8)) code = 0;
    if (r.OneIn(16)) code = -r.Between(1, 50);
    rows.push_back(
        {Row(r.OneIn(4) ? "ABBATTIMENTO" : "abbattimento", {p, code})});
  }
  if (r.OneIn(3)) r.Shuffle(rows);
  return rows;
}

std::vector<DraftRow> TrainGeneralRows(Draft& d) {
  PairRandom& r = d.rng;
  std::vector<DraftRow> rows;
  if (!r.OneIn(8)) rows.push_back({Row("numero vetture", {r.Between(1, 12)})});
  if (!r.OneIn(8)) {
    rows.push_back({Row("percentuale massa frenata", {r.Between(60, 160)})});
  }
  if (!r.OneIn(8)) rows.push_back({Row("sabbia", {r.Between(0, 400)})});
  if (r.OneIn(20)) rows.push_back({Row("SABBIA", {r.Between(-32768, 32767)})});
  if (!r.OneIn(8)) {
    rows.push_back({"orologio, " + std::to_string(r.Between(0, 23)) + "  " +
                    std::to_string(r.Between(0, 59)) + "   " +
                    std::to_string(r.Between(0, 59))});
  }
  r.Shuffle(rows);
  return rows;
}

// ---- Putting the rows together.

// The sections' rows one after the other under their headers, or now and
// then mixed (each kind keeping its own order) under the first header.
std::vector<DraftRow> Sections(
    PairRandom& r,
    std::vector<std::pair<std::string, std::vector<DraftRow>>> sections) {
  std::vector<DraftRow> rows;
  if (!r.OneIn(10)) {
    for (auto& [header, part] : sections) {
      rows.push_back(Fixed(header));
      if (r.OneIn(20)) rows.push_back(Fixed("----------"));
      for (DraftRow& row : part) rows.push_back(std::move(row));
    }
    return rows;
  }
  rows.push_back(Fixed(sections.front().first));
  std::vector<std::size_t> next(sections.size(), 0);
  for (;;) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < sections.size(); ++i) {
      if (next[i] < sections[i].second.size()) open.push_back(i);
    }
    if (open.empty()) break;
    const std::size_t i = open[static_cast<std::size_t>(
        r.Between(0, static_cast<std::int64_t>(open.size()) - 1))];
    rows.push_back(std::move(sections[i].second[next[i]++]));
  }
  return rows;
}

std::vector<DraftRow> LineRows(Draft& d) {
  PairRandom& r = d.rng;
  std::vector<DraftRow> rows = {Fixed("[generale]")};
  for (DraftRow& row : LineGeneralRows(d)) rows.push_back(std::move(row));
  std::vector<DraftRow> curves = CurveRows(d);
  std::vector<DraftRow> gradients =
      ProfileRows(d, r.OneIn(4) ? "PENDENZA" : "pendenza", 0.8,
                  [](PairRandom& pr) { return GradientValue(pr); });
  std::vector<DraftRow> mountains = MountainRows(d);
  std::vector<DraftRow> speed_boards = BoardRows(d, false);
  std::vector<DraftRow> indicator_boards = BoardRows(d, true);
  for (DraftRow& row :
       Sections(r, {{"[curve]", std::move(curves)},
                    {"[pendenze]", std::move(gradients)},
                    {"[montagne]", std::move(mountains)},
                    {"[cartelli]", std::move(speed_boards)},
                    {"[indicazioni]", std::move(indicator_boards)}})) {
    rows.push_back(std::move(row));
  }
  rows.push_back(Fixed("[fine]"));
  return rows;
}

std::int64_t AdhesionValue(PairRandom& r) {
  if (r.OneIn(40)) return r.Between(256, 300);  // only the low byte stays
  return r.OneIn(10) ? r.Between(0, 255) : r.Between(60, 90);
}

std::int64_t SpeedValue(PairRandom& r) {
  if (r.OneIn(40)) return r.Between(1, 300);  // rounded to 5 km/h
  return r.Between(4, 40) * 5;
}

std::vector<DraftRow> TrainRows(Draft& d) {
  PairRandom& r = d.rng;
  std::vector<DraftRow> rows = {Fixed("[generale]")};
  for (DraftRow& row : TrainGeneralRows(d)) rows.push_back(std::move(row));
  std::vector<DraftRow> adhesions = ProfileRows(
      d, "aderenza", 0.2, [](PairRandom& pr) { return AdhesionValue(pr); });
  std::vector<DraftRow> limits =
      ProfileRows(d, r.OneIn(4) ? "VELOCITA" : "velocita", 0.3,
                  [](PairRandom& pr) { return SpeedValue(pr); });
  std::vector<DraftRow> stations = StationRows(d);
  std::vector<DraftRow> slowdowns = SlowdownRows(d);
  std::vector<DraftRow> signals = SignalRows(d);
  std::vector<DraftRow> codes = CodeChangeRows(d);
  for (DraftRow& row : Sections(r, {{"[aderenze]", std::move(adhesions)},
                                    {"[vel_limite]", std::move(limits)},
                                    {"[stazioni]", std::move(stations)},
                                    {"[rallentamenti]", std::move(slowdowns)},
                                    {"[segnali]", std::move(signals)},
                                    {"[codici]", std::move(codes)}})) {
    rows.push_back(std::move(row));
  }
  rows.push_back(Fixed("[fine]"));
  return rows;
}

std::string Text(const std::vector<DraftRow>& rows) {
  std::string text;
  for (const DraftRow& row : rows) text += row.text + "\r\n";
  return text;
}

// ---- Leaving out the rows that codes blame.

// The row a diagnostic blames: by its line in its file, or, for a code of
// the post-pass, by the cell it names. False when none can be left out.
bool DropBlamedRow(const Diagnostic& diagnostic, const RandomPair& pair,
                   std::vector<DraftRow>& line, std::vector<DraftRow>& train) {
  const ScenarioFileNames names =
      MakeFileNames(kPairFolder, pair.line_name, pair.train_name);
  const SourceSpot& where = diagnostic.where;
  if (where.line > 0) {
    std::vector<DraftRow>* rows = where.file == names.line_description ? &line
                                  : where.file == names.train_description
                                      ? &train
                                      : nullptr;
    const auto at = static_cast<std::size_t>(where.line - 1);
    if (rows == nullptr || at >= rows->size() || !(*rows)[at].droppable) {
      return false;
    }
    rows->erase(rows->begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  }
  if (!diagnostic.position) return false;
  const std::int64_t cell = *diagnostic.position / 50;
  const Blame blame = diagnostic.code == 11 ? Blame::kSignal : Blame::kSlowdown;
  // Code 13 names a cell along or after the slowdown: the one that starts
  // closest below it.
  auto blamed = train.end();
  for (auto it = train.begin(); it != train.end(); ++it) {
    if (it->blame != blame) continue;
    const bool hit =
        diagnostic.code == 13 ? it->cell <= cell : it->cell == cell;
    if (hit && (blamed == train.end() || it->cell > blamed->cell)) blamed = it;
  }
  if (blamed == train.end()) return false;
  train.erase(blamed);
  return true;
}

// Leaves out every row of one kind of train item, slowdowns first.
bool DropAllOf(std::vector<DraftRow>& train) {
  for (Blame blame : {Blame::kSlowdown, Blame::kSignal}) {
    const auto before = train.size();
    std::erase_if(train,
                  [blame](const DraftRow& r) { return r.blame == blame; });
    if (train.size() != before) return true;
  }
  return false;
}

}  // namespace

RandomPair MakeRandomPair(std::uint32_t seed,
                          const RandomPairOptions& options) {
  Draft d(seed, options);
  RandomPair pair;
  pair.seed = seed;
  pair.line_name = d.rng.Pick<std::string>(
                       {"Gen", "Valle", "Citt\xe0", "Monte Alto", "Linea"}) +
                   std::to_string(seed % 1000);
  pair.train_name = d.rng.Pick<std::string>({"R ", "Exp ", "Reg ", "IC "}) +
                    std::to_string(d.rng.Between(1, 9999));
  PlanStations(d);
  std::vector<DraftRow> line = LineRows(d);
  std::vector<DraftRow> train = TrainRows(d);
  for (;;) {
    pair.line_text = Text(line);
    pair.train_text = Text(train);
    InMemoryCompile compile;
    CompileInMemory(pair.line_text, pair.train_text, pair.line_name,
                    pair.train_name, &compile);
    const std::vector<Diagnostic>& found = compile.scenario.errors.diagnostics;
    if (found.empty()) break;
    if (!DropBlamedRow(found.front(), pair, line, train) && !DropAllOf(train)) {
      break;  // the generator's own test fails on such a pair
    }
  }
  return pair;
}

RandomPair LongestRandomPair() {
  RandomPairOptions options;
  options.length = kLongestLine;
  return MakeRandomPair(kLongestPairSeed, options);
}

void CompileInMemory(std::string_view line_text, std::string_view train_text,
                     std::string_view line_name, std::string_view train_name,
                     InMemoryCompile* out) {
  const ScenarioFileNames names =
      MakeFileNames(kPairFolder, line_name, train_name);
  FakeFileSystem fs;
  fs.files[names.line_description] = std::string(line_text);
  fs.files[names.train_description] = std::string(train_text);
  CompileFiles files;
  files.line_description = names.line_description;
  files.train_description = names.train_description;
  files.delete_descriptions = false;
  files.grid_file = names.line_grid;
  files.param_file = names.param_file;
  files.cell_file = names.cell_file;
  out->scenario.line_name = std::string(line_name);
  out->scenario.train_name = std::string(train_name);
  out->result = memorizza_percorso(out->scenario, 1, fs, files);
  out->cell_file = fs.Contents(files.cell_file);
  out->param_file = fs.Contents(files.param_file);
  out->grid_file = fs.Contents(files.grid_file);
}

}  // namespace scenario
