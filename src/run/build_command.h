#ifndef SCENARIO_RUN_BUILD_COMMAND_H_
#define SCENARIO_RUN_BUILD_COMMAND_H_

#include <iosfwd>
#include <string>
#include <vector>

#include "base/status.h"
#include "run/cli.h"

namespace scenario {

// Every file under folder, as paths relative to it with "/" between
// folders, in sorted order. Hidden files and folders (a name starting
// with ".") are passed over, and links to folders are not followed.
Status ListPackFiles(const std::string& folder,
                     std::vector<std::string>* files);

// build: every scenario of a pack, compiled on several threads, with a
// progress display on err and a summary on out (or JSON, or a CSV file).
// terminal says whether err is a terminal (a bar) or not (a line per
// scenario).
int RunBuildCommand(const CommandLine& c, std::ostream& out, std::ostream& err,
                    bool terminal);

}  // namespace scenario

#endif  // SCENARIO_RUN_BUILD_COMMAND_H_
