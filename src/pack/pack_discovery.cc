#include "pack/pack_discovery.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "base/file_system.h"
#include "base/path_separator.h"
#include "base/strings.h"
#include "base/windows1252.h"
#include "model/scenario_names.h"

namespace scenario {
namespace {

constexpr std::string_view kLineSuffix = "_linea.txt";
constexpr std::string_view kTrainSuffix = "-.txt";

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(),
                                   [](char c) { return c >= '0' && c <= '9'; });
}

// "name.tmp<pid>-<n>": a file being replaced (or left by a killed run).
bool IsTemporary(std::string_view base) {
  const std::size_t at = base.rfind(".tmp");
  if (at == std::string_view::npos) return false;
  const std::string_view tail = base.substr(at + 4);
  const std::size_t dash = tail.find('-');
  return dash != std::string_view::npos && AllDigits(tail.substr(0, dash)) &&
         AllDigits(tail.substr(dash + 1));
}

// The key under which a file name is unique on a file system that ignores
// letter case, as the simulator's does: the folder as it is, the name
// folded.
std::string ClaimKey(std::string_view folder, std::string_view base) {
  std::optional<std::string> bytes = Utf8ToWindows1252(base);
  return std::string(folder) + "/" +
         (bytes ? LowerWindows1252(*bytes) : std::string(base));
}

std::string Quoted(std::string_view s) { return QuotedName(s); }

// Walks a pack's folders depth first, following no link.
class PackWalk {
 public:
  PackWalk(FileSystem& fs, const std::string& folder, PackListing* listing)
      : fs_(fs), root_(WithoutTrailingSeparators(folder)), listing_(listing) {}

  // Lists the folder at path (relative: its place in the pack) and every
  // folder below it; info is what Stat told of path.
  Status Walk(const std::string& path, const std::string& relative,
              const FileInfo& info) {
    // No link is followed, so only a folder mounted inside itself (or a
    // file system whose listings tell no links) leads back to a folder
    // already walked; walking each once keeps the walk finite.
    if (info.inode != 0 && !seen_.insert({info.device, info.inode}).second) {
      return Status::Ok();
    }
    std::vector<FolderEntry> entries;
    Status status = fs_.ListFolder(path, &entries);
    if (!status.ok()) return status;
    for (const FolderEntry& entry : entries) {
      if (entry.name.starts_with(".")) continue;
      const std::string inner = JoinPath(relative, entry.name);
      if (entry.kind == FileKind::kNormal) {
        listing_->files.push_back(inner);
      } else if (entry.kind == FileKind::kFolder && !entry.link) {
        const std::string inner_path = PackPath(root_, inner);
        status = Walk(inner_path, inner, fs_.Stat(inner_path));
        if (!status.ok()) {
          listing_->troubles.push_back(status.message() +
                                       "; nothing in it is built");
        }
      }
    }
    return Status::Ok();
  }

 private:
  FileSystem& fs_;
  const std::string root_;
  PackListing* listing_;
  std::set<std::pair<std::uint64_t, std::uint64_t>> seen_;  // device, inode
};

struct TrainFile {
  std::string path;
  std::string folder;
  std::string base;
};

// Why a line is not compiled; message is "" for a line that is.
struct LineProblem {
  std::string message;
  PackProblem kind = PackProblem::kUnmatched;
};

// Builds one plan: the files sorted into lines and trains, the lines
// checked, then each train paired and its outputs claimed.
class PackPlanner {
 public:
  explicit PackPlanner(bool with_grid) : with_grid_(with_grid) {}

  PackPlan Plan(const std::vector<std::string>& files);

 private:
  void SortFiles(const std::vector<std::string>& files);
  void CheckLines();
  void ReportDuplicates(const std::vector<std::size_t>& group);
  void ReportNameElsewhere(const std::vector<std::size_t>& group);
  void ClaimGrids();
  std::optional<std::size_t> LineOf(const TrainFile& train) const;
  std::string ClashOf(const std::string& folder,
                      const std::string& outputs) const;
  void PairTrain(const TrainFile& train);

  const bool with_grid_;
  PackPlan plan_;
  std::vector<TrainFile> trains_;      // in file order
  std::vector<LineProblem> problems_;  // by line
  // A file some line or train will write, and the description that does.
  struct Claim {
    std::string output;    // the file's name, as that description gives it
    std::string claimant;  // the description's file
  };
  std::map<std::string, Claim> claims_;  // by ClaimKey
  std::vector<std::vector<PackPair>> pairs_by_line_;
};

