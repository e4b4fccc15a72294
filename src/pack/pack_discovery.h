#ifndef SCENARIO_PACK_PACK_DISCOVERY_H_
#define SCENARIO_PACK_PACK_DISCOVERY_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace scenario {

class FileSystem;

// A scenario pack: every line and train description under one folder,
// found by the naming rule ("NAME_linea.txt", "NAME_TRAIN-.txt") and
// paired. Paths are relative to the pack's folder, with "/" between
// folders; "" is the pack's own folder.

// folder without its trailing separators: "" for the root folder, as
// ApplicationPath gives it. The pack's and the output folder are kept so.
std::string WithoutTrailingSeparators(std::string folder);

// The path of relative (a path in a pack, "" the pack's folder itself)
// under folder, which has no trailing separator ("" the root folder).
std::string PackPath(std::string_view folder, std::string_view relative);

// The folder part of a path in a pack: "a/b" for "a/b/c", "" for "c".
std::string_view PackFolderOf(std::string_view relative);

// What a walk of a pack's folder found.
struct PackListing {
  std::vector<std::string> files;  // relative paths, sorted
  // One message per subfolder that could not be listed, naming it and the
  // reason; nothing under it is in files.
  std::vector<std::string> troubles;
};

// Every file under folder (as the author gave it), reached through fs.
// Hidden files and folders (a name starting with ".") are passed over;
// links to files count as files, links to folders are not followed, and a
// folder met twice under other names (a mount inside itself) is walked
// once, so the walk always ends. Fails, naming folder, only when folder is
// not a folder or cannot be listed itself.
Status ListPackFiles(FileSystem& fs, const std::string& folder,
                     PackListing* listing);

struct PackLine {
  std::string folder;
  std::string file;  // the description
  std::string name;  // from the file name (UTF-8)
  std::string grid;  // the grid file it writes, beside its trains
};

struct PackPair {
  std::size_t line = 0;  // into PackPlan::lines
  std::string train_file;
  std::string train_name;  // from the file name (UTF-8)
  // The outputs' stem: folder and "LINE_TRAIN"; names the scenario in
  // reports.
  std::string scenario;
  std::string param_file;
  std::string cell_file;
};

enum class PackProblem {
  kUnmatched,      // fits neither pattern
  kNoLine,         // a train with no line description in its folder
  kDuplicateLine,  // two lines of one folder with one name (letter case
                   // aside): they would share one grid file
  kNameElsewhere,  // a line name also given by a line in another folder
  kUnusableName,   // a name Windows-1252 cannot write
  kOutputClash,    // a train whose files another scenario writes
};

struct PackReport {
  std::string file;
  PackProblem problem = PackProblem::kUnmatched;
  std::string message;
  // A train description that is not compiled: it counts as a scenario
  // that wrote nothing. Other reports only inform.
  bool train = false;
  std::string scenario;  // with train: as PackPair::scenario would be
};

struct PackPlan {
  std::vector<PackLine> lines;  // in file order
  std::vector<PackPair> pairs;  // grouped by line, in file order
  std::vector<PackReport> reports;
};

// Pairs every train with the line of its folder whose name, followed by
// "_", begins the train's file name (the longest such name when several
// do). The compiler's own outputs and companions (binary files, crew
// documents, pictures, temporaries) are passed over silently; any other
// file is reported. with_grid says whether the grid files are written (and
// so may clash with a train's files).
// REQUIRES: files are relative paths as above, each named once.
PackPlan PlanPack(const std::vector<std::string>& files, bool with_grid);

// True for a file the compiler writes itself (the files PlanPack passes
// over); base is a file name without folder.
bool IsCompilerOutput(std::string_view base);

}  // namespace scenario

#endif  // SCENARIO_PACK_PACK_DISCOVERY_H_
