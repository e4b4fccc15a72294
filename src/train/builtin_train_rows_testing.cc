#include "train/builtin_train_rows_testing.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "model/rounding.h"

namespace scenario {
namespace {

bool ToNumber(std::string_view field, std::int32_t* value) {
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

std::vector<std::string> SplitTrainRowFields(std::string_view row) {
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

std::int32_t StationRow::stretch_start() const {
  if (kind >= 5 && kind <= 8) return position - length;
  return position - length / 2;
}

std::int32_t StationRow::stretch_end() const {
  if (kind == 5 || kind == 6) return position + 150;
  if (kind == 7 || kind == 8) return position + length;
  return position + length / 2 + (end_flag() != 0 ? 50 : 0);
}

std::int64_t StationRow::stop_mark_cell() const {
  return RoundRatio(stretch_end(), 50) - 1;
}

std::int32_t TrainRows::LimitAt(std::int32_t x) const {
  std::int32_t v = 0;
  for (const ProfileRow& r : limits) {
    if (r.position <= x) v = r.value;
  }
  return v;
}

TrainRows ParseTrainRows(const std::vector<std::string>& lines) {
  TrainRows rows;
  std::vector<std::int32_t> n;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const int entry = static_cast<int>(i);
    std::vector<std::string> f = SplitTrainRowFields(line);
    const std::string& key = f[0];
    if (key == "aderenza" || key == "velocita" || key == "abbattimento") {
      if (!Numbers(f, 2, line, &n)) continue;
      ProfileRow r{entry, n[0], n[1]};
      if (key == "aderenza") rows.adhesion.push_back(r);
      if (key == "velocita") rows.limits.push_back(r);
      if (key == "abbattimento") rows.codes.push_back(r);
    } else if (key == "stazione") {
      if (f.size() != 18) {
        ADD_FAILURE() << "a station row has 18 fields: " << line;
        continue;
      }
      if (!Numbers(f, 16, line, &n)) continue;
      StationRow s;
      s.entry = entry;
      s.position = n[0];
      s.kind = n[1];
      s.length = n[2];
      for (int k = 0; k < 10; ++k) s.fields[k] = n[3 + k];
      s.hours = n[13];
      s.minutes = n[14];
      s.seconds = n[15];
      s.name = f[17];
      rows.stations.push_back(s);
    } else if (key == "segnale") {
      if (f.size() != 12) {
        ADD_FAILURE() << "a signal row has 12 fields: " << line;
        continue;
      }
      if (!Numbers(f, 11, line, &n)) continue;
      SignalRow s{entry, n[0], n[1], n[2], n[3],  n[4], n[5],
                  n[6],  n[7], n[8], n[9], n[10], {}};
      // The shape: everything after the position's field.
      std::size_t second_comma = line.find(',', line.find(',') + 1);
      s.shape = line.substr(second_comma + 1);
      rows.signals.push_back(s);
    }
  }
  return rows;
}

}  // namespace scenario
