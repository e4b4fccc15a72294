#ifndef SCENARIO_TOOLS_EDITOR_SNIPPETS_H_
#define SCENARIO_TOOLS_EDITOR_SNIPPETS_H_

// VS Code's snippet file of a description file's rows: one snippet per
// keyword form (line/description_layout.h), its body the row as the
// language server's completion inserts it (line/row_snippet.h), its
// description the row's name and its fields with units and meanings.

#include <string>

#include "line/description_layout.h"

namespace scenario {

// The snippet file as JSON text, ending with a line end.
std::string VsCodeSnippets(DescriptionFile file);

// VS Code's language configuration, the same for both files: brackets of
// section headers, quotes of texts, and a word that runs to a comma or a
// blank. No comment marks: the files have none (a "commented-out" row is
// still read).
std::string VsCodeLanguageConfiguration();

}  // namespace scenario

#endif  // SCENARIO_TOOLS_EDITOR_SNIPPETS_H_
