#ifndef SCENARIO_MODEL_CODE_ENTRY_H_
#define SCENARIO_MODEL_CODE_ENTRY_H_

#include <cstdint>
#include <string_view>

namespace scenario {

// Everything said about one recorded code. The summary goes into every
// diagnostic of the code; the rest is the long explanation for authors,
// which `scenario-compiler explain` prints and the reference page of codes
// is rendered from.
struct CodeEntry {
  std::int32_t code;
  // Where the code is found: "line", "train", "both" or "" (no description
  // file: the compile stage's own checks).
  std::string_view file;
  // One line of English, starting in lower case; a diagnostic may add
  // what holds the cell after it.
  std::string_view summary;
  // What causes the code and what it stops; what to change.
  std::string_view cause;
  std::string_view fix;
  // Rows as an author writes them, one per line ('\n' between rows); a
  // line that starts with "# " says in words what stands around the row.
  // Both empty when no single row shows the code.
  std::string_view wrong;
  std::string_view right;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_CODE_ENTRY_H_
