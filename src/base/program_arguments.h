#ifndef SCENARIO_BASE_PROGRAM_ARGUMENTS_H_
#define SCENARIO_BASE_PROGRAM_ARGUMENTS_H_

// The program's command-line arguments as UTF-8, the program's encoding of
// names: on POSIX they are main's bytes; on Windows main's are in the
// system's ANSI code page, which loses an "à" outside it, so they are
// taken from the wide command line instead.

#include <string>
#include <vector>

namespace scenario {

// argv[0] to argv[argc - 1] as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace scenario

#endif  // SCENARIO_BASE_PROGRAM_ARGUMENTS_H_
