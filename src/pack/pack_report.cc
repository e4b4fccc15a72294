#include "pack/pack_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string_view>

#include "base/exit_status.h"
#include "base/strings.h"

namespace scenario {
namespace {

using nlohmann::json;

const char* StateWord(ScenarioState state) {
  switch (state) {
    case ScenarioState::kBuilt:
      return "built";
    case ScenarioState::kUpToDate:
      return "up to date";
    case ScenarioState::kNothingWritten:
      return "not written";
    case ScenarioState::kNotBuilt:
      return "not compiled";
  }
  return "";
}

const char* ProblemWord(PackProblem problem) {
  switch (problem) {
    case PackProblem::kUnmatched:
      return "unmatched";
    case PackProblem::kNoLine:
      return "no line";
    case PackProblem::kDuplicateLine:
      return "duplicate line";
    case PackProblem::kNameElsewhere:
      return "line name elsewhere";
    case PackProblem::kUnusableName:
      return "unusable name";
    case PackProblem::kOutputClash:
      return "output clash";
  }
  return "";
}

bool Troubled(const ScenarioRow& row) {
  return !row.codes.empty() || row.state == ScenarioState::kNothingWritten ||
         row.state == ScenarioState::kNotBuilt;
}

// With -W a scenario's warnings count as codes.
bool WarningsCount(const ScenarioRow& row, bool werror) {
  return werror && row.warnings.value_or(0) > 0;
}

std::string Codes(const ScenarioRow& row, const char* separator) {
  std::string text;
  for (std::int32_t code : row.codes) {
    if (!text.empty()) text += separator;
    text += std::to_string(code);
  }
  return text;
}

std::string Milliseconds(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", seconds * 1000);
  return buf;
}

std::string Seconds(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f s", seconds);
  return buf;
}

// The row's last column: the first diagnostic, or why nothing was written.
std::string Detail(const ScenarioRow& row) {
  if (row.first_diagnostic.empty()) return row.problem;
  if (row.problem.empty()) return row.first_diagnostic;
  return row.first_diagnostic + "; " + row.problem;
}

// The row's codes, "0" when it recorded none; none ("-") when the pair was
// not compiled, whose codes are not known.
std::string CodesCell(const ScenarioRow& row) {
  if (!row.codes.empty()) return Codes(row, ",");
  return row.warnings ? "0" : "-";
}

// The row's warning count, or none when the pair was not compiled.
std::string WarningCount(const ScenarioRow& row, const char* none) {
  return row.warnings ? std::to_string(*row.warnings) : none;
}

struct Totals {
  int scenarios = 0;
  int built = 0;
  int up_to_date = 0;
  int with_codes = 0;
  int with_warnings = 0;
  int not_written = 0;
  int not_compiled = 0;
  int warnings = 0;
  int files = 0;
};

Totals Count(const PackOutcome& outcome) {
  Totals t;
  for (const ScenarioRow& row : outcome.rows) {
    ++t.scenarios;
    if (row.state == ScenarioState::kBuilt) ++t.built;
    if (row.state == ScenarioState::kUpToDate) ++t.up_to_date;
    if (row.state == ScenarioState::kNothingWritten) ++t.not_written;
    if (row.state == ScenarioState::kNotBuilt) ++t.not_compiled;
    if (!row.codes.empty()) ++t.with_codes;
    if (row.warnings.value_or(0) > 0) ++t.with_warnings;
    t.warnings += row.warnings.value_or(0);
    t.files += static_cast<int>(row.written.size());
  }
  return t;
}

void Pad(std::string* line, std::string_view cell, std::size_t width) {
  *line += cell;
  if (cell.size() < width) line->append(width - cell.size(), ' ');
  *line += "  ";
}

}  // namespace

int PackExitStatus(const PackOutcome& outcome, bool werror) {
  if (!outcome.troubles.empty()) return kExitNothing;
  bool codes = false;
  for (const ScenarioRow& row : outcome.rows) {
    if (row.state == ScenarioState::kNothingWritten ||
        row.state == ScenarioState::kNotBuilt) {
      return kExitNothing;
    }
    codes = codes || !row.codes.empty() || WarningsCount(row, werror);
  }
  return codes ? kExitFindings : kExitOk;
}

std::string FormatPackSummary(const PackOutcome& outcome, int jobs) {
  const std::vector<std::string> head = {
      "SCENARIO", "STATE",     "CODES",           "WARNINGS",
      "FILES",    "TIME (ms)", "FIRST DIAGNOSTIC"};
  std::vector<std::vector<std::string>> cells;
  for (const ScenarioRow& row : outcome.rows) {
    const bool compiled = row.state == ScenarioState::kBuilt ||
                          row.state == ScenarioState::kNothingWritten;
    cells.push_back({PrintableName(row.scenario), StateWord(row.state),
                     CodesCell(row), WarningCount(row, "-"),
                     std::to_string(row.written.size()),
                     compiled ? Milliseconds(row.seconds) : "-",
                     PrintableName(Detail(row))});
  }
  std::vector<std::size_t> width(head.size());
  for (std::size_t c = 0; c < head.size(); ++c) width[c] = head[c].size();
  for (const auto& row : cells) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      width[c] = std::max(width[c], row[c].size());
    }
  }
  std::string text;
  auto emit = [&](const std::vector<std::string>& row) {
    std::string line;
    for (std::size_t c = 0; c + 1 < row.size(); ++c)
      Pad(&line, row[c], width[c]);
    line += row.back();
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
  };
  emit(head);
  for (const auto& row : cells) emit(row);

  const Totals t = Count(outcome);
  text += "\n" + CountOf(t.scenarios, "scenario", "scenarios") + ": " +
          std::to_string(t.built) + " built, " + std::to_string(t.up_to_date) +
          " up to date, " + std::to_string(t.with_codes) + " with codes, " +
          std::to_string(t.not_written) + " not written, " +
          std::to_string(t.not_compiled) + " not compiled; " +
          CountOf(t.warnings, "warning", "warnings") + " in " +
          CountOf(t.with_warnings, "scenario", "scenarios") + "; " +
          CountOf(t.files, "file", "files") + " written (" +
          CountOf(outcome.grids_written, "grid", "grids") + "); " +
          Seconds(outcome.seconds) + " on " + std::to_string(jobs) +
          (jobs == 1 ? " thread\n" : " threads\n");
  return text;
}

