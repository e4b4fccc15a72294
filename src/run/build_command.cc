#include "run/build_command.h"

#include <algorithm>
#include <ostream>
#include <string_view>
#include <thread>

#include "base/exit_status.h"
#include "base/file_system.h"
#include "pack/pack_build.h"
#include "pack/pack_discovery.h"
#include "pack/pack_report.h"
#include "run/cli.h"

namespace scenario {
namespace {

constexpr std::string_view kProgram = "scenario-compiler";

void Say(std::ostream& err, std::string_view message) {
  err << kProgram << ": " << message << '\n';
}

PackOptions PackOptionsOf(const BuildCommandOptions& c) {
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
  return options;
}

}  // namespace

int RunBuildCommand(const BuildCommandOptions& c, FileSystem& fs,
                    std::ostream& out, std::ostream& err, bool terminal) {
  const PackOptions options = PackOptionsOf(c);
  PackListing listing;
  Status status = ListPackFiles(fs, c.pack, &listing);
  if (!status.ok()) {
    Say(err, status.message());
    return kExitNothing;
  }
  for (const std::string& trouble : listing.troubles) Say(err, trouble);
  const PackPlan plan = PlanPack(listing.files, options.grid);
  for (const PackReport& report : plan.reports) {
    Say(err, options.pack + "/" + FormatPackReport(report));
  }

  PackProgress progress(err, terminal, c.werror);
  PackOutcome outcome = BuildPack(plan, options, fs, &progress);
  progress.End();
  for (const std::string& trouble : outcome.troubles) Say(err, trouble);
  // A subfolder left unlisted fails the build as any other trouble does.
  outcome.troubles.insert(outcome.troubles.begin(), listing.troubles.begin(),
                          listing.troubles.end());

  if (!c.csv_file.empty()) {
    status = fs.WriteFileReplacing(c.csv_file, PackSummaryCsv(outcome));
    if (!status.ok()) {
      Say(err, status.message());
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
