#include "base/path_separator.h"

namespace scenario {

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

std::string_view PathSeparatorsText() { return "\"/\" or \"\\\""; }

}  // namespace scenario
