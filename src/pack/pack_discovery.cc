#include "pack/pack_discovery.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "base/windows1252.h"
#include "model/scenario_names.h"

namespace scenario {
namespace {

constexpr std::string_view kLineSuffix = "_linea.txt";
constexpr std::string_view kTrainSuffix = "-.txt";

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         s.substr(s.size() - suffix.size()) == suffix;
}

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

std::string Join(const std::string& folder, std::string_view base) {
  return folder.empty() ? std::string(base) : folder + "/" + std::string(base);
}

void SplitPath(const std::string& path, std::string* folder,
               std::string* base) {
  const std::size_t slash = path.rfind('/');
  *folder = slash == std::string::npos ? "" : path.substr(0, slash);
  *base = slash == std::string::npos ? path : path.substr(slash + 1);
}

// The key under which a file name is unique on a file system that ignores
// letter case, as the simulator's does: the folder as it is, the name
// folded.
std::string ClaimKey(const std::string& folder, const std::string& base) {
  std::optional<std::string> bytes = Utf8ToWindows1252(base);
  return folder + "/" + (bytes ? LowerWindows1252(*bytes) : base);
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

struct TrainFile {
  std::string path;
  std::string folder;
  std::string base;
};

}  // namespace

bool IsCompilerOutput(std::string_view base) {
  for (std::string_view suffix :
       {".sim", ".dat", "_note.txt", "_rallentamenti.txt", "_scheda_treno.txt",
        ".svg", ".png", ".pdf"}) {
    if (EndsWith(base, suffix)) return true;
  }
  return IsTemporary(base);
}

PackPlan PlanPack(const std::vector<std::string>& files, bool with_grid) {
  PackPlan plan;
  std::vector<std::string> sorted = files;
  std::sort(sorted.begin(), sorted.end());

  std::vector<TrainFile> trains;
  for (const std::string& path : sorted) {
    std::string folder;
    std::string base;
    SplitPath(path, &folder, &base);
    if (EndsWith(base, kLineSuffix) && base.size() > kLineSuffix.size()) {
      PackLine line;
      line.folder = folder;
      line.file = path;
      line.name = LineNameFromFile(base);
      line.grid = Join(folder, line.name + "_linea.dat");
      plan.lines.push_back(std::move(line));
    } else if (EndsWith(base, kTrainSuffix) &&
               base.size() > kTrainSuffix.size()) {
      trains.push_back({path, folder, base});
    } else if (!IsCompilerOutput(base)) {
      plan.reports.push_back(
          {path, PackProblem::kUnmatched,
           "fits neither \"NAME_linea.txt\" nor \"NAME_TRAIN-.txt\"; not "
           "compiled",
           false, ""});
    }
  }

  // Lines that cannot be used: a name Windows-1252 cannot write, or one
  // that another line of the folder gives too (letter case aside).
  std::vector<std::string> line_problem(plan.lines.size());
  std::vector<PackProblem> line_problem_kind(plan.lines.size());
  std::map<std::string, std::vector<std::size_t>> by_key;
  std::map<std::string, std::vector<std::size_t>> by_name;
  for (std::size_t i = 0; i < plan.lines.size(); ++i) {
    const PackLine& line = plan.lines[i];
    std::string error;
    if (!CheckName(line.name, "the line name", &error)) {
      line_problem[i] = error;
      line_problem_kind[i] = PackProblem::kUnusableName;
      plan.reports.push_back(
          {line.file, PackProblem::kUnusableName, error, false, ""});
      continue;
    }
    by_key[ClaimKey(line.folder, line.name)].push_back(i);
    by_name[LowerWindows1252(*Utf8ToWindows1252(line.name))].push_back(i);
  }
  for (const auto& [key, group] : by_key) {
    if (group.size() < 2) continue;
    for (std::size_t i : group) {
      std::string others;
      for (std::size_t k : group) {
        if (k != i)
          others += (others.empty() ? "" : ", ") + Quoted(plan.lines[k].file);
      }
      line_problem[i] = "its line name " + Quoted(plan.lines[i].name) +
                        " is also given by " + others +
                        " in the same folder; they would share one grid file";
      line_problem_kind[i] = PackProblem::kDuplicateLine;
      plan.reports.push_back({plan.lines[i].file, PackProblem::kDuplicateLine,
                              line_problem[i], false, ""});
    }
  }
  for (const auto& [name, group] : by_name) {
    if (group.size() < 2) continue;
    for (std::size_t i : group) {
      if (!line_problem[i].empty()) continue;
      for (std::size_t k : group) {
        if (k == i || plan.lines[k].folder == plan.lines[i].folder) continue;
        plan.reports.push_back(
            {plan.lines[i].file, PackProblem::kNameElsewhere,
             "its line name is also given by " + Quoted(plan.lines[k].file) +
                 "; both are compiled, each in its own folder",
             false, ""});
        break;
      }
    }
  }

  // Pairing, then the claims on output files: each grid once, then each
  // train's two files, first come first served.
  std::map<std::string, std::string> claims;  // key -> claimant's file
  if (with_grid) {
    for (std::size_t i = 0; i < plan.lines.size(); ++i) {
      if (!line_problem[i].empty()) continue;
      std::string folder;
      std::string base;
      SplitPath(plan.lines[i].grid, &folder, &base);
      claims.emplace(ClaimKey(folder, base), plan.lines[i].file);
    }
  }
  std::vector<std::vector<PackPair>> pairs_by_line(plan.lines.size());
  for (const TrainFile& train : trains) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < plan.lines.size(); ++i) {
      const PackLine& line = plan.lines[i];
      const std::string prefix = line.name + "_";
      if (line.folder != train.folder ||
          train.base.size() <= prefix.size() + kTrainSuffix.size() ||
          train.base.compare(0, prefix.size(), prefix) != 0) {
        continue;
      }
      if (!best || line.name.size() > plan.lines[*best].name.size()) best = i;
    }
    const std::string stem =
        Join(train.folder,
             train.base.substr(0, train.base.size() - kTrainSuffix.size()));
    auto not_built = [&](PackProblem problem, std::string message) {
      plan.reports.push_back(
          {train.path, problem, std::move(message), true, stem});
    };
    if (!best) {
      not_built(PackProblem::kNoLine,
                "no line description in its folder whose name, followed by "
                "\"_\", begins its file name");
      continue;
    }
    const PackLine& line = plan.lines[*best];
    if (!line_problem[*best].empty()) {
      not_built(line_problem_kind[*best],
                "its line " + Quoted(line.file) +
                    " is not compiled: " + line_problem[*best]);
      continue;
    }
    PackPair pair;
    pair.line = *best;
    pair.train_file = train.path;
    pair.train_name = TrainNameFromFile(train.base, line.name);
    std::string error;
    if (!CheckName(pair.train_name, "the train name", &error)) {
      not_built(PackProblem::kUnusableName, error);
      continue;
    }
    const std::string outputs = line.name + "_" + pair.train_name;
    pair.scenario = Join(train.folder, outputs);
    pair.param_file = Join(train.folder, outputs + ".sim");
    pair.cell_file = Join(train.folder, outputs + ".dat");
    std::string clash;
    for (const std::string& output : {outputs + ".sim", outputs + ".dat"}) {
      auto it = claims.find(ClaimKey(train.folder, output));
      if (it != claims.end() && clash.empty()) {
        clash = "it would write " + Quoted(Join(train.folder, output)) +
                ", which " + Quoted(it->second) + " writes";
      }
    }
    if (!clash.empty()) {
      not_built(PackProblem::kOutputClash, clash);
      continue;
    }
    claims.emplace(ClaimKey(train.folder, outputs + ".sim"), train.path);
    claims.emplace(ClaimKey(train.folder, outputs + ".dat"), train.path);
    pairs_by_line[*best].push_back(std::move(pair));
  }
  for (std::vector<PackPair>& group : pairs_by_line) {
    for (PackPair& pair : group) plan.pairs.push_back(std::move(pair));
  }
  return plan;
}

}  // namespace scenario
