#include "line/builtin_line.h"

namespace scenario {

// Placeholder until the content lands.
std::vector<std::string> dati_linea() { return {"riferimento fine del file"}; }

}  // namespace scenario
