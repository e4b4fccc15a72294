#ifndef SCENARIO_LINE_BUILTIN_LINE_ROWS_TESTING_H_
#define SCENARIO_LINE_BUILTIN_LINE_ROWS_TESTING_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Test support: the rows of a line description list (as dati_linea returns
// it), taken apart by plain comma splitting so that the content tests do
// not depend on the line reader they are meant to feed. A malformed row is
// reported as a test failure and skipped.

// The fields of one row: split at every comma, blanks trimmed at both ends.
std::vector<std::string> SplitLineRowFields(std::string_view row);

struct CurveRow {
  int entry = 0;  // index in the line list
  bool left = false;
  int curve_class = 0;  // 1 to 6
  std::int32_t start = 0;
  std::int32_t length = 0;
};

struct GradientRow {
  int entry = 0;
  std::int32_t position = 0;
  std::int32_t gradient = 0;  // as the reader takes it: "-4,5" gives -4
};

struct MountainRow {
  int entry = 0;
  std::int32_t inizio = 0;
  std::int32_t fine = 0;
  std::int32_t tipo = 0;
};

struct SpeedBoardRow {
  int entry = 0;
  std::int32_t posizione = 0;
  std::int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0;
  std::int32_t vad = 0, vbd = 0, vcd = 0, strisced = 0;
  bool d_empty = false;  // the three d speeds written as empty fields
};

struct IndicatorRow {
  int entry = 0;
  std::int32_t position = 0;
  std::string text;
};

struct KilometreRecord {
  std::int32_t start = 0;
  std::int32_t offset = 0;
  std::int32_t flag = 0;
};

struct LineRows {
  std::int32_t length = 0;
  KilometreRecord uno, due, tre;
  std::int32_t repetition_start = 0;
  std::int32_t repetition_end = 0;
  std::vector<CurveRow> curves;  // in file order
  std::vector<GradientRow> gradients;
  std::vector<MountainRow> mountains;
  std::vector<SpeedBoardRow> boards;
  std::vector<IndicatorRow> indicators;

  // The kilometre reading of metre x, in metres: x plus the offset of the
  // record with the greatest start at or below x (+ 100 with its flag).
  std::int32_t Reading(std::int32_t x) const;
  // The metre whose reading is r, if any.
  std::optional<std::int32_t> PositionOfReading(std::int32_t r) const;
  // The board in force at metre x: the last one at or before x.
  const SpeedBoardRow* BoardAt(std::int32_t x) const;
  // The gradient in force at metre x.
  std::int32_t GradientAt(std::int32_t x) const;
};

LineRows ParseLineRows(const std::vector<std::string>& lines);

}  // namespace scenario

#endif  // SCENARIO_LINE_BUILTIN_LINE_ROWS_TESTING_H_
