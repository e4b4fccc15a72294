#include "tools/row_diff.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <span>
#include <tuple>
#include <utility>

#include "base/windows1252.h"
#include "line/row_fields.h"

namespace scenario {
namespace {

// How many of the nearest left-over rows on each side of a row are tried
// as the other end of its move: enough for any edit an author makes by
// hand, and it keeps two unrelated scenarios from costing a product of
// their rows.
constexpr std::size_t kMoveCandidates = 8;

bool IsGeneral(RowKind kind) {
  switch (kind) {
    case RowKind::kLength:
    case RowKind::kKilometreTre:
    case RowKind::kKilometreDue:
    case RowKind::kKilometreUno:
    case RowKind::kSelectorUno:
    case RowKind::kSelectorDue:
    case RowKind::kSelectorTre:
    case RowKind::kRepetition:
    case RowKind::kBrakedMass:
    case RowKind::kCoaches:
    case RowKind::kClock:
    case RowKind::kSand:
      return true;
    default:
      return false;
  }
}

bool IsProfile(RowKind kind) {
  return kind == RowKind::kGradient || kind == RowKind::kSpeedLimit ||
         kind == RowKind::kAdhesion;
}

// A row's field as the diff shows it.
struct ShownField {
  std::string name;
  std::string unit;
  std::optional<FieldValue> value;
  bool position = false;  // the first field of a positioned row
};

// "17:18:00"; the values as the row holds them, whatever they are.
std::string TimeText(std::int64_t h, std::int64_t m, std::int64_t s) {
  char text[80];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld",
                static_cast<long long>(h), static_cast<long long>(m),
                static_cast<long long>(s));
  return text;
}

// Replaces the fields "hours", "minutes", "seconds", in that order, by one
// field "time".
void JoinTime(std::vector<ShownField>* fields) {
  for (std::size_t i = 0; i + 2 < fields->size(); ++i) {
    ShownField* f = fields->data() + i;
    if (f[0].name != "hours" || f[1].name != "minutes" ||
        f[2].name != "seconds") {
      continue;
    }
    std::optional<FieldValue> time;
    if (f[0].value && f[1].value && f[2].value) {
      time = TimeText(std::get<std::int64_t>(*f[0].value),
                      std::get<std::int64_t>(*f[1].value),
                      std::get<std::int64_t>(*f[2].value));
    }
    f[0] = {"time", "", std::move(time), false};
    const auto at = fields->begin() + static_cast<std::ptrdiff_t>(i) + 1;
    fields->erase(at, at + 2);
    return;
  }
}

std::vector<ShownField> ShownFields(const RecoveredRow& row) {
  const std::span<const FieldGuide> guides = RowFields(row.kind);
  std::vector<ShownField> fields;
  std::size_t next = 0;
  for (std::size_t i = 0; i < guides.size(); ++i) {
    const FieldGuide& g = guides[i];
    ShownField f{std::string(g.name), std::string(g.unit), std::nullopt,
                 i == 0 && !IsGeneral(row.kind)};
    if (g.width == FieldWidth::kText) {
      f.value = Windows1252ToUtf8(row.text);
    } else if (next < row.numbers.size()) {
      f.value = row.numbers[next++];
    }
    fields.push_back(std::move(f));
  }
  JoinTime(&fields);
  return fields;
}

bool IsStationName(RowKind kind, const ShownField& f) {
  return kind == RowKind::kStation && f.name == "name";
}

// The fields of a pair of rows of one kind that differ, the position and
// (unless with_name) a station's name left out.
std::vector<FieldChange> Differences(const RecoveredRow& a,
                                     const RecoveredRow& b, bool with_name) {
  std::vector<FieldChange> out;
  if (a.keyword != b.keyword) {
    out.push_back({"keyword", Windows1252ToUtf8(a.keyword),
                   Windows1252ToUtf8(b.keyword), ""});
  }
  const std::vector<ShownField> fa = ShownFields(a);
  const std::vector<ShownField> fb = ShownFields(b);
  for (std::size_t i = 0; i < fa.size() && i < fb.size(); ++i) {
    if (fa[i].position || fa[i].value == fb[i].value) continue;
    if (!with_name && IsStationName(a.kind, fa[i])) continue;
    out.push_back({fa[i].name, fa[i].value, fb[i].value, fa[i].unit});
  }
  return out;
}

// Every field of a row that one side lacks, on that side's end of the
// change.
std::vector<FieldChange> AllFields(const RecoveredRow& row, bool old_side) {
  std::vector<FieldChange> out;
  for (ShownField& f : ShownFields(row)) {
    if (f.position || IsStationName(row.kind, f)) continue;
    FieldChange c{f.name, std::nullopt, std::nullopt, f.unit};
    (old_side ? c.old_value : c.new_value) = std::move(f.value);
    out.push_back(std::move(c));
  }
  return out;
}

bool SameRow(const RecoveredRow& a, const RecoveredRow& b) {
  return a.keyword == b.keyword && a.numbers == b.numbers && a.text == b.text;
}

std::optional<std::int64_t> Position(const RecoveredRow& row) {
  if (IsGeneral(row.kind) || row.numbers.empty()) return std::nullopt;
  return row.numbers.front();
}

// The number of fields but the position in which two rows of one kind
// differ, counted as the reader reads them (the keyword is one more).
std::size_t DifferenceCount(const RecoveredRow& a, const RecoveredRow& b) {
  std::size_t n = a.keyword != b.keyword ? 1 : 0;
  if (a.text != b.text) ++n;
  const std::size_t most = std::max(a.numbers.size(), b.numbers.size());
  for (std::size_t i = 1; i < most; ++i) {
    if (i >= a.numbers.size() || i >= b.numbers.size() ||
        a.numbers[i] != b.numbers[i]) {
      ++n;
    }
  }
  return n;
}

// A row of one kind on one side, with where it stands among its kind.
struct Entry {
  const RecoveredRow* row = nullptr;
  std::size_t slot = 0;  // rank among the rows of its kind, from 0
  bool matched = false;
};

using MatchKey = std::pair<std::int64_t, std::string>;
using KeyOf = MatchKey (*)(const Entry&);

MatchKey ByPosition(const Entry& e) {
  return {Position(*e.row).value_or(0), ""};
}
MatchKey ByKind(const Entry&) { return {0, ""}; }
MatchKey ByName(const Entry& e) { return {0, e.row->text}; }
MatchKey BySlot(const Entry& e) {
  return {static_cast<std::int64_t>(e.slot), ""};
}

using Pairs = std::vector<std::pair<Entry*, Entry*>>;

// Pairs the unmatched rows of olds with those of news that share a key:
// rows equal to each other first, then the rest in order.
void PairByKey(std::vector<Entry>& olds, std::vector<Entry>& news, KeyOf key,
               Pairs* pairs) {
  std::map<MatchKey, std::vector<Entry*>> open;
  for (Entry& n : news) {
    if (!n.matched) open[key(n)].push_back(&n);
  }
  for (const bool equal_only : {true, false}) {
    for (Entry& o : olds) {
      if (o.matched) continue;
      const auto group = open.find(key(o));
      if (group == open.end()) continue;
      std::vector<Entry*>& candidates = group->second;
      const auto found = std::find_if(
          candidates.begin(), candidates.end(), [&](const Entry* n) {
            return !equal_only || SameRow(*o.row, *n->row);
          });
      if (found == candidates.end()) continue;
      o.matched = (*found)->matched = true;
      pairs->push_back({&o, *found});
      candidates.erase(found);
    }
  }
}

// Collects the changes of one description, kind by kind.
class KindDiff {
 public:
  KindDiff(RowHalf half, RowKind kind, std::vector<RowChange>* out)
      : half_(half), kind_(kind), out_(out) {}

