#ifndef SCENARIO_RUN_DIFF_COMMAND_H_
#define SCENARIO_RUN_DIFF_COMMAND_H_

#include <iosfwd>
#include <string>
#include <vector>

#include "run/cli.h"

namespace scenario {

struct ScenarioDiff;

// Exit statuses of diff, as diff tools have them.
inline constexpr int kDiffSame = 0;
inline constexpr int kDiffDifferent = 1;
inline constexpr int kDiffTrouble = 2;

// diff's arguments split into the old and the new scenario: two
// arguments are one folder or parameter file each; an even number above
// two is the files of the old scenario, then as many of the new. False
// for an odd number.
bool SplitDiffInputs(const std::vector<std::string>& inputs,
                     std::vector<std::string>* old_inputs,
                     std::vector<std::string>* new_inputs);

// The listing: one line per change, the parameter slots first, then the
// line's changes in position order, the grid, and the counts per kind.
// Empty when nothing changed.
std::string FormatDiffText(const ScenarioDiff& diff);
// The same as one JSON object.
std::string FormatDiffJson(const ScenarioDiff& diff);

// diff: finds, reads and compares two compiled scenarios. Exit status
// kDiffSame, kDiffDifferent, or kDiffTrouble with the reason on err.
int RunDiffCommand(const CommandLine& c, std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_DIFF_COMMAND_H_
