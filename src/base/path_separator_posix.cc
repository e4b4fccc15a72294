#include "base/path_separator.h"

namespace scenario {

// "\" is an ordinary character of a file name here.
bool IsPathSeparator(char c) { return c == '/'; }

std::string_view PathSeparatorsText() { return "\"/\""; }

PathStyle HostPathStyle() { return PathStyle::kPosix; }

}  // namespace scenario
