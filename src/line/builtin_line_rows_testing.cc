#include "line/builtin_line_rows_testing.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"

namespace scenario {
namespace {

// A whole number field; an empty field reads as 0, as in the reader.
bool ToNumber(const std::string& field, std::int32_t* value) {
  if (field.empty()) {
    *value = 0;
    return true;
  }
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, *value);
  return ec == std::errc() && ptr == end;
}

// Reads fields[1 .. 1 + count) as numbers; fails the test on a bad row.
bool Numbers(const std::vector<std::string>& fields, std::size_t count,
             const std::string& row, std::vector<std::int32_t>* out) {
  out->clear();
  if (fields.size() < count + 1) {
    ADD_FAILURE() << "too few fields: " << row;
    return false;
  }
  for (std::size_t i = 1; i <= count; ++i) {
    std::int32_t v = 0;
    if (!ToNumber(fields[i], &v)) {
      ADD_FAILURE() << "bad number '" << fields[i] << "' in: " << row;
      return false;
    }
    out->push_back(v);
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitLineRowFields(std::string_view row) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  while (true) {
    std::size_t comma = row.find(',', from);
    std::string_view part = row.substr(
        from, comma == std::string_view::npos ? row.npos : comma - from);
    fields.emplace_back(Trim(part, " "));
    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }
  return fields;
}

std::int32_t LineRows::Reading(std::int32_t x) const {
  const KilometreRecord* best = nullptr;
  for (const KilometreRecord* r : {&uno, &due, &tre}) {
    if (r->start == 0 && r->offset == 0 && r->flag == 0) continue;
    if (r->start <= x && (best == nullptr || r->start > best->start)) {
      best = r;
    }
  }
  if (best == nullptr) return x;
  return x + best->offset + (best->flag == 1 ? 100 : 0);
}

std::optional<std::int32_t> LineRows::PositionOfReading(std::int32_t r) const {
  // Readings only grow along the line, so at most a few candidates exist:
  // r itself and r less each record's offset.
  std::vector<std::int32_t> candidates = {r};
  for (const KilometreRecord* rec : {&uno, &due, &tre}) {
    candidates.push_back(r - rec->offset - (rec->flag == 1 ? 100 : 0));
  }
  for (std::int32_t x : candidates) {
    if (x >= 0 && x <= length && Reading(x) == r) return x;
  }
  return std::nullopt;
}

const SpeedBoardRow* LineRows::BoardAt(std::int32_t x) const {
  const SpeedBoardRow* in_force = nullptr;
  for (const SpeedBoardRow& b : boards) {
    if (b.posizione <= x) in_force = &b;
  }
  return in_force;
}

std::int32_t LineRows::GradientAt(std::int32_t x) const {
  std::int32_t g = 0;
  for (const GradientRow& r : gradients) {
    if (r.position <= x) g = r.gradient;
  }
  return g;
}

LineRows ParseLineRows(const std::vector<std::string>& lines) {
  LineRows rows;
  std::vector<std::int32_t> n;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const int entry = static_cast<int>(i);
    std::vector<std::string> f = SplitLineRowFields(line);
    const std::string& key = f[0];
    if (key == "lunghezza percorso") {
      if (Numbers(f, 1, line, &n)) rows.length = n[0];
    } else if (key.starts_with("progressiva chilometrica ")) {
      if (!Numbers(f, 3, line, &n)) continue;
      KilometreRecord r{n[0], n[1], n[2]};
      if (key.ends_with("uno")) rows.uno = r;
      if (key.ends_with("due")) rows.due = r;
      if (key.ends_with("tre")) rows.tre = r;
    } else if (key.starts_with("ripetizione segnali")) {
      if (!Numbers(f, 2, line, &n)) continue;
      rows.repetition_start = n[0];
      rows.repetition_end = n[1];
    } else if (key.starts_with("curva")) {
      if (key.size() != 7 || (key[5] != 's' && key[5] != 'd') || key[6] < '1' ||
          key[6] > '6') {
        ADD_FAILURE() << "bad curve keyword: " << line;
        continue;
      }
      if (!Numbers(f, 2, line, &n)) continue;
      rows.curves.push_back({entry, key[5] == 's', key[6] - '0', n[0], n[1]});
    } else if (key == "pendenza") {
      if (Numbers(f, 2, line, &n)) {
        rows.gradients.push_back({entry, n[0], n[1]});
      }
    } else if (key == "montagna") {
      if (Numbers(f, 3, line, &n)) {
        rows.mountains.push_back({entry, n[0], n[1], n[2]});
      }
    } else if (key == "indicatori_vmax") {
      if (!Numbers(f, 9, line, &n)) continue;
      SpeedBoardRow b{entry, n[0], n[1], n[2], n[3], n[4],
                      n[5],  n[6], n[7], n[8], false};
      b.d_empty = f[6].empty() && f[7].empty() && f[8].empty();
      rows.boards.push_back(b);
    } else if (key == "cartello_indicatore") {
      if (f.size() != 3) {
        ADD_FAILURE() << "bad indicator row: " << line;
        continue;
      }
      if (Numbers(f, 1, line, &n)) {
        rows.indicators.push_back({entry, n[0], f[2]});
      }
    }
  }
  return rows;
}

}  // namespace scenario