  void Run(std::vector<Entry> olds, std::vector<Entry> news);

 private:
  RowChange Start(RowChangeKind change) const {
    RowChange c;
    c.half = half_;
    c.kind = kind_;
    c.change = change;
    return c;
  }
  void Paired(const Entry& o, const Entry& n);
  void FindMoves(std::vector<Entry>& olds, std::vector<Entry>& news);
  void Moved(const Entry& o, const Entry& n);
  void LeftOver(const Entry& e, bool old_side);
  std::optional<FieldValue> ValueAt(bool old_side, std::int64_t at) const;

  RowHalf half_;
  RowKind kind_;
  std::vector<RowChange>* out_;
  // The profile runs, as (position, rank, value): sorted, so that the
  // value at a metre is the last entry at or below it.
  std::vector<std::tuple<std::int64_t, std::size_t, std::int64_t>> runs_[2];
  std::set<std::int64_t> run_changes_;
};

void KindDiff::Run(std::vector<Entry> olds, std::vector<Entry> news) {
  Pairs pairs;
  if (IsGeneral(kind_)) {
    PairByKey(olds, news, ByKind, &pairs);
  } else if (kind_ == RowKind::kStation) {
    PairByKey(olds, news, ByName, &pairs);
    PairByKey(olds, news, BySlot, &pairs);
  } else {
    PairByKey(olds, news, ByPosition, &pairs);
  }
  for (const auto& [o, n] : pairs) Paired(*o, *n);
  if (IsProfile(kind_)) {
    for (int side = 0; side < 2; ++side) {
      for (const Entry& e : side == 0 ? olds : news) {
        if (e.row->numbers.size() < 2) continue;
        runs_[side].emplace_back(e.row->numbers[0], e.slot, e.row->numbers[1]);
      }
      std::sort(runs_[side].begin(), runs_[side].end());
    }
  }
  if (!IsGeneral(kind_) && kind_ != RowKind::kStation) FindMoves(olds, news);
  for (const Entry& o : olds) {
    if (!o.matched) LeftOver(o, true);
  }
  for (const Entry& n : news) {
    if (!n.matched) LeftOver(n, false);
  }
}

void KindDiff::Paired(const Entry& o, const Entry& n) {
  if (SameRow(*o.row, *n.row)) return;
  const std::optional<std::int64_t> from = Position(*o.row);
  const std::optional<std::int64_t> to = Position(*n.row);
  RowChange c =
      Start(from != to ? RowChangeKind::kMoved : RowChangeKind::kChanged);
  c.fields = Differences(*o.row, *n.row, true);
  if (c.change == RowChangeKind::kChanged && c.fields.empty()) return;
  c.old_position = from;
  c.new_position = to;
  c.run = IsProfile(kind_);
  if (kind_ == RowKind::kStation) {
    c.station = Windows1252ToUtf8(n.row->text);
  }
  out_->push_back(std::move(c));
}

void KindDiff::Moved(const Entry& o, const Entry& n) {
  RowChange c = Start(RowChangeKind::kMoved);
  c.old_position = Position(*o.row);
  c.new_position = Position(*n.row);
  c.run = IsProfile(kind_);
  c.fields = Differences(*o.row, *n.row, true);
  out_->push_back(std::move(c));
}

// The distance between two metres, without overflow whatever they are.
std::uint64_t Distance(std::int64_t a, std::int64_t b) {
  const auto [low, high] = std::minmax(a, b);
  return static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low);
}

