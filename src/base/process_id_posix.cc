#include "base/process_id.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace scenario {

long CurrentProcessId() { return static_cast<long>(::getpid()); }

bool ProcessIsGone(long pid) {
  // Signal 0 only asks whether the process is there: EPERM means it runs
  // under another user.
  return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace scenario
