#include "model/diagnostics.h"

#include <utility>

#include "model/errors.h"

namespace scenario {

std::string_view ExplainCode(std::int32_t code) {
  switch (code) {
    case kCodeLineTooLong:
      return "the line length is over 1000000 m; no cell array is created";
    case kCodeKilometreRecord:
      return "a kilometre reference record's start or offset is not a "
             "multiple of 50";
    case kCodeRepetitionStart:
      return "the signal repetition start is not a multiple of 50";
    case kCodeRepetitionEnd:
      return "the signal repetition end is not a multiple of 50";
    case kCodeRepetitionCodes:
      return "the signal repetition keyword holds neither \"4\" nor \"9\"";
    case kCodeIndicatorBoardTaken:
      return "an indicator board falls on a cell that is already taken";
    case kCodeCodeChangeTaken:
      return "a code change falls on a cell that is already taken";
    case kCodeStationPosition:
      return "a station position is not a multiple of 50";
    case kCodeStationLength:
      return "a station length is not a multiple of 100";
    case kCodeNoStationSlot:
      return "no parameter slot is left for the next station (the stations "
             "reach the indicator board texts)";
    case kCodeSignalCodeMark:
      return "no room for the code mark before a signal that precedes a "
             "warning board";
    case kCodeSlowdownStartMark:
      return "no free cell for a code mark before a slowdown start";
    case kCodeSlowdownWalkMark:
      return "no free cell for a code mark along a slowdown or before the "
             "signal after it";
    case kCodeBeyondArray:
      return "the row's position lies beyond the end of the cell array; "
             "reading of this file stops";
    case kCodeSignalTaken:
      return "a signal falls on a cell that is already taken";
    case kCodeWarningTaken:
      return "a slowdown's warning board falls on a cell that is already "
             "taken";
    case kCodeSlowdownStartTaken:
      return "a slowdown's start falls on a cell that is already taken";
    case kCodeSlowdownEndTaken:
      return "a slowdown's end falls on a cell that is already taken";
    case kCodePreWarningTaken:
      return "one of a slowdown's four pre-warning cells is already taken";
    case kCodeSpeedBoardTaken:
      return "a maximum-speed board falls on a cell that is already taken";
    case kCodeStationTooClose:
      return "a station starts less than 350 m after the previous station's "
             "end";
    case kCodeStationEndTooEarly:
      return "a station with a stop mark ends at or before metre 100";
    case kCodeFault:
      return "the description cannot be read here";
    case kCodeNoLineFile:
      return "the line description file does not exist";
    case kCodeNoGeneralSection:
      return "the line description has no \"[generale]\" section";
    case kCodeCurve:
      return "a curve keyword has no class digit 1 to 6, or the plan passes "
             "metre 1000000";
    case kCodeHeaderMarkTaken:
      return "cell 1's first word or slot 85's int1 is taken before "
             "stamping (an item at the very start of the line)";
    case kCodeHeaderCodeTaken:
      return "cell 1's second word or slot 85's long4 is taken before "
             "stamping";
    default:
      return "";
  }
}

void ErrorRegisters::Record(std::int32_t code,
                            std::optional<std::int32_t> position,
                            SourceSpot where) {
  error_code = code;
  if (position) error_position = *position;
  diagnostics.push_back(Diagnostic{code, position, std::move(where),
                                   std::string(ExplainCode(code))});
}

}  // namespace scenario
