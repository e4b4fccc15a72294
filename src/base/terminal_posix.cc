#include "base/terminal.h"

#include <unistd.h>

namespace scenario {

bool UseTerminalEscapes(int fd) { return ::isatty(fd) == 1; }

}  // namespace scenario
