#ifndef SCENARIO_MODEL_ERRORS_H_
#define SCENARIO_MODEL_ERRORS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/diagnostics.h"

namespace scenario {

// The codes recorded in error_code. Stored files and the author tools know
// these numbers: never renumber. 14 and 23 are unused.
inline constexpr std::int32_t kCodeLineTooLong = 1;
inline constexpr std::int32_t kCodeKilometreRecord = 2;
inline constexpr std::int32_t kCodeRepetitionStart = 3;
inline constexpr std::int32_t kCodeRepetitionEnd = 4;
inline constexpr std::int32_t kCodeRepetitionCodes = 5;
inline constexpr std::int32_t kCodeIndicatorBoardTaken = 6;
inline constexpr std::int32_t kCodeCodeChangeTaken = 7;
inline constexpr std::int32_t kCodeStationPosition = 8;
inline constexpr std::int32_t kCodeStationLength = 9;
inline constexpr std::int32_t kCodeNoStationSlot = 10;
inline constexpr std::int32_t kCodeSignalCodeMark = 11;
inline constexpr std::int32_t kCodeSlowdownStartMark = 12;
inline constexpr std::int32_t kCodeSlowdownWalkMark = 13;
inline constexpr std::int32_t kCodeBeyondArray = 15;
inline constexpr std::int32_t kCodeSignalTaken = 16;
inline constexpr std::int32_t kCodeWarningTaken = 17;
inline constexpr std::int32_t kCodeSlowdownStartTaken = 18;
inline constexpr std::int32_t kCodeSlowdownEndTaken = 19;
inline constexpr std::int32_t kCodePreWarningTaken = 20;
inline constexpr std::int32_t kCodeSpeedBoardTaken = 21;
inline constexpr std::int32_t kCodeStationTooClose = 22;
inline constexpr std::int32_t kCodeStationEndTooEarly = 24;
inline constexpr std::int32_t kCodeFault = 25;
inline constexpr std::int32_t kCodeNoLineFile = 101;
inline constexpr std::int32_t kCodeNoGeneralSection = 102;
inline constexpr std::int32_t kCodeCurve = 103;
inline constexpr std::int32_t kCodeHeaderMarkTaken = 1250;
inline constexpr std::int32_t kCodeHeaderCodeTaken = 1251;

// The error registers of a run. error_code holds the last recorded code
// (0: none) and error_position the last position written with a code; it
// is never cleared. diagnostics keeps every recorded code.
struct ErrorRegisters {
  std::int32_t error_code = 0;
  std::int32_t error_position = 0;
  std::vector<Diagnostic> diagnostics;

  // Sets error_code and, when given, error_position, and appends a
  // diagnostic with the code's explanation.
  void Record(std::int32_t code, std::optional<std::int32_t> position,
              SourceSpot where);
};

// A fault while reading a description file: a malformed field, a read past
// the end, a value outside its width, an access outside the model. Thrown
// only inside memorizza_dati, by:
// - the field reader (a malformed field, a read past the end, a number or
//   a text outside its width);
// - the checked model accessors (TrackCells::At, ParamTable::At and the
//   checked reads and writes of LineGrid);
// - the checked narrowings FitLong and FitWord, for a computed value that
//   does not fit its field (a station's time or stretch, a speed board's
//   word, a kilometre record's offset);
// - the line reader, for a length that leaves no cell or no grid metre,
//   and memo_montagna, for one mountain-side stretch too many;
// - the compile stage, when a description file cannot be read or deleted.
// Caught only by memorizza_dati's handler, which records code 25.
class Fault {
 public:
  Fault(std::string message, SourceSpot where = {})
      : message_(std::move(message)), where_(std::move(where)) {}
  const std::string& message() const { return message_; }
  const SourceSpot& where() const { return where_; }

 private:
  std::string message_;
  SourceSpot where_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_ERRORS_H_
