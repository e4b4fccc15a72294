#include "tools/scenario_diff.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <utility>

#include "base/strings.h"
#include "base/windows1252.h"
#include "model/kilometre_axis.h"

namespace scenario {
namespace {

// ---- Parameter slots -------------------------------------------------

// The sixteen fields of a slot, in file order, under their storage names.
struct SlotField {
  const char* storage;
  FieldValue (*get)(const ParamSlot&);
};

constexpr SlotField kSlotFields[] = {
    {"byte1", [](const ParamSlot& s) -> FieldValue { return s.byte1; }},
    {"long1", [](const ParamSlot& s) -> FieldValue { return s.long1; }},
    {"long2", [](const ParamSlot& s) -> FieldValue { return s.long2; }},
    {"long3", [](const ParamSlot& s) -> FieldValue { return s.long3; }},
    {"byte2", [](const ParamSlot& s) -> FieldValue { return s.byte2; }},
    {"text",
     [](const ParamSlot& s) -> FieldValue {
       return Windows1252ToUtf8(s.text);
     }},
    {"int1", [](const ParamSlot& s) -> FieldValue { return s.int1; }},
    {"int2", [](const ParamSlot& s) -> FieldValue { return s.int2; }},
    {"int3", [](const ParamSlot& s) -> FieldValue { return s.int3; }},
    {"int4", [](const ParamSlot& s) -> FieldValue { return s.int4; }},
    {"int5", [](const ParamSlot& s) -> FieldValue { return s.int5; }},
    {"byte3", [](const ParamSlot& s) -> FieldValue { return s.byte3; }},
    {"byte4", [](const ParamSlot& s) -> FieldValue { return s.byte4; }},
    {"byte5", [](const ParamSlot& s) -> FieldValue { return s.byte5; }},
    {"byte6", [](const ParamSlot& s) -> FieldValue { return s.byte6; }},
    {"long4", [](const ParamSlot& s) -> FieldValue { return s.long4; }},
};

// An author's name for a storage field of a slot, with its unit.
struct FieldName {
  const char* storage;
  const char* name;
  const char* unit;
};

constexpr FieldName kStationFields[] = {
    {"byte1", "kind", ""},         {"long1", "stretch start", "m"},
    {"long2", "stretch end", "m"}, {"long3", "position", "m"},
    {"byte2", "field 4", ""},      {"text", "name", ""},
    {"int1", "field 7", ""},       {"int2", "field 8", ""},
    {"int3", "field 10", ""},      {"int4", "field 11", ""},
    {"int5", "field 12", ""},      {"byte3", "field 9", ""},
    {"byte4", "field 13", ""},     {"byte5", "end flag", ""},
    {"byte6", "field 5", ""},      {"long4", "time", ""},
};
constexpr FieldName kKilometreFields[] = {
    {"long1", "start", "m"}, {"long2", "offset", "m"}, {"long3", "flag", ""}};
constexpr FieldName kGeneralFields[] = {
    {"long1", "braked-mass percentage", "%"},
    {"long2", "line length", "m"},
    {"long3", "coaches", ""}};
constexpr FieldName kLineFields[] = {
    {"long1", "sfondo uno", ""}, {"long2", "sfondo tre", ""},
    {"long3", "sfondo due", ""}, {"text", "line name", ""},
    {"int1", "header mark", ""}, {"long4", "weighted race code", ""}};
constexpr FieldName kTrainFields[] = {{"long1", "signal repetition start", "m"},
                                      {"long2", "signal repetition end", "m"},
                                      {"long3", "signal repetition codes", ""},
                                      {"text", "train name", ""},
                                      {"int1", "sand", ""},
                                      {"int3", "clock hours", ""},
                                      {"int4", "clock minutes", ""},
                                      {"int5", "clock seconds", ""}};
constexpr FieldName kBoardTextFields[] = {{"text", "text", ""}};

struct SlotRole {
  std::string role;
  const FieldName* names = nullptr;
  std::size_t name_count = 0;
};

template <std::size_t N>
SlotRole Role(std::string role, const FieldName (&names)[N]) {
  return {std::move(role), names, N};
}

// The slots that indicator boards refer to.
std::vector<bool> BoardTextSlots(const std::vector<TrackCell>& cells) {
  std::vector<bool> slots(kParamSlotCount, false);
  for (const TrackCell& c : cells) {
    if (c.kind == kKindIndicatorBoard && c.w2 >= 0 && c.w2 < kParamSlotCount) {
      slots[c.w2] = true;
    }
  }
  return slots;
}

SlotRole RoleOf(int slot, bool board_text, const ParamSlot& named) {
  if (board_text) return Role("board text", kBoardTextFields);
  if (slot >= kFirstStationSlot && slot < kFirstBoardTextSlot) {
    std::string role = "station " + std::to_string(slot);
    if (!named.text.empty()) {
      role += " " + QuotedName(Windows1252ToUtf8(named.text));
    }
    return Role(std::move(role), kStationFields);
  }
  if (slot >= kKilometreSlotFirst && slot <= kKilometreSlotLast) {
    return Role("kilometre record", kKilometreFields);
  }
  if (slot == kGeneralSlot) return Role("general values", kGeneralFields);
  if (slot == kLineSlot) return Role("line", kLineFields);
  if (slot == kTrainSlot) return Role("train", kTrainFields);
  return {"unused slot", nullptr, 0};
}

void DiffSlots(const DiffSide& a, const DiffSide& b, ScenarioDiff* diff) {
  const std::vector<bool> boards_a = BoardTextSlots(*a.cells);
  const std::vector<bool> boards_b = BoardTextSlots(*b.cells);
  for (int slot = 0; slot < kParamSlotCount; ++slot) {
    const ParamSlot& sa = (*a.table)[slot];
    const ParamSlot& sb = (*b.table)[slot];
    const SlotRole role = RoleOf(slot, boards_a[slot] || boards_b[slot],
                                 sb.text.empty() ? sa : sb);
    for (const SlotField& f : kSlotFields) {
      FieldValue old_value = f.get(sa);
      FieldValue new_value = f.get(sb);
      if (old_value == new_value) continue;
      FieldChange change{f.storage, std::nullopt, std::nullopt, ""};
      for (std::size_t i = 0; i < role.name_count; ++i) {
        if (std::string_view(role.names[i].storage) == f.storage) {
          change.name = role.names[i].name;
          change.unit = role.names[i].unit;
        }
      }
      if (role.names == kStationFields && change.name == "time") {
        old_value = ClockText(std::get<std::int64_t>(old_value));
        new_value = ClockText(std::get<std::int64_t>(new_value));
      }
      change.old_value = std::move(old_value);
      change.new_value = std::move(new_value);
      diff->slots.push_back({slot, role.role, std::move(change)});
    }
  }
}

// ---- Cells -----------------------------------------------------------

struct Property {
  const char* name;
  const char* unit;
  int (*get)(const TrackCell&);
};

constexpr Property kProperties[] = {
    {"gradient", "per mille",
     [](const TrackCell& c) { return GradientPerMille(c); }},
    {"speed limit", "km/h",
     [](const TrackCell& c) { return SpeedLimitKmh(c); }},
    {"adhesion", "", [](const TrackCell& c) -> int { return c.adhesion; }},
    {"mountain side", "", [](const TrackCell& c) -> int { return c.mountain; }},
};
constexpr std::size_t kPropertyCount = std::size(kProperties);

// A stretch of cells where one property has gone from old to new.
struct Run {
  bool open = false;
  std::int64_t first = 0;
  std::int64_t last = 0;
  int old_value = 0;
  int new_value = 0;
};

class CellDiffer {
 public:
  CellDiffer(const DiffSide& a, const DiffSide& b)
      : a_(a), b_(b), km_a_(*a.table), km_b_(*b.table) {}