std::string PackSummaryJson(const PackOutcome& outcome,
                            const std::vector<PackReport>& reports, int jobs,
                            bool werror) {
  json rows = json::array();
  for (const ScenarioRow& row : outcome.rows) {
    rows.push_back(
        {{"scenario", row.scenario},
         {"train_file", row.train_file},
         {"state", StateWord(row.state)},
         {"codes", row.codes},
         {"first_diagnostic", row.first_diagnostic},
         {"problem", row.problem},
         {"warnings", row.warnings ? json(*row.warnings) : json(nullptr)},
         {"files_written", row.written},
         {"time_ms", row.seconds * 1000}});
  }
  json notes = json::array();
  for (const PackReport& report : reports) {
    notes.push_back({{"file", report.file},
                     {"problem", ProblemWord(report.problem)},
                     {"message", report.message}});
  }
  const Totals t = Count(outcome);
  const json doc = {{"scenarios", rows},
                    {"reports", notes},
                    {"troubles", outcome.troubles},
                    {"totals",
                     {{"scenarios", t.scenarios},
                      {"built", t.built},
                      {"up_to_date", t.up_to_date},
                      {"with_codes", t.with_codes},
                      {"with_warnings", t.with_warnings},
                      {"not_written", t.not_written},
                      {"not_compiled", t.not_compiled},
                      {"warnings", t.warnings},
                      {"files_written", t.files},
                      {"grids_written", outcome.grids_written},
                      {"time_ms", outcome.seconds * 1000},
                      {"threads", jobs}}},
                    {"exit_status", PackExitStatus(outcome, werror)}};
  // Paths may hold any bytes; JSON texts must be UTF-8.
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string PackSummaryCsv(const PackOutcome& outcome) {
  auto field = [](const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string quoted = "\"";
    for (char c : s) {
      if (c == '"') quoted += '"';
      quoted += c;
    }
    return quoted + "\"";
  };
  std::string text =
      "scenario,state,codes,first_diagnostic,warnings,files_written,time_"
      "ms\r\n";
  for (const ScenarioRow& row : outcome.rows) {
    text += field(row.scenario) + "," + StateWord(row.state) + "," +
            Codes(row, " ") + "," + field(Detail(row)) + "," +
            WarningCount(row, "") + "," + std::to_string(row.written.size()) +
            "," + Milliseconds(row.seconds) + "\r\n";
  }
  return text;
}

std::string FormatPackReport(const PackReport& report) {
  return report.file + ": " + ProblemWord(report.problem) + ": " +
         report.message;
}

PackProgress::PackProgress(std::ostream& out, bool terminal, bool werror)
    : out_(out),
      terminal_(terminal),
      werror_(werror),
      start_(std::chrono::steady_clock::now()) {}

void PackProgress::Started(const std::string& scenario, int done, int total) {
  current_ = scenario;
  done_ = done;
  total_ = total;
  if (terminal_) DrawBar();
}

void PackProgress::Finished(const ScenarioRow& row, int done, int total) {
  done_ = done;
  total_ = total;
  if (Troubled(row) || WarningsCount(row, werror_)) ++troubled_;
  if (terminal_) {
    DrawBar();
    return;
  }
  out_ << "[" << done << "/" << total << "] " << PrintableName(row.scenario)
       << ": " << StateWord(row.state);
  if (!row.codes.empty()) out_ << ", codes " << Codes(row, ",");
  if (row.warnings.value_or(0) > 0) {
    out_ << ", " << *row.warnings
         << (*row.warnings == 1 ? " warning" : " warnings");
  }
  out_ << " (" << row.written.size() << " files, " << Milliseconds(row.seconds)
       << " ms)\n";
  out_.flush();
}

void PackProgress::DrawBar() {
  constexpr int kWidth = 30;
  const int filled = total_ > 0 ? done_ * kWidth / total_ : kWidth;
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_)
          .count();
  std::string name = PrintableName(current_);
  if (name.size() > 40) name = "..." + name.substr(name.size() - 37);
  out_ << "\r\x1b[K[" << std::string(filled, '#')
       << std::string(kWidth - filled, '.') << "] " << done_ << "/" << total_
       << "  " << name << "  " << Seconds(elapsed) << "  errors: " << troubled_;
  out_.flush();
  drawn_ = true;
}

void PackProgress::End() {
  if (terminal_ && drawn_) {
    out_ << "\r\x1b[K";
    out_.flush();
  }
}

}  // namespace scenario
