#include "run/editor_support_command.h"

#include <ostream>
#include <vector>

#include "base/exit_status.h"
#include "run/program_name.h"
#include "tools/editor_support.h"
#include "tools/output_folder.h"

namespace scenario {

int RunEditorSupportCommand(const EditorSupportCommandOptions& options,
                            FileSystem& fs, std::ostream& out,
                            std::ostream& err) {
  const std::optional<Editor> editor = EditorNamed(options.editor);
  if (!editor) {
    err << kProgramName << ": editor-support: no editor \"" << options.editor
        << "\"; the editors are " << EditorNames() << '\n';
    return kExitNothing;
  }
  const std::string folder = FolderWithoutSeparator(options.output);
  std::vector<std::string> written;
  const Status status =
      WriteEditorSupport(fs, folder, EditorSupportFiles(*editor), &written);
  for (const std::string& path : written) out << path << '\n';
  if (!status.ok()) {
    err << kProgramName << ": " << status.message() << '\n';
    return kExitNothing;
  }
  return kExitOk;
}

}  // namespace scenario