  std::vector<LineChange> Compare() {
    const std::vector<TrackCell>& ca = *a_.cells;
    const std::vector<TrackCell>& cb = *b_.cells;
    const std::int64_t na = static_cast<std::int64_t>(ca.size());
    const std::int64_t nb = static_cast<std::int64_t>(cb.size());
    for (std::int64_t k = 0; k < std::max(na, nb); ++k) {
      const TrackCell* a = k < na ? &ca[k] : nullptr;
      const TrackCell* b = k < nb ? &cb[k] : nullptr;
      Items(a, b, k);
      Approach(a, b, k);
      for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (a != nullptr && b != nullptr) {
          PropertyAt(p, kProperties[p].get(*a), kProperties[p].get(*b), k);
        }
      }
    }
    for (std::size_t p = 0; p < kPropertyCount; ++p) Flush(p);
    // Items and stretches each come in cell order; the positions of items
    // of different kinds in neighbouring cells interleave.
    std::stable_sort(changes_.begin(), changes_.end(),
                     [](const LineChange& x, const LineChange& y) {
                       return x.position < y.position;
                     });
    return std::move(changes_);
  }

 private:
  LineChange At(Change change, std::string kind, std::int64_t cell,
                double position) {
    LineChange c;
    c.change = change;
    c.kind = std::move(kind);
    c.first_cell = c.last_cell = cell;
    c.position = c.end_position = position;
    // A removed item stands on the old line, anything else on the new.
    const KilometreAxis& km = change == Change::kRemoved ? km_a_ : km_b_;
    c.km = c.end_km = FormatKilometre(km.Reading(position));
    return c;
  }

