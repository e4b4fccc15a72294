#ifndef SCENARIO_LSP_DESCRIPTION_CHECK_H_
#define SCENARIO_LSP_DESCRIPTION_CHECK_H_

// Checks a description file as an editor holds it: the compile stage runs
// on the open buffers (Windows-1252 bytes), falling back to the file
// system for a file that is not open, and writes nothing.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "lint/warnings.h"
#include "model/diagnostics.h"
#include "model/scenario.h"

namespace scenario {

enum class DescriptionKind {
  kNone,   // not a description file
  kLine,   // "NAME_linea.txt"
  kTrain,  // "NAME_TRAIN-.txt"
};

DescriptionKind KindOfDescription(std::string_view path);

// The open documents, by path: Windows-1252 bytes.
using OpenBuffers = std::map<std::string, std::string, std::less<>>;

// The line description that the naming rule gives a train description in
// the same folder: "LINE_TRAIN-.txt" goes with "LINE_linea.txt". LINE may
// hold "_" itself, so every "_" of the name is tried; of the names that
// are open or stand in fs, the longest wins. A name in fs counts whatever
// it names (a folder, a pipe), so that the check can say what is wrong
// with it rather than that it is missing. "" when there is none.
std::string LineFileForTrain(std::string_view train_path,
                             const OpenBuffers& buffers, FileSystem& fs);

struct DescriptionCheck {
  // The compiled model (for hover); never null.
  std::unique_ptr<Scenario> scenario;
  std::string line_path;   // the line description read ("" when none)
  std::string train_path;  // the train description, or "" for a line alone
  // The recorded codes, in order; each names its file (where.file), or
  // none when the code has no place in a file.
  std::vector<Diagnostic> diagnostics;
  // What the compiler lets through but an author most likely did not mean,
  // in either file.
  std::vector<Warning> warnings;
  // Set when a train description has no line description beside it; the
  // check then did not run.
  bool no_line_file = false;
  // Set when the line description beside a train description cannot be
  // read (not a normal file, far too large, or the read failed): which
  // file, what is wrong and what to do. The check then did not run.
  std::string line_file_problem;
};

// Checks the document at path (its bytes are in buffers): a train
// description against its line description, a line description against a
// minimal train with no rows. A line description that is not open is read
// from fs, through ReadNormalFile, so that a pipe or a huge file is refused
// before it blocks or fills the memory; nothing is written to fs.
DescriptionCheck CheckDescription(const std::string& path, DescriptionKind kind,
                                  const OpenBuffers& buffers, FileSystem& fs);

}  // namespace scenario

#endif  // SCENARIO_LSP_DESCRIPTION_CHECK_H_
