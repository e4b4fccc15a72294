#include "run/compile_command.h"

#include <ostream>
#include <string>
#include <string_view>

#include "base/exit_status.h"
#include "base/strings.h"
#include "compile/compile_stage.h"
#include "lint/lint.h"
#include "run/program_name.h"
#include "tools/compile_report.h"

namespace scenario {
namespace {

// The closing line of a compile that wrote its files. Every code it
// counts was reported above it and let the compile go on to the end.
// Under -w no warning was looked for, and "0 warnings" would claim a clean
// pair: the line says that they were not looked for instead.
std::string WrittenLine(const CompileCommandOutcome& outcome,
                        bool warnings_looked_for) {
  return CountOf(outcome.written.size(), "file", "files") +
         " written: " + CountOf(outcome.codes, "code", "codes") + ", " +
         (warnings_looked_for ? CountOf(outcome.warnings, "warning", "warnings")
                              : std::string("warnings not looked for (-w)"));
}

}  // namespace

CompileCommandOutcome CompileAndReport(const CompileCommandOptions& options,
                                       FileSystem& fs, std::ostream& out,
                                       std::ostream& err) {
  const AuthorCompileOptions& o = options.compile;
  AuthorCompile compile;
  std::vector<std::string> notes;
  const Status status = CompileAuthorPair(o, fs, &compile, &notes);
  // A name taken from a file name off the naming rule: the output files
  // are named after it, so say which and why.
  for (const std::string& note : notes) {
    err << kProgramName << ": note: " << note << '\n';
  }
  CompileCommandOutcome outcome;
  if (!status.ok()) {
    err << kProgramName << ": " << status.message() << '\n';
    outcome.exit_status = kExitNothing;
    return outcome;
  }
  outcome.exit_status = compile.exit_status;
  outcome.codes = compile.codes();
  outcome.warnings = compile.warnings();
  outcome.written = compile.report.result.written;

  if (options.json) {
    out << CompileReportJson(o, compile, fs);
    return outcome;
  }
  err << CompileFindingsText(o, compile, fs, !options.no_source);
  if (o.summary) out << DescribeSummary(compile.report.summary) << '\n';
  const std::string end = CompileEndMessage(compile.report.result);
  if (!end.empty()) {
    err << kProgramName << ": " << end << '\n';
  } else if (o.write && !options.quiet) {
    err << kProgramName << ": " << WrittenLine(outcome, o.warnings.shown)
        << '\n';
  }
  return outcome;
}

int RunCompileCommand(const CompileCommandOptions& options, FileSystem& fs,
                      std::ostream& out, std::ostream& err) {
  return CompileAndReport(options, fs, out, err).exit_status;
}

}  // namespace scenario
