#ifndef SCENARIO_LINE_ROW_READING_H_
#define SCENARIO_LINE_ROW_READING_H_

// What the line reader and the train reader share above the field reader:
// how a keyword field is matched, and how a row handler ends a pass of the
// reader's main loop.

#include <string_view>

namespace scenario {

// Exact-case substring test: field holds word somewhere.
bool Has(std::string_view field, std::string_view word);

// Substring test that ignores the case of ASCII letters only; every other
// byte (the fields are Windows-1252) compares as it is.
// REQUIRES: word is lower case.
bool HasAnyCase(std::string_view field, std::string_view word);

// How a row handler leaves a pass of the main loop.
enum class RowEnd {
  // Go on with the next row.
  kNext,
  // Code 15: leave the loop. The closing steps still run, and after the
  // line reader the train reader runs too.
  kStopReading,
  // The stage ends at once, without the closing steps; after the line
  // reader the train reader does not run.
  kEndStage,
};

}  // namespace scenario

#endif  // SCENARIO_LINE_ROW_READING_H_
