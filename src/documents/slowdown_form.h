#ifndef SCENARIO_DOCUMENTS_SLOWDOWN_FORM_H_
#define SCENARIO_DOCUMENTS_SLOWDOWN_FORM_H_

#include <string>
#include <vector>

namespace scenario {

// The built-in slowdown order form (46 lines) as a line list: UTF-8 lines
// without line ends, closed by the end marker "riferimento fine del file".
std::vector<std::string> dati_rallentamenti();

}  // namespace scenario

#endif  // SCENARIO_DOCUMENTS_SLOWDOWN_FORM_H_
