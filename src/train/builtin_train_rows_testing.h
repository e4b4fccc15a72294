#ifndef SCENARIO_TRAIN_BUILTIN_TRAIN_ROWS_TESTING_H_
#define SCENARIO_TRAIN_BUILTIN_TRAIN_ROWS_TESTING_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Test support: the rows of a train description list (as dati_treno returns
// it), taken apart by plain comma splitting so that the content tests do
// not depend on the train reader they are meant to feed. A malformed row is
// reported as a test failure and skipped.

// The fields of one row: split at every comma, blanks trimmed at both ends.
std::vector<std::string> SplitTrainRowFields(std::string_view row);

struct ProfileRow {
  int entry = 0;  // index in the line list
  std::int32_t position = 0;
  std::int32_t value = 0;
};

struct StationRow {
  int entry = 0;
  std::int32_t position = 0;
  std::int32_t kind = 0;
  std::int32_t length = 0;
  // Row fields 4 to 13, in row order (fields[0] is field 4).
  std::int32_t fields[10] = {};
  std::int32_t hours = 0, minutes = 0, seconds = 0;
  std::string name;

  std::int32_t end_flag() const { return fields[2]; }
  std::int32_t stop_seconds() const { return fields[9]; }  // field 13
  bool has_time() const { return hours != 0 || minutes != 0 || seconds != 0; }
  std::int32_t time() const { return hours * 3600 + minutes * 60 + seconds; }
  // The stretch as the train reader computes it from kind, length and flag.
  std::int32_t stretch_start() const;
  std::int32_t stretch_end() const;
  // Kinds below 25 get a stop mark, in cell stretch_end / 50 - 1.
  bool has_stop_mark() const { return kind < 25; }
  std::int64_t stop_mark_cell() const;
};

struct SignalRow {
  int entry = 0;
  std::int32_t posizione = 0;
  std::int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0;
  std::int32_t dx = 0, d1 = 0, d2 = 0, d3 = 0, tempo = 0;
  // The row's text after the position: its shape.
  std::string shape;
};

struct TrainRows {
  std::vector<ProfileRow> adhesion;
  std::vector<ProfileRow> limits;  // "velocita" rows
  std::vector<StationRow> stations;
  std::vector<SignalRow> signals;
  std::vector<ProfileRow> codes;  // "abbattimento" rows: position, code

  // The train's speed limit in force at metre x (0 before the first row).
  std::int32_t LimitAt(std::int32_t x) const;
};

TrainRows ParseTrainRows(const std::vector<std::string>& lines);

}  // namespace scenario

#endif  // SCENARIO_TRAIN_BUILTIN_TRAIN_ROWS_TESTING_H_
