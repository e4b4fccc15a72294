#include "base/process_id.h"

#include <windows.h>

namespace scenario {

long CurrentProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

bool ProcessIsGone(long pid) {
  if (pid <= 0) return false;
  const HANDLE process =
      ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) {
    // No process has that id; access denied means one runs under another
    // user.
    return ::GetLastError() == ERROR_INVALID_PARAMETER;
  }
  // A process that has ended stays openable while anybody holds a handle
  // to it: it is gone once it is signalled.
  const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  ::CloseHandle(process);
  return ended;
}

}  // namespace scenario
