#include "run/export_command.h"

#include <ostream>

#include "base/exit_status.h"
#include "model/scenario_names.h"
#include "run/program_name.h"
#include "run/run_sequence.h"
#include "tools/output_folder.h"

namespace scenario {

int RunExportCommand(const ExportCommandOptions& options, FileSystem& fs,
                     std::ostream& out, std::ostream& err) {
  const std::string folder = FolderWithoutSeparator(options.output);
  Status status = MakeOutputFolder(fs, folder);
  if (!status.ok()) {
    err << kProgramName << ": " << status.message()
        << "; nothing was written\n";
    return kExitNothing;
  }
  const ScenarioFileNames names =
      MakeFileNames(folder, kBuiltinLineName, kBuiltinTrainName);
  status = WriteBuiltinTexts(fs, names);
  if (!status.ok()) {
    err << kProgramName << ": " << status.message() << '\n';
    return kExitNothing;
  }
  for (const std::string* path :
       {&names.line_description, &names.train_description, &names.notes,
        &names.slowdown_form, &names.train_card}) {
    out << *path << '\n';
  }
  return kExitOk;
}

}  // namespace scenario
