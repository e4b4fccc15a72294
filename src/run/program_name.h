#ifndef SCENARIO_RUN_PROGRAM_NAME_H_
#define SCENARIO_RUN_PROGRAM_NAME_H_

#include <string_view>

namespace scenario {

// The program's name: every message a command prints on its own begins
// with it and ": ".
inline constexpr std::string_view kProgramName = "scenario-compiler";

}  // namespace scenario

#endif  // SCENARIO_RUN_PROGRAM_NAME_H_
