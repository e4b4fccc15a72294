#ifndef SCENARIO_TRAIN_BUILTIN_TRAIN_H_
#define SCENARIO_TRAIN_BUILTIN_TRAIN_H_

#include <string>
#include <vector>

namespace scenario {

// The built-in train description (221 lines) as a line list: UTF-8 lines
// without line ends, closed by the end marker "riferimento fine del file".
std::vector<std::string> dati_treno();

}  // namespace scenario

#endif  // SCENARIO_TRAIN_BUILTIN_TRAIN_H_
