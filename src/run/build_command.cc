#include "run/build_command.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <thread>

#include "base/file_system.h"
#include "pack/pack_build.h"
#include "pack/pack_discovery.h"
#include "pack/pack_report.h"
#include "run/cli.h"

namespace scenario {
namespace {

constexpr std::string_view kProgram = "scenario-compiler";

std::string WithoutTrailingSeparators(std::string folder) {
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

Status ListPackFiles(const std::string& folder,
                     std::vector<std::string>* files) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path root(folder);
  if (!fs::is_directory(root, ec)) {
    return Status::Error("\"" + folder + "\" is not a folder");
  }
  fs::recursive_directory_iterator it(root, ec);
  const fs::recursive_directory_iterator end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    if (path.filename().string().starts_with(".")) {
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(ec)) {
      files->push_back(path.lexically_relative(root).generic_string());
    }
  }
  if (ec) {
    return Status::Error("cannot list the folder \"" + folder +
                         "\": " + ec.message());
  }
  std::sort(files->begin(), files->end());
  return Status::Ok();
}

int RunBuildCommand(const BuildCommandOptions& c, FileSystem& fs,
                    std::ostream& out, std::ostream& err, bool terminal) {
  PackOptions options;
  options.pack = WithoutTrailingSeparators(c.pack);
  options.output =
      c.output ? WithoutTrailingSeparators(*c.output) : options.pack;
  options.jobs =
      c.jobs > 0
          ? c.jobs
          : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  options.grid = c.grid;
  options.force = c.force;
  options.version = std::string(kProgramVersion);

  std::vector<std::string> files;
  Status status = ListPackFiles(c.pack, &files);
  if (!status.ok()) {
    err << kProgram << ": " << status.message() << '\n';
    return 2;
  }
  const PackPlan plan = PlanPack(files, options.grid);
  for (const PackReport& report : plan.reports) {
    err << kProgram << ": " << options.pack << "/" << FormatPackReport(report)
        << '\n';
  }

  PackProgress progress(err, terminal, c.werror);
  PackOutcome outcome = BuildPack(plan, options, fs, &progress);
  progress.End();
  for (const std::string& trouble : outcome.troubles) {
    err << kProgram << ": " << trouble << '\n';
  }

  if (!c.csv_file.empty()) {
    status = fs.WriteFileReplacing(c.csv_file, PackSummaryCsv(outcome));
    if (!status.ok()) {
      err << kProgram << ": " << status.message() << '\n';
      outcome.troubles.push_back(status.message());
    }
  }
  if (c.json) {
    out << PackSummaryJson(outcome, plan.reports, options.jobs, c.werror);
  } else {
    out << FormatPackSummary(outcome, options.jobs);
  }
  return PackExitStatus(outcome, c.werror);
}

}  // namespace scenario
