#ifndef SCENARIO_MODEL_ERRORS_H_
#define SCENARIO_MODEL_ERRORS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/code_entry.h"
#include "model/code_table.h"
#include "model/diagnostics.h"

namespace scenario {

// The entry of a code in the table of codes; nullptr when it has none.
// Usable while compiling.
constexpr const CodeEntry* FindCodeEntry(std::int32_t code) {
  for (const CodeEntry& entry : kCodeTable) {
    if (entry.code == code) return &entry;
  }
  return nullptr;
}

namespace code_table_internal {
// Never defined and not constexpr: reaching a call to it while compiling
// stops the build, naming it.
void CodeHasNoEntryInTheCodeTable();
}  // namespace code_table_internal

// A code that a compile can record: code itself, once the build has checked
// that the table of codes holds its entry (its summary, cause and cure).
// The check compares codes, not addresses: a sanitizer build instruments
// pointer comparisons, which then no longer count as constant.
consteval std::int32_t RecordedCode(std::int32_t code) {
  bool has_entry = false;
  for (const CodeEntry& entry : kCodeTable) has_entry |= entry.code == code;
  if (!has_entry) {
    code_table_internal::CodeHasNoEntryInTheCodeTable();
  }
  return code;
}

// The codes recorded in error_code. Stored files and the author tools know
// these numbers: never renumber. 14 and 23 are unused. Every code recorded
// is one of these, so every diagnostic has an entry to explain it.
inline constexpr std::int32_t kCodeLineTooLong = RecordedCode(1);
inline constexpr std::int32_t kCodeKilometreRecord = RecordedCode(2);
inline constexpr std::int32_t kCodeRepetitionStart = RecordedCode(3);
inline constexpr std::int32_t kCodeRepetitionEnd = RecordedCode(4);
inline constexpr std::int32_t kCodeRepetitionCodes = RecordedCode(5);
inline constexpr std::int32_t kCodeIndicatorBoardTaken = RecordedCode(6);
inline constexpr std::int32_t kCodeCodeChangeTaken = RecordedCode(7);
inline constexpr std::int32_t kCodeStationPosition = RecordedCode(8);
inline constexpr std::int32_t kCodeStationLength = RecordedCode(9);
inline constexpr std::int32_t kCodeNoStationSlot = RecordedCode(10);
inline constexpr std::int32_t kCodeSignalCodeMark = RecordedCode(11);
inline constexpr std::int32_t kCodeSlowdownStartMark = RecordedCode(12);
inline constexpr std::int32_t kCodeSlowdownWalkMark = RecordedCode(13);
inline constexpr std::int32_t kCodeBeyondArray = RecordedCode(15);
inline constexpr std::int32_t kCodeSignalTaken = RecordedCode(16);
inline constexpr std::int32_t kCodeWarningTaken = RecordedCode(17);
inline constexpr std::int32_t kCodeSlowdownStartTaken = RecordedCode(18);
inline constexpr std::int32_t kCodeSlowdownEndTaken = RecordedCode(19);
inline constexpr std::int32_t kCodePreWarningTaken = RecordedCode(20);
inline constexpr std::int32_t kCodeSpeedBoardTaken = RecordedCode(21);
inline constexpr std::int32_t kCodeStationTooClose = RecordedCode(22);
inline constexpr std::int32_t kCodeStationEndTooEarly = RecordedCode(24);
inline constexpr std::int32_t kCodeFault = RecordedCode(25);
inline constexpr std::int32_t kCodeNoLineFile = RecordedCode(101);
inline constexpr std::int32_t kCodeNoGeneralSection = RecordedCode(102);
inline constexpr std::int32_t kCodeCurve = RecordedCode(103);
inline constexpr std::int32_t kCodeHeaderMarkTaken = RecordedCode(1250);
inline constexpr std::int32_t kCodeHeaderCodeTaken = RecordedCode(1251);

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
