#ifndef SCENARIO_DOCUMENTS_SCENARIO_NOTES_H_
#define SCENARIO_DOCUMENTS_SCENARIO_NOTES_H_

#include <string>
#include <vector>

namespace scenario {

// The built-in scenario notes (26 lines) as a line list: UTF-8 lines without
// line ends, closed by the end marker "riferimento fine del file".
std::vector<std::string> dati_note();

}  // namespace scenario

#endif  // SCENARIO_DOCUMENTS_SCENARIO_NOTES_H_
