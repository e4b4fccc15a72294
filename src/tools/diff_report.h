#ifndef SCENARIO_TOOLS_DIFF_REPORT_H_
#define SCENARIO_TOOLS_DIFF_REPORT_H_

#include <string>
#include <vector>

namespace scenario {

struct ScenarioDiff;

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

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DIFF_REPORT_H_