PackPlan PackPlanner::Plan(const std::vector<std::string>& files) {
  SortFiles(files);
  CheckLines();
  // The claims on output files: each grid once, then each train's two
  // files, first come first served.
  ClaimGrids();
  pairs_by_line_.resize(plan_.lines.size());
  for (const TrainFile& train : trains_) PairTrain(train);
  for (std::vector<PackPair>& group : pairs_by_line_) {
    for (PackPair& pair : group) plan_.pairs.push_back(std::move(pair));
  }
  return std::move(plan_);
}

void PackPlanner::SortFiles(const std::vector<std::string>& files) {
  std::vector<std::string> sorted = files;
  std::sort(sorted.begin(), sorted.end());
  for (const std::string& path : sorted) {
    const std::string folder(PackFolderOf(path));
    const std::string base(BaseName(path));
    if (base.ends_with(kLineSuffix) && base.size() > kLineSuffix.size()) {
      PackLine line;
      line.folder = folder;
      line.file = path;
      line.name = LineNameFromFile(base);
      line.grid = JoinPath(folder, line.name + "_linea.dat");
      plan_.lines.push_back(std::move(line));
    } else if (base.ends_with(kTrainSuffix) &&
               base.size() > kTrainSuffix.size()) {
      trains_.push_back({path, folder, base});
    } else if (!IsCompilerOutput(base)) {
      plan_.reports.push_back(
          {path, PackProblem::kUnmatched,
           "fits neither \"NAME_linea.txt\" nor \"NAME_TRAIN-.txt\"; not "
           "compiled",
           false, ""});
    }
  }
}

// Lines that cannot be used: a name Windows-1252 cannot write, or one that
// another line of the folder gives too (letter case aside). A name that a
// line of another folder gives too is only reported.
void PackPlanner::CheckLines() {
  problems_.resize(plan_.lines.size());
  std::map<std::string, std::vector<std::size_t>> by_key;
  std::map<std::string, std::vector<std::size_t>> by_name;
  for (std::size_t i = 0; i < plan_.lines.size(); ++i) {
    const PackLine& line = plan_.lines[i];
    std::string error;
    const std::optional<std::string> bytes =
        CheckName(line.name, "the line name", &error);
    if (!bytes) {
      problems_[i] = {error, PackProblem::kUnusableName};
      plan_.reports.push_back(
          {line.file, PackProblem::kUnusableName, error, false, ""});
      continue;
    }
    by_key[ClaimKey(line.folder, line.name)].push_back(i);
    by_name[LowerWindows1252(*bytes)].push_back(i);
  }
  for (const auto& [key, group] : by_key) ReportDuplicates(group);
  for (const auto& [name, group] : by_name) ReportNameElsewhere(group);
}

// group: the lines of one folder with one name, letter case aside.
void PackPlanner::ReportDuplicates(const std::vector<std::size_t>& group) {
  if (group.size() < 2) return;
  for (std::size_t i : group) {
    std::string others;
    for (std::size_t k : group) {
      if (k == i) continue;
      others += (others.empty() ? "" : ", ") + Quoted(plan_.lines[k].file);
    }
    // Two files of one folder have two names, so theirs differ only in
    // letter case.
    problems_[i] = {"its line name " + Quoted(plan_.lines[i].name) +
                        " differs only in letter case from " +
                        (group.size() == 2 ? "that of " : "those of ") +
                        others +
                        " in the same folder: where case is ignored (as the "
                        "simulator's file names are) they would share one "
                        "grid file; rename one of the descriptions",
                    PackProblem::kDuplicateLine};
    plan_.reports.push_back({plan_.lines[i].file, PackProblem::kDuplicateLine,
                             problems_[i].message, false, ""});
  }
}

// group: the lines of the whole pack with one name, letter case aside.
void PackPlanner::ReportNameElsewhere(const std::vector<std::size_t>& group) {
  if (group.size() < 2) return;
  for (std::size_t i : group) {
    if (!problems_[i].message.empty()) continue;
    for (std::size_t k : group) {
      if (k == i || plan_.lines[k].folder == plan_.lines[i].folder) continue;
      plan_.reports.push_back(
          {plan_.lines[i].file, PackProblem::kNameElsewhere,
           "its line name is also given by " + Quoted(plan_.lines[k].file) +
               "; both are compiled, each in its own folder",
           false, ""});
      break;
    }
  }
}

void PackPlanner::ClaimGrids() {
  if (!with_grid_) return;
  for (std::size_t i = 0; i < plan_.lines.size(); ++i) {
    if (!problems_[i].message.empty()) continue;
    const std::string& grid = plan_.lines[i].grid;
    claims_.emplace(ClaimKey(PackFolderOf(grid), BaseName(grid)),
                    Claim{std::string(BaseName(grid)), plan_.lines[i].file});
  }
}

