#ifndef SCENARIO_BASE_EXIT_STATUS_H_
#define SCENARIO_BASE_EXIT_STATUS_H_

namespace scenario {

// The program's exit statuses, for every command. Scripts and the pack
// build's callers test them: never renumber.
//
// 0: everything asked for was done and nothing needs the author's eye
//    (no code recorded, no difference found, the built-in run written).
inline constexpr int kExitOk = 0;
// 1: done, with something to look at: codes were recorded (the files are
//    still written), warnings under --werror, two scenarios differ, or the
//    built-in run failed (its reason on standard error).
inline constexpr int kExitFindings = 1;
// 2: nothing was written, or the command line was wrong: an input that
//    cannot be read, an output that cannot be made, a usage error.
inline constexpr int kExitNothing = 2;

}  // namespace scenario

#endif  // SCENARIO_BASE_EXIT_STATUS_H_
