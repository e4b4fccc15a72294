#ifndef SCENARIO_PACK_PACK_REPORT_H_
#define SCENARIO_PACK_PACK_REPORT_H_

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "pack/pack_build.h"
#include "pack/pack_discovery.h"

namespace scenario {

// The pack's exit status (base/exit_status.h): kExitNothing when some
// scenario wrote nothing (or was not compiled) or on trouble outside the
// scenarios, else kExitFindings when some codes were recorded (or, with
// werror, some warnings found), else kExitOk.
int PackExitStatus(const PackOutcome& outcome, bool werror);

// The summary: one row per scenario (codes with the first diagnostic,
// warnings, files written, time), then the totals. jobs is the number of
// threads used. A scenario not compiled has no code or warning count:
// "-"; one compiled (or up to date) without codes shows "0".
std::string FormatPackSummary(const PackOutcome& outcome, int jobs);
// The same table for tools (no warning count: null in JSON, empty in CSV).
// The JSON also carries the plan's reports, the totals and the exit status
// (werror as for PackExitStatus).
std::string PackSummaryJson(const PackOutcome& outcome,
                            const std::vector<PackReport>& reports, int jobs,
                            bool werror);
std::string PackSummaryCsv(const PackOutcome& outcome);

// One line for a report of the plan, as printed before the build.
std::string FormatPackReport(const PackReport& report);

// Progress on a stream: on a terminal one bar redrawn in place (done/total,
// the scenario being compiled, elapsed time, and the errors so far:
// scenarios with codes or without files, and with warnings too when
// werror makes them count as codes); otherwise one line per scenario.
class PackProgress : public PackObserver {
 public:
  PackProgress(std::ostream& out, bool terminal, bool werror = false);
  void Started(const std::string& scenario, int done, int total) override;
  void Finished(const ScenarioRow& row, int done, int total) override;
  // Clears the bar (on a terminal).
  void End();

 private:
  void DrawBar();

  std::ostream& out_;
  bool terminal_;
  bool werror_;
  std::chrono::steady_clock::time_point start_;
  std::string current_;
  int done_ = 0;
  int total_ = 0;
  int troubled_ = 0;
  bool drawn_ = false;
};

}  // namespace scenario

#endif  // SCENARIO_PACK_PACK_REPORT_H_
