#ifndef SCENARIO_LINE_BUILTIN_LINE_H_
#define SCENARIO_LINE_BUILTIN_LINE_H_

#include <string>
#include <vector>

namespace scenario {

// The built-in line description (324 lines) as a line list: UTF-8 lines without
// line ends, closed by the end marker "riferimento fine del file".
std::vector<std::string> dati_linea();

}  // namespace scenario

#endif  // SCENARIO_LINE_BUILTIN_LINE_H_
