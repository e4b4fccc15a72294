#ifndef SCENARIO_RUN_EDITOR_SUPPORT_COMMAND_H_
#define SCENARIO_RUN_EDITOR_SUPPORT_COMMAND_H_

#include <iosfwd>
#include <string>

namespace scenario {

class FileSystem;

// What editor-support was asked to do.
struct EditorSupportCommandOptions {
  std::string editor;        // "vscode" or "notepad++" (the parser checks)
  std::string output = ".";  // the folder; created when missing
};

// editor-support: the editor's files made from the readers' keyword table
// (tools/editor_support.h), written under the folder; each file's path on
// out. kExitNothing, with the reason on err, when a folder cannot be made
// or a file cannot be written.
int RunEditorSupportCommand(const EditorSupportCommandOptions& options,
                            FileSystem& fs, std::ostream& out,
                            std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_EDITOR_SUPPORT_COMMAND_H_
