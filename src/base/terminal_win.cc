#include "base/terminal.h"

#include <io.h>
#include <windows.h>

#include <cstdlib>

namespace scenario {
namespace {

// The console's output mode before the program added the virtual-terminal
// mode; the consoles of standard output and error are one in practice,
// but each is restored on its own.
struct SavedMode {
  HANDLE console = nullptr;
  DWORD mode = 0;
};
SavedMode saved_modes[2];

void RestoreConsoleModes() {
  for (const SavedMode& saved : saved_modes) {
    if (saved.console != nullptr) ::SetConsoleMode(saved.console, saved.mode);
  }
}

}  // namespace

bool UseTerminalEscapes(int fd) {
  if (fd != 1 && fd != 2) return false;
  const auto console = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  DWORD mode = 0;
  // A file or a pipe has no console mode.
  if (console == INVALID_HANDLE_VALUE ||
      ::GetConsoleMode(console, &mode) == 0) {
    return false;
  }
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  if (::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) ==
      0) {
    return false;
  }
  SavedMode& saved = saved_modes[fd - 1];
  if (saved.console == nullptr) {
    saved = {console, mode};
    static const bool registered = std::atexit(RestoreConsoleModes) == 0;
    (void)registered;
  }
  return true;
}

}  // namespace scenario
