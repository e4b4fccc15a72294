#ifndef SCENARIO_MODEL_DIAGNOSTICS_H_
#define SCENARIO_MODEL_DIAGNOSTICS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// Where something stands in a description file. line and column count
// from 1; line 0 means "no place in a file" (the post-pass, the stamping).
struct SourceSpot {
  std::string file;
  int line = 0;
  int column = 0;
};

// One recorded code, kept for the author tools. error_code only keeps the
// last code; this list keeps them all, in the order they were recorded.
struct Diagnostic {
  std::int32_t code = 0;
  std::optional<std::int32_t> position;  // metres; absent when not set
  SourceSpot where;
  std::string message;  // one line of English
};

// The one-line English explanation of a recorded code, its summary in the
// table of codes ("" for an unknown code).
std::string_view ExplainCode(std::int32_t code);

}  // namespace scenario

#endif  // SCENARIO_MODEL_DIAGNOSTICS_H_
