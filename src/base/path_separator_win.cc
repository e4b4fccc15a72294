#include "base/path_separator.h"

namespace scenario {

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

std::string_view PathSeparatorsText() { return "\"/\" or \"\\\""; }

PathStyle HostPathStyle() { return PathStyle::kWindows; }

}  // namespace scenario
