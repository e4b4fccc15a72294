#ifndef SCENARIO_COMPILE_SMALL_PAIR_TESTING_H_
#define SCENARIO_COMPILE_SMALL_PAIR_TESTING_H_

// The one small line and train pair of the tests: every test that wants a
// small valid scenario takes this one (a test that needs a pair built for
// its fault keeps its own). It compiles without a code, deserves no
// warning, and puts at least one item of most kinds on the line:
//
// - a 7000 m line (last_cell (7000 + 7000) / 50 = 280) with a kilometre
//   record from 500 m, a curve each way, two gradients, a mountain side,
//   signal repetition from 1050 m, a maximum-speed board at 100 m and an
//   indicator board at 2500 m;
// - a train with two stations, two adhesions, two speed limits, a slowdown
//   at 6000 m, signals at 1050 m and 4450 m and a code change at 1500 m.
//
// Tests that change one row name it by its line (from 1): the rows below
// are numbered in the .cc file.

#include <string>
#include <vector>

namespace scenario {

// The lines joined, each ended by CR LF as the descriptions are written.
std::string DescriptionText(const std::vector<std::string>& lines);

// The rows of each description, without line ends.
std::vector<std::string> SmallLineRows();
std::vector<std::string> SmallTrainRows();

// The descriptions as files hold them.
std::string SmallLineText();
std::string SmallTrainText();

}  // namespace scenario

#endif  // SCENARIO_COMPILE_SMALL_PAIR_TESTING_H_