// The positions of a side's rows, sorted.
std::vector<std::int64_t> Positions(const std::vector<Entry>& entries) {
  std::vector<std::int64_t> at;
  for (const Entry& e : entries) {
    if (Position(*e.row)) at.push_back(*Position(*e.row));
  }
  std::sort(at.begin(), at.end());
  return at;
}

// True when a position of sorted lies strictly between a and b.
bool AnyBetween(const std::vector<std::int64_t>& sorted, std::int64_t a,
                std::int64_t b) {
  const auto [low, high] = std::minmax(a, b);
  const auto above = std::upper_bound(sorted.begin(), sorted.end(), low);
  return above != sorted.end() && *above < high;
}

void KindDiff::FindMoves(std::vector<Entry>& olds, std::vector<Entry>& news) {
  const std::vector<std::int64_t> old_at = Positions(olds);
  const std::vector<std::int64_t> new_at = Positions(news);
  std::vector<std::pair<std::int64_t, Entry*>> open;
  for (Entry& n : news) {
    if (!n.matched && Position(*n.row)) open.push_back({*Position(*n.row), &n});
  }
  std::stable_sort(open.begin(), open.end(), [](const auto& a, const auto& b) {
    return a.first < b.first;
  });
  const std::size_t fields = RowFields(kind_).size() - 1;
  // (differing fields, distance, old, new): the likeliest moves first.
  std::vector<std::tuple<std::size_t, std::uint64_t, Entry*, Entry*>> moves;
  for (Entry& o : olds) {
    if (o.matched || !Position(*o.row)) continue;
    const std::int64_t p = *Position(*o.row);
    const auto near = std::lower_bound(
        open.begin(), open.end(), p,
        [](const auto& e, std::int64_t v) { return e.first < v; });
    const std::size_t at = static_cast<std::size_t>(near - open.begin());
    const std::size_t first = at > kMoveCandidates ? at - kMoveCandidates : 0;
    const std::size_t last = std::min(open.size(), at + kMoveCandidates);
    for (std::size_t i = first; i < last; ++i) {
      const std::int64_t q = open[i].first;
      // A row that passes another of its kind has not just moved.
      if (AnyBetween(old_at, p, q) || AnyBetween(new_at, p, q)) continue;
      const std::size_t d = DifferenceCount(*o.row, *open[i].second->row);
      if (d != 0 && d * 3 > fields) continue;
      moves.emplace_back(d, Distance(p, q), &o, open[i].second);
    }
  }
  std::stable_sort(moves.begin(), moves.end(),
                   [](const auto& a, const auto& b) {
                     return std::tie(std::get<0>(a), std::get<1>(a)) <
                            std::tie(std::get<0>(b), std::get<1>(b));
                   });
  for (const auto& [d, distance, o, n] : moves) {
    if (o->matched || n->matched) continue;
    o->matched = n->matched = true;
    Moved(*o, *n);
  }
}

