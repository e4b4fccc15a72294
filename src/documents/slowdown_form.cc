#include "documents/slowdown_form.h"

namespace scenario {

// Placeholder until the content lands.
std::vector<std::string> dati_rallentamenti() { return {"riferimento fine del file"}; }

}  // namespace scenario
