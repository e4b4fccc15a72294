#ifndef SCENARIO_RUN_CLI_H_
#define SCENARIO_RUN_CLI_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/build_command.h"

namespace scenario {

enum class CommandKind {
  kBuiltIn,  // no command: the built-in scenario, files beside the program
  kCompile,
  kCheck,
  kLint,  // check with warnings
  kExport,
  kInspect,
  kPlot,
  kWatch,
  kLsp,
  kDiff,
  kBuild,
  kExplain,
};

// What --version prints; the pack builds keep it beside their outputs.
inline constexpr std::string_view kProgramVersion = "scenario-compiler 1.0.0";

// What the command line asks for. Texts are as typed (UTF-8).
struct CommandLine {
  CommandKind kind = CommandKind::kBuiltIn;
  bool window = true;  // built-in run only: --no-window turns it off

  // compile, check, watch
  std::string line_file;
  std::string train_file;
  std::optional<std::string> line_name;
  std::optional<std::string> train_name;
  bool no_grid = false;  // compile, watch, build
  bool json = false;     // compile, check, lint, inspect, build, diff
  // compile, check, lint: no row and caret under each diagnostic
  bool no_source = false;

  // compile, check (-W), lint (always): report warnings; --werror (build:
  // -W too; its summary always counts them) makes them count like codes for
  // the exit status; --no-warn silences kinds by name (checked against the
  // known names)
  bool warnings = false;
  bool werror = false;
  std::vector<std::string> no_warn;

  // compile, export, watch: the output folder
  std::string output = ".";

  // build: the pack's folder; the output folder (default: the pack's);
  // threads (0: one per core); the CSV summary's file ("": none)
  std::string build_dir;
  std::optional<std::string> build_output;
  int jobs = 0;
  std::string csv_file;
  bool force = false;

  // inspect
  std::string inspect_file;
  std::string inspect_as;  // "", "cells", "params" or "grid"
  bool inspect_all = false;
  bool inspect_raw = false;  // the storage view, field by field
  int grid_every = 1000;     // metres between grid samples

  // explain: a code's number (or a warning's name); all: every entry, as
  // the reference's Markdown page
  std::string explain_what;
  bool explain_all = false;

  // plot: a folder or the scenario's files; the picture's path ("": named
  // after the scenario, in the current folder); its format ("": from the
  // path's ending)
  std::vector<std::string> plot_inputs;
  std::string plot_output;
  std::string plot_format;
  std::optional<double> plot_from_km;
  std::optional<double> plot_to_km;

  // diff: the old scenario, then the new (folders, parameter files, or
  // the files of each)
  std::vector<std::string> diff_inputs;
};

// The result of parsing: either a command to run, or an exit status with
// the text to print (help, version, usage errors).
struct ParsedCommandLine {
  bool run = false;
  CommandLine command;
  int exit_status = 0;
  std::string out_text;  // for stdout
  std::string err_text;  // for stderr
};

// Turns argv into a command or a usage error. Pure: prints nothing.
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv);

// The build command's options from a parsed command line.
BuildCommandOptions BuildOptionsOf(const CommandLine& c);

// Runs the program for its command line; returns the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace scenario

#endif  // SCENARIO_RUN_CLI_H_