  // An item's change at the position every listing gives it: its row's,
  // or its cell's span (ItemPositionText).
  LineChange ItemAt(Change change, std::string kind, const TrackCell& c,
                    std::int64_t k) {
    if (ItemRowIsKnown(c)) {
      return At(change, std::move(kind), k, ItemPosition(c, k));
    }
    return SpanAt(change, std::move(kind), k);
  }

  LineChange SpanAt(Change change, std::string kind, std::int64_t k) {
    const CellSpan span = SpanOfCell(k);
    LineChange lc =
        At(change, std::move(kind), k, static_cast<double>(span.from));
    lc.span = true;
    lc.end_position = static_cast<double>(span.to);
    const KilometreAxis& km = change == Change::kRemoved ? km_a_ : km_b_;
    lc.end_km = FormatKilometre(km.Reading(lc.end_position));
    return lc;
  }

  void Whole(Change change, const TrackCell& c, std::int64_t k,
             const ParamTable* table) {
    LineChange lc = ItemAt(change, ItemName(c, k), c, k);
    lc.fields = ItemFields(c, k, table);
    changes_.push_back(std::move(lc));
  }

  static bool SameWords(const TrackCell& a, const TrackCell& b) {
    return a.kind == b.kind && a.w2 == b.w2 && a.w4 == b.w4 && a.w6 == b.w6 &&
           a.w8 == b.w8 && a.b10 == b.b10;
  }

  void Items(const TrackCell* a, const TrackCell* b, std::int64_t k) {
    const bool has_a = a != nullptr && HasItem(*a);
    const bool has_b = b != nullptr && HasItem(*b);
    if (!has_a && !has_b) return;
    if (has_a && has_b && a->kind == b->kind) {
      // Stop marks and indicator boards show a text of the table, which
      // may differ under equal words.
      if (SameWords(*a, *b) && a->kind != kKindStopMark &&
          a->kind != kKindIndicatorBoard) {
        return;
      }
      std::vector<ItemField> fa = ItemFields(*a, k, a_.table);
      std::vector<ItemField> fb = ItemFields(*b, k, b_.table);
      if (fa == fb) return;
      LineChange lc = ItemAt(Change::kChanged, ItemName(*b, k), *b, k);
      for (const ItemField& f : fb) {
        const auto old = std::find_if(fa.begin(), fa.end(), [&](const auto& g) {
          return g.name == f.name;
        });
        if (old == fa.end()) {
          lc.changes.push_back({f.name, std::nullopt, f.value, f.unit});
        } else if (old->value != f.value) {
          lc.changes.push_back({f.name, old->value, f.value, f.unit});
        }
      }
      for (const ItemField& g : fa) {
        const bool kept = std::any_of(fb.begin(), fb.end(), [&](const auto& f) {
          return f.name == g.name;
        });
        if (!kept)
          lc.changes.push_back({g.name, g.value, std::nullopt, g.unit});
      }
      changes_.push_back(std::move(lc));
      return;
    }
    if (has_a) Whole(Change::kRemoved, *a, k, a_.table);
    if (has_b) Whole(Change::kAdded, *b, k, b_.table);
  }

  void Approach(const TrackCell* a, const TrackCell* b, std::int64_t k) {
    const int va = a != nullptr ? a->b11 : 0;
    const int vb = b != nullptr ? b->b11 : 0;
    if (va == vb) return;
    // A signal's or a station's: the mark does not tell, so it stands at
    // its cell's span.
    if (va == 0 || vb == 0) {
      LineChange lc = SpanAt(vb == 0 ? Change::kRemoved : Change::kAdded,
                             "approach mark", k);
      lc.fields.push_back({"value", std::int64_t{vb == 0 ? va : vb}, ""});
      changes_.push_back(std::move(lc));
      return;
    }
    LineChange lc = SpanAt(Change::kChanged, "approach mark", k);
    lc.changes.push_back({"value", FieldValue(std::int64_t{va}),
                          FieldValue(std::int64_t{vb}), ""});
    changes_.push_back(std::move(lc));
  }

  void PropertyAt(std::size_t p, int old_value, int new_value, std::int64_t k) {
    Run& run = runs_[p];
    if (old_value == new_value) {
      Flush(p);
      return;
    }
    if (run.open && run.old_value == old_value && run.new_value == new_value &&
        run.last + 1 == k) {
      run.last = k;
      return;
    }
    Flush(p);
    run = {true, k, k, old_value, new_value};
  }

