#ifndef SCENARIO_BASE_PROCESS_ID_H_
#define SCENARIO_BASE_PROCESS_ID_H_

// Process ids as the names of temporary files carry them: whose a
// temporary is, and whether that process still runs.

namespace scenario {

// The id of this process: positive.
long CurrentProcessId();

// True only when no process of that id runs; a process that this one may
// not look at (another user's) still counts as running, and so does a
// process whose state cannot be told.
bool ProcessIsGone(long pid);

}  // namespace scenario

#endif  // SCENARIO_BASE_PROCESS_ID_H_