// The line of the train's folder whose name, followed by "_", begins the
// train's file name; the longest such name when several do.
std::optional<std::size_t> PackPlanner::LineOf(const TrainFile& train) const {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < plan_.lines.size(); ++i) {
    const PackLine& line = plan_.lines[i];
    const std::string prefix = line.name + "_";
    if (line.folder != train.folder ||
        train.base.size() <= prefix.size() + kTrainSuffix.size() ||
        !train.base.starts_with(prefix)) {
      continue;
    }
    if (!best || line.name.size() > plan_.lines[*best].name.size()) best = i;
  }
  return best;
}

// Why a train of folder whose outputs are named outputs (without their
// extensions) may not write them: "" when no one claimed them before.
std::string PackPlanner::ClashOf(const std::string& folder,
                                 const std::string& outputs) const {
  for (const std::string& output : {outputs + ".sim", outputs + ".dat"}) {
    auto it = claims_.find(ClaimKey(folder, output));
    if (it == claims_.end()) continue;
    const Claim& claim = it->second;
    if (claim.output == output) {
      return "it would write " + Quoted(JoinPath(folder, output)) + ", which " +
             Quoted(claim.claimant) + " writes";
    }
    return "it would write " + Quoted(JoinPath(folder, output)) + ", and " +
           Quoted(claim.claimant) + " writes " +
           Quoted(JoinPath(folder, claim.output)) +
           ": the names differ only in letter case, so where case is "
           "ignored (as the simulator's file names are) they are one file; "
           "rename one of the descriptions";
  }
  return "";
}

void PackPlanner::PairTrain(const TrainFile& train) {
  const std::string stem = JoinPath(
      train.folder, std::string_view(train.base)
                        .substr(0, train.base.size() - kTrainSuffix.size()));
  auto not_built = [&](PackProblem problem, std::string message) {
    plan_.reports.push_back(
        {train.path, problem, std::move(message), true, stem});
  };
  const std::optional<std::size_t> best = LineOf(train);
  if (!best) {
    not_built(PackProblem::kNoLine,
              "no line description in its folder whose name, followed by "
              "\"_\", begins its file name");
    return;
  }
  const PackLine& line = plan_.lines[*best];
  if (!problems_[*best].message.empty()) {
    not_built(problems_[*best].kind,
              "its line " + Quoted(line.file) +
                  " is not compiled: " + problems_[*best].message);
    return;
  }
  PackPair pair;
  pair.line = *best;
  pair.train_file = train.path;
  pair.train_name = TrainNameFromFile(train.base, line.name);
  std::string error;
  if (!CheckName(pair.train_name, "the train name", &error)) {
    not_built(PackProblem::kUnusableName, error);
    return;
  }
  const std::string outputs = line.name + "_" + pair.train_name;
  pair.scenario = JoinPath(train.folder, outputs);
  pair.param_file = pair.scenario + ".sim";
  pair.cell_file = pair.scenario + ".dat";
  const std::string clash = ClashOf(train.folder, outputs);
  if (!clash.empty()) {
    not_built(PackProblem::kOutputClash, clash);
    return;
  }
  for (const std::string& output : {outputs + ".sim", outputs + ".dat"}) {
    claims_.emplace(ClaimKey(train.folder, output), Claim{output, train.path});
  }
  pairs_by_line_[*best].push_back(std::move(pair));
}

}  // namespace

std::string WithoutTrailingSeparators(std::string folder) {
  while (!folder.empty() && IsPathSeparator(folder.back())) folder.pop_back();
  return folder;
}

std::string PackPath(std::string_view folder, std::string_view relative) {
  if (folder.empty()) return "/" + std::string(relative);
  return relative.empty() ? std::string(folder) : JoinPath(folder, relative);
}

std::string_view PackFolderOf(std::string_view relative) {
  const std::size_t slash = relative.rfind('/');
  return slash == std::string_view::npos ? std::string_view()
                                         : relative.substr(0, slash);
}

Status ListPackFiles(FileSystem& fs, const std::string& folder,
                     PackListing* listing) {
  const FileInfo info = fs.Stat(folder);
  if (info.kind != FileKind::kFolder) {
    return Status::Error(QuotedName(folder) + " is not a folder");
  }
  Status status = PackWalk(fs, folder, listing).Walk(folder, "", info);
  std::sort(listing->files.begin(), listing->files.end());
  return status;
}

bool IsCompilerOutput(std::string_view base) {
  for (std::string_view suffix :
       {".sim", ".dat", "_note.txt", "_rallentamenti.txt", "_scheda_treno.txt",
        ".svg", ".png", ".pdf"}) {
    if (base.ends_with(suffix)) return true;
  }
  return IsTemporary(base);
}

PackPlan PlanPack(const std::vector<std::string>& files, bool with_grid) {
  return PackPlanner(with_grid).Plan(files);
}

}  // namespace scenario
