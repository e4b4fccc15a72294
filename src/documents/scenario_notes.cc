#include "documents/scenario_notes.h"

namespace scenario {

// Placeholder until the content lands.
std::vector<std::string> dati_note() { return {"riferimento fine del file"}; }

}  // namespace scenario
