#ifndef SCENARIO_RUN_EXPORT_COMMAND_H_
#define SCENARIO_RUN_EXPORT_COMMAND_H_

#include <iosfwd>
#include <string>

namespace scenario {

class FileSystem;

// What export was asked to do.
struct ExportCommandOptions {
  std::string output = ".";  // the folder; created when missing
};

// export: the built-in descriptions and documents, kept in a folder; each
// file's path on out. kExitNothing, with the reason on err, when the
// folder cannot be made or a file cannot be written.
int RunExportCommand(const ExportCommandOptions& options, FileSystem& fs,
                     std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_EXPORT_COMMAND_H_
