#ifndef SCENARIO_TOOLS_EDITOR_SUPPORT_H_
#define SCENARIO_TOOLS_EDITOR_SUPPORT_H_

// The files that teach an editor the description files, all made from the
// readers' keyword table: for VS Code the extension's grammars, snippets,
// language configuration and the grammar's keyword tests (the extension's
// hand-written files lie beside them in editors/vscode/); for Notepad++
// its user-defined language. The copies in editors/ are held to these by
// a test, so a keyword changed in the table fails it until they are made
// again (scripts/regenerate-editor-support.sh).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace scenario {

class FileSystem;

enum class Editor : std::uint8_t {
  kVsCode,
  kNotepadPlusPlus,
};

// "vscode" or "notepad++"; none for any other name.
std::optional<Editor> EditorNamed(std::string_view name);
// The names EditorNamed takes, for a usage message: "vscode, notepad++".
std::string_view EditorNames();

struct EditorFile {
  std::string path;  // relative to the output folder, parted by "/"
  std::string contents;
};

// The editor's files, in a fixed order.
std::vector<EditorFile> EditorSupportFiles(Editor editor);

// Writes the files under folder (as FolderWithoutSeparator gives it),
// making the folders they need; appends each written path to *written.
// Stops at the first failure, with a message that names the file.
Status WriteEditorSupport(FileSystem& fs, const std::string& folder,
                          const std::vector<EditorFile>& files,
                          std::vector<std::string>* written);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_EDITOR_SUPPORT_H_