std::optional<FieldValue> KindDiff::ValueAt(bool old_side,
                                            std::int64_t at) const {
  const auto& runs = runs_[old_side ? 0 : 1];
  const auto after = std::upper_bound(
      runs.begin(), runs.end(), at,
      [](std::int64_t v, const auto& run) { return v < std::get<0>(run); });
  if (after == runs.begin()) return std::nullopt;
  return std::get<2>(*std::prev(after));
}

void KindDiff::LeftOver(const Entry& e, bool old_side) {
  const std::optional<std::int64_t> at = Position(*e.row);
  if (IsProfile(kind_) && at && e.row->numbers.size() >= 2) {
    // Told once per metre: two rows left over at one metre are one run.
    if (run_changes_.count(*at) != 0) return;
    const std::optional<FieldValue> was = ValueAt(true, *at);
    const std::optional<FieldValue> is = ValueAt(false, *at);
    if (was != is) {
      run_changes_.insert(*at);
      RowChange c = Start(RowChangeKind::kChanged);
      c.old_position = c.new_position = at;
      c.run = true;
      const FieldGuide& value = RowFields(kind_)[1];
      c.fields.push_back(
          {std::string(value.name), was, is, std::string(value.unit)});
      out_->push_back(std::move(c));
      return;
    }
  }
  RowChange c =
      Start(old_side ? RowChangeKind::kRemoved : RowChangeKind::kAdded);
  (old_side ? c.old_position : c.new_position) = at;
  c.fields = AllFields(*e.row, old_side);
  if (kind_ == RowKind::kStation) c.station = Windows1252ToUtf8(e.row->text);
  out_->push_back(std::move(c));
}

// The rows of one description, by kind, each with its rank.
std::array<std::vector<Entry>, kRowKindCount> ByKindOf(
    const RecoveredDescription& description) {
  std::array<std::vector<Entry>, kRowKindCount> kinds;
  for (const RecoveredRow& row : description.rows) {
    const auto kind = static_cast<std::size_t>(row.kind);
    if (kind >= kinds.size()) continue;  // no kind of row: nothing to name
    std::vector<Entry>& rows = kinds[kind];
    rows.push_back({&row, rows.size(), false});
  }
  return kinds;
}

void DiffDescription(RowHalf half, const RecoveredDescription& old_rows,
                     const RecoveredDescription& new_rows,
                     std::vector<RowChange>* out) {
  std::array<std::vector<Entry>, kRowKindCount> olds = ByKindOf(old_rows);
  std::array<std::vector<Entry>, kRowKindCount> news = ByKindOf(new_rows);
  for (std::size_t k = 0; k < olds.size(); ++k) {
    if (olds[k].empty() && news[k].empty()) continue;
    KindDiff(half, static_cast<RowKind>(k), out)
        .Run(std::move(olds[k]), std::move(news[k]));
  }
}

}  // namespace

const char* RowChangeName(RowChangeKind change) {
  switch (change) {
    case RowChangeKind::kAdded:
      return "added";
    case RowChangeKind::kRemoved:
      return "removed";
    case RowChangeKind::kMoved:
      return "moved";
    case RowChangeKind::kChanged:
      return "changed";
  }
  return "changed";
}

const char* RowHalfName(RowHalf half) {
  return half == RowHalf::kLine ? "line" : "train";
}

RowDiff DiffRows(const DescriptionRows& old_rows,
                 const DescriptionRows& new_rows) {
  RowDiff diff;
  DiffDescription(RowHalf::kLine, *old_rows.line, *new_rows.line,
                  &diff.changes);
  DiffDescription(RowHalf::kTrain, *old_rows.train, *new_rows.train,
                  &diff.changes);
  // Each kind's changes came in its own order; stable, so that order
  // holds among changes of one kind at one metre.
  const auto key = [](const RowChange& c) {
    const std::optional<std::int64_t> at =
        c.old_position ? c.old_position : c.new_position;
    return std::make_tuple(c.half, at.has_value(), at.value_or(0), c.kind);
  };
  std::stable_sort(
      diff.changes.begin(), diff.changes.end(),
      [&](const RowChange& a, const RowChange& b) { return key(a) < key(b); });
  return diff;
}

}  // namespace scenario
