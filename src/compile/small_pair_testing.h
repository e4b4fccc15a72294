#ifndef SCENARIO_COMPILE_SMALL_PAIR_TESTING_H_
#define SCENARIO_COMPILE_SMALL_PAIR_TESTING_H_

// A small line and train pair for the tests that compile a whole scenario.
// It compiles without a code and puts at least one item of most kinds on
// the line: a 3000 m line (last_cell (3000 + 7000) / 50 = 200) with a
// curve, two gradients, signal repetition from 1050 m and an indicator
// board at 2500 m; a train with two stations, two adhesions, two speed
// limits, a slowdown at 6000 m, signals at 1050 m and 4450 m and a code
// change at 1500 m.

#include <string>
#include <vector>

namespace scenario {

// The lines joined, each ended by CR LF as the descriptions are written.
std::string DescriptionText(const std::vector<std::string>& lines);

std::string SmallLineText();
std::string SmallTrainText();

}  // namespace scenario

#endif  // SCENARIO_COMPILE_SMALL_PAIR_TESTING_H_
