#ifndef SCENARIO_TOOLS_COMPILED_PAIR_TESTING_H_
#define SCENARIO_TOOLS_COMPILED_PAIR_TESTING_H_

// Test support for decompile: a description pair compiled in memory and
// loaded back as the commands load compiled files, with what its readers
// read; and the real pairs every decompile test starts from.

#include <string>
#include <vector>

#include "line/read_log.h"
#include "tools/recovered_rows.h"
#include "tools/scenario_files.h"

namespace scenario {

struct CompiledPair {
  // The files written, decoded (the grid among them).
  LoadedScenario loaded;
  // The files' bytes: the parameter file, the cell file, the grid.
  std::string param_file;
  std::string cell_file;
  std::string grid_file;
  ReadLog line_log;
  ReadLog train_log;
};

// Compiles the two texts (Windows-1252, as files hold them) under the
// names (Windows-1252) with the grid. A compile that writes nothing or
// files that do not load fail the calling test.
void CompilePair(const std::string& line_text, const std::string& train_text,
                 const std::string& line_name, const std::string& train_name,
                 CompiledPair* pair);

// The rows a reader read, in file order, as decompile recovers rows: each
// row's keyword as written and its values as read.
RecoveredDescription LoggedRows(const ReadLog& log);

// A pair of descriptions under its scenario's names.
struct DescriptionPair {
  std::string label;
  std::string line_text;
  std::string train_text;
  std::string line_name;
  std::string train_name;
};

// The built-in pair as export writes it, the reference's example pair
// (docs/example) and the tests' small pair.
std::vector<DescriptionPair> RealPairs();

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMPILED_PAIR_TESTING_H_
