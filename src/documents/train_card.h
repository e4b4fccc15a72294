#ifndef SCENARIO_DOCUMENTS_TRAIN_CARD_H_
#define SCENARIO_DOCUMENTS_TRAIN_CARD_H_

#include <string>
#include <vector>

namespace scenario {

// The built-in train card (199 lines) as a line list: UTF-8 lines without line
// ends, closed by the end marker "riferimento fine del file".
std::vector<std::string> dati_scheda();

}  // namespace scenario

#endif  // SCENARIO_DOCUMENTS_TRAIN_CARD_H_