  void Flush(std::size_t p) {
    Run& run = runs_[p];
    if (!run.open) return;
    run.open = false;
    LineChange lc = At(Change::kChanged, kProperties[p].name, run.first,
                       ProfilePosition(run.first));
    lc.stretch = true;
    lc.last_cell = run.last;
    lc.end_position = ProfilePosition(run.last + 1);
    lc.end_km = FormatKilometre(km_b_.Reading(lc.end_position));
    lc.changes.push_back(
        {kProperties[p].name, FieldValue(std::int64_t{run.old_value}),
         FieldValue(std::int64_t{run.new_value}), kProperties[p].unit});
    changes_.push_back(std::move(lc));
  }

  const DiffSide& a_;
  const DiffSide& b_;
  const KilometreAxis km_a_;
  const KilometreAxis km_b_;
  Run runs_[kPropertyCount];
  std::vector<LineChange> changes_;
};

// ---- Grid ------------------------------------------------------------

bool SameElement(const LineGrid& a, const LineGrid& b, std::int64_t m) {
  // Bit for bit: a NaN equals itself, and 0 and -0 differ as in the file.
  return a.tag(m) == b.tag(m) &&
         std::bit_cast<std::uint64_t>(a.x(m)) ==
             std::bit_cast<std::uint64_t>(b.x(m)) &&
         std::bit_cast<std::uint64_t>(a.y(m)) ==
             std::bit_cast<std::uint64_t>(b.y(m));
}

std::optional<GridChange> DiffGrids(const DiffSide& a, const DiffSide& b) {
  GridChange g;
  g.old_exists = a.grid != nullptr;
  g.new_exists = b.grid != nullptr;
  if (g.old_exists) g.old_metres = a.grid->size();
  if (g.new_exists) g.new_metres = b.grid->size();
  if (!g.old_exists && !g.new_exists) return std::nullopt;
  if (g.old_exists != g.new_exists) return g;
  const LineGrid& ga = *a.grid;
  const LineGrid& gb = *b.grid;
  const std::int64_t n = std::min(ga.size(), gb.size());
  for (std::int64_t m = 0; m < n; ++m) {
    if (SameElement(ga, gb, m)) continue;
    if (!g.first_metre) g.first_metre = m;
    if (ga.tag(m) == GridTag::kEmpty || gb.tag(m) == GridTag::kEmpty) continue;
    const double dx = ga.x(m) - gb.x(m);
    const double dy = ga.y(m) - gb.y(m);
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d > g.largest) {
      g.largest = d;
      g.largest_metre = m;
    }
  }
  if (!g.first_metre && g.old_metres == g.new_metres) return std::nullopt;
  const KilometreAxis km(*b.table);
  if (g.first_metre) {
    g.first_km =
        FormatKilometre(km.Reading(static_cast<double>(*g.first_metre)));
  }
  g.largest_km =
      FormatKilometre(km.Reading(static_cast<double>(g.largest_metre)));
  return g;
}

// ---- Counts ----------------------------------------------------------

KindCount& CountFor(std::vector<KindCount>* counts, const std::string& kind) {
  for (KindCount& c : *counts) {
    if (c.kind == kind) return c;
  }
  counts->push_back({kind, 0, 0, 0});
  return counts->back();
}

void Count(std::vector<KindCount>* counts, const std::string& kind,
           Change change) {
  KindCount& c = CountFor(counts, kind);
  switch (change) {
    case Change::kAdded:
      ++c.added;
      break;
    case Change::kRemoved:
      ++c.removed;
      break;
    case Change::kChanged:
      ++c.changed;
      break;
  }
}

}  // namespace

const char* ChangeName(Change change) {
  switch (change) {
    case Change::kAdded:
      return "added";
    case Change::kRemoved:
      return "removed";
    case Change::kChanged:
      break;
  }
  return "changed";
}

ScenarioDiff DiffScenarios(const DiffSide& old_side, const DiffSide& new_side) {
  ScenarioDiff diff;
  DiffSlots(old_side, new_side, &diff);
  const std::int64_t old_cells =
      static_cast<std::int64_t>(old_side.cells->size());
  const std::int64_t new_cells =
      static_cast<std::int64_t>(new_side.cells->size());
  if (old_cells != new_cells) diff.extent = ExtentChange{old_cells, new_cells};
  diff.line = CellDiffer(old_side, new_side).Compare();
  diff.grid = DiffGrids(old_side, new_side);

  for (std::size_t i = 0; i < diff.slots.size(); ++i) {
    Count(&diff.counts, "parameter", Change::kChanged);
  }
  if (diff.extent) Count(&diff.counts, "cell array", Change::kChanged);
  for (const LineChange& c : diff.line) Count(&diff.counts, c.kind, c.change);
  if (diff.grid) Count(&diff.counts, "line grid", Change::kChanged);
  return diff;
}

}  // namespace scenario
