#ifndef SCENARIO_TOOLS_OUTPUT_FOLDER_H_
#define SCENARIO_TOOLS_OUTPUT_FOLDER_H_

// The folder an author names for a command's output files ("-o out/").

#include <string>

#include "base/status.h"

namespace scenario {

class FileSystem;

// The folder as file names are made from it: no separator at its end.
// "/" itself becomes "", which MakeFileNames still takes for the root.
std::string FolderWithoutSeparator(std::string folder);

// Creates the folder, and any missing folder above it, when it is not
// there yet; "" (the root) always is. Fails with a message that names the
// folder and the reason.
// REQUIRES: folder as FolderWithoutSeparator gives it.
Status MakeOutputFolder(FileSystem& fs, const std::string& folder);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_OUTPUT_FOLDER_H_
