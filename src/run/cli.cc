#include "run/cli.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/exit_status.h"
#include "base/file_system.h"
#include "lint/warnings.h"
#include "model/scenario_names.h"
#include "run/author_commands.h"
#include "run/build_command.h"
#include "run/diff_command.h"
#include "run/lsp_command.h"
#include "run/run_sequence.h"
#include "run/watch_command.h"
#include "tools/scenario_files.h"

namespace scenario {

namespace {

constexpr int kExitUsage = 2;

// The specified run: the built-in scenario, beside the executable. It shows
// the waiting window when a display opens, unless --no-window.
int RunBuiltinCommand(bool window) {
  std::string folder;
  Status status = ApplicationPath(&folder);
  if (!status.ok()) {
    std::cerr << status.message() << '\n';
    return kExitFindings;
  }
  return RunBuiltinScenario(
      RealFileSystem(), folder, std::cerr,
      window ? WindowChoice::kIfDisplay : WindowChoice::kHeadless);
}

// The number of single-letter insertions, deletions and replacements that
// turn a into b.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1,
                         diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// For a first word that is no command ("compil"): the nearest command, or
// the list of commands when none is near.
std::string CommandHint(CLI::App& app, int argc, const char* const* argv) {
  std::string word;
  for (int i = 1; i < argc && word.empty(); ++i) {
    if (argv[i][0] != '-') word = argv[i];
  }
  if (word.empty()) return "";
  std::vector<std::string> names;
  for (const CLI::App* sub :
       app.get_subcommands([](const CLI::App*) { return true; })) {
    if (sub->get_name() == word) return "";
    names.push_back(sub->get_name());
  }
  std::string nearest;
  std::size_t best = std::max<std::size_t>(2, word.size() / 3) + 1;
  for (const std::string& name : names) {
    const std::size_t d = EditDistance(word, name);
    if (d < best) best = d, nearest = name;
  }
  std::string hint = "\"" + word + "\" is not a command";
  if (!nearest.empty()) return hint + "; did you mean \"" + nearest + "\"?\n";
  hint += "; the commands are";
  for (const std::string& name : names) hint += " " + name;
  return hint + "\n";
}

// A picture's ending must name a format plot writes and agree with
// --format: other programs go by the ending. Returns why not, or "". A
// path without an ending takes the format from --format (else SVG).
std::string PlotOutputProblem(const std::string& output,
                              const std::string& format) {
  const std::string ending = std::filesystem::path(output).extension();
  if (ending.empty()) return "";
  const std::optional<PlotFormat> by_ending =
      ParsePlotFormat(std::string_view(ending).substr(1));
  const std::string start =
      "plot: the output \"" + output + "\" ends in \"" + ending + "\"";
  if (!by_ending) {
    return start + ", which names no picture format (.svg, .png or .pdf)\n";
  }
  if (!format.empty() && ParsePlotFormat(format) != by_ending) {
    return start + ", but --format asks for " + format + "\n";
  }
  return "";
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv) {
  ParsedCommandLine parsed;
  CommandLine& c = parsed.command;

  CLI::App app{
      "Compiles a train-driving scenario into the simulator's binary files.\n"
      "Without a command: compiles the built-in scenario beside the program.",
      "scenario-compiler"};
  app.set_version_flag("--version", std::string(kProgramVersion));
  app.require_subcommand(0, 1);
  app.add_flag(
      "--no-window", [&c](std::int64_t) { c.window = false; },
      "Built-in run: do not show the waiting window");

  CLI::App* compile = app.add_subcommand(
      "compile", "Compile a line and a train description into binary files");
  CLI::App* check =
      app.add_subcommand("check", "Compile and report, writing nothing");
  CLI::App* lint = app.add_subcommand(
      "lint", "Check and report warnings as well as codes, writing nothing");
  std::vector<std::string> warning_names;
  for (const WarningKindInfo& info : WarningKinds()) {
    warning_names.emplace_back(info.name);
  }
  for (CLI::App* sub : {compile, check, lint}) {
    sub->add_option("LINE_FILE", c.line_file, "Line description file")
        ->required();
    sub->add_option("TRAIN_FILE", c.train_file, "Train description file")
        ->required();
    sub->add_flag("--json", c.json, "Print one JSON object on stdout");
    sub->add_flag("--no-source", c.no_source,
                  "Do not show the row and a caret under each diagnostic");
    if (sub != lint) {
      sub->add_flag("-W,--warnings", c.warnings,
                    "Also report warnings: what is compiled but almost "
                    "certainly not meant");
    }
    sub->add_flag("--werror", c.werror,
                  "Warnings count like codes for the exit status (1)");
    sub->add_option("--no-warn", c.no_warn,
                    "Do not report warnings of this kind (repeatable)")
        ->check(CLI::IsMember(warning_names));
  }
  compile->add_option("-o,--output", c.output,
                      "Folder for the binary files (default: .)");
  compile->add_option_function<std::string>(
      "--line-name", [&c](const std::string& v) { c.line_name = v; },
      "Line name (default: from the line file's name)");
  compile->add_option_function<std::string>(
      "--train-name", [&c](const std::string& v) { c.train_name = v; },
      "Train name (default: from the train file's name)");
  compile->add_flag("--no-grid", c.no_grid, "Do not build or write the grid");

  CLI::App* exporter = app.add_subcommand(
      "export",
      "Write the built-in line and train descriptions and the documents");
  exporter->add_option("-o,--output", c.output,
                       "Folder for the files (default: .)");

  CLI::App* inspect = app.add_subcommand(
      "inspect", "Decode a cell, parameter or line grid file");
  inspect->add_option("FILE", c.inspect_file, "The binary file")->required();
  inspect->add_option("--as", c.inspect_as, "Force the file's kind")
      ->check(CLI::IsMember({"cells", "params", "grid"}));
  inspect->add_flag("--json", c.json, "Print JSON");
  inspect->add_flag("--all", c.inspect_all,
                    "List empty cells and slots as well");
  inspect->add_flag("--raw", c.inspect_raw,
                    "Show every stored field by its storage name instead of "
                    "in author units");
  inspect
      ->add_option("--every", c.grid_every,
                   "Grid: metres between samples (default: 1000)")
      ->check(CLI::PositiveNumber);

  CLI::App* plot = app.add_subcommand(
      "plot", "Draw a compiled scenario: line plan and profiles");
  plot->add_option("INPUT", c.plot_inputs,
                   "A folder holding a compiled scenario, or its files "
                   "(.sim, .dat, _linea.dat)")
      ->required();
  plot->add_option("-o,--output", c.plot_output,
                   "The picture (default: <line>_<train>.<format>)");
  plot->add_option("--format", c.plot_format,
                   "svg, png or pdf (default: from the output's ending)")
      ->check(CLI::IsMember({"svg", "png", "pdf"}));
  plot->add_option_function<double>(
      "--from", [&c](const double& v) { c.plot_from_km = v; },
      "First kilometre drawn");
  plot->add_option_function<double>(
      "--to", [&c](const double& v) { c.plot_to_km = v; },
      "Last kilometre drawn");
  plot->add_option_function<std::string>(
      "--line-name", [&c](const std::string& v) { c.line_name = v; },
      "Choose the scenario by line name");
  plot->add_option_function<std::string>(
      "--train-name", [&c](const std::string& v) { c.train_name = v; },
      "Choose the scenario by train name");

  CLI::App* watch = app.add_subcommand(
      "watch",
      "Compile a line and a train description, and again on every save");
  watch->add_option("LINE_FILE", c.line_file, "Line description file")
      ->required();
  watch->add_option("TRAIN_FILE", c.train_file, "Train description file")
      ->required();
  watch->add_option("-o,--output", c.output,
                    "Folder for the binary files (default: .)");
  watch->add_flag("--no-grid", c.no_grid, "Do not build or write the grid");

  CLI::App* lsp = app.add_subcommand(
      "lsp",
      "Language server for the description files, on standard input and "
      "output");
  CLI::App* diff = app.add_subcommand(
      "diff", "List what changed between two compiled scenarios");
  diff->add_option("OLD NEW", c.diff_inputs,
                   "The old scenario, then the new: a folder or the "
                   "parameter file (.sim) each, or the files of each")
      ->required();
  diff->add_flag("--json", c.json, "Print one JSON object");

  CLI::App* build = app.add_subcommand(
      "build", "Compile every scenario of a pack folder, in parallel");
  build
      ->add_option("DIR", c.build_dir,
                   "The pack: line and train descriptions, in any folders")
      ->required();
  build->add_option_function<std::string>(
      "-o,--output", [&c](const std::string& v) { c.build_output = v; },
      "Folder for the binary files, with the pack's layout (default: beside "
      "the descriptions)");
  build
      ->add_option("-j,--jobs", c.jobs,
                   "Scenarios compiled at once (default: the number of "
                   "cores)")
      ->check(CLI::PositiveNumber);
  CLI::Option* build_json =
      build->add_flag("--json", c.json, "Print the summary as JSON");
  build->add_option("--csv", c.csv_file, "Write the summary as CSV to FILE")
      ->excludes(build_json);
  build->add_flag("--no-grid", c.no_grid, "Do not build or write the grids");
  build->add_flag("--force", c.force,
                  "Compile every scenario, even those up to date");
  build->add_flag("-W,--werror", c.werror,
                  "Warnings count like codes for the exit status (1)");
  CLI::App* explain = app.add_subcommand(
      "explain",
      "Explain an error code or a warning: its cause, its cure, an example");
  explain->add_option("CODE", c.explain_what,
                      "The code's number, or a warning's name");
  explain->add_flag("--all", c.explain_all,
                    "Every code, as a Markdown page (the format reference's "
                    "list of codes)");

  std::ostringstream out;
  std::ostringstream err;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    parsed.exit_status = app.exit(e, out, err);
    // CLI11 answers a usage error with its own code; ours is 2.
    if (parsed.exit_status != 0) parsed.exit_status = kExitUsage;
    parsed.out_text = out.str();
    parsed.err_text = err.str();
    if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
      parsed.err_text += CommandHint(app, argc, argv);
    }
    return parsed;
  } catch (const std::exception& e) {
    // CLI11 lets a flag's value that is neither a truth word nor a number
    // that fits (--no-window=x) escape as a standard exception.
    parsed.exit_status = kExitUsage;
    parsed.err_text = std::string("a flag was given a value it cannot take (") +
                      e.what() +
                      "): a flag takes no value, or true, false or a number\n"
                      "Run with --help for more information.\n";
    return parsed;
  }

  if (compile->parsed()) {
    c.kind = CommandKind::kCompile;
  } else if (check->parsed()) {
    c.kind = CommandKind::kCheck;
  } else if (lint->parsed()) {
    c.kind = CommandKind::kLint;
  } else if (exporter->parsed()) {
    c.kind = CommandKind::kExport;
  } else if (inspect->parsed()) {
    c.kind = CommandKind::kInspect;
  } else if (watch->parsed()) {
    c.kind = CommandKind::kWatch;
  } else if (lsp->parsed()) {
    c.kind = CommandKind::kLsp;
  } else if (diff->parsed()) {
    c.kind = CommandKind::kDiff;
    if (c.diff_inputs.size() < 2 || c.diff_inputs.size() % 2 != 0) {
      parsed.exit_status = kExitUsage;
      parsed.err_text =
          "diff: give the old and the new scenario: a folder or a parameter "
          "file each, or the same number of files for each\n";
      return parsed;
    }
  } else if (build->parsed()) {
    c.kind = CommandKind::kBuild;
  } else if (explain->parsed()) {
    c.kind = CommandKind::kExplain;
    if (c.explain_all == !c.explain_what.empty()) {
      parsed.exit_status = kExitUsage;
      parsed.err_text = "explain: give one CODE, or --all\n";
      return parsed;
    }
  } else if (plot->parsed()) {
    c.kind = CommandKind::kPlot;
    if (c.plot_from_km && c.plot_to_km && *c.plot_from_km >= *c.plot_to_km) {
      parsed.exit_status = kExitUsage;
      parsed.err_text = "plot: --from must lie below --to\n";
      return parsed;
    }
    if (!c.plot_output.empty()) {
      parsed.err_text = PlotOutputProblem(c.plot_output, c.plot_format);
      if (!parsed.err_text.empty()) {
        parsed.exit_status = kExitUsage;
        return parsed;
      }
    }
  }
  // lint always reports warnings; --werror asks for them too.
  if (c.kind == CommandKind::kLint || c.werror) c.warnings = true;
  parsed.run = true;
  return parsed;
}

BuildCommandOptions BuildOptionsOf(const CommandLine& c) {
  BuildCommandOptions o;
  o.pack = c.build_dir;
  o.output = c.build_output;
  o.jobs = c.jobs;
  o.csv_file = c.csv_file;
  o.force = c.force;
  o.grid = !c.no_grid;
  o.json = c.json;
  o.werror = c.werror;
  return o;
}

int RunCommandLine(int argc, char** argv) {
  const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  std::cout << parsed.out_text;
  std::cerr << parsed.err_text;
  if (!parsed.run) return parsed.exit_status;
  const CommandLine& c = parsed.command;
  switch (c.kind) {
    case CommandKind::kBuiltIn:
      return RunBuiltinCommand(c.window);
    case CommandKind::kCompile:
    case CommandKind::kCheck:
    case CommandKind::kLint:
      return RunCompileCommand(c, std::cout, std::cerr);
    case CommandKind::kExport:
      return RunExportCommand(c, std::cout, std::cerr);
    case CommandKind::kInspect:
      return RunInspectCommand(c, std::cout, std::cerr);
    case CommandKind::kPlot:
      return RunPlotCommand(c, std::cout, std::cerr);
    case CommandKind::kWatch:
      return RunWatchCommand(c, std::cout, std::cerr,
                             ::isatty(STDOUT_FILENO) == 1);
    case CommandKind::kLsp:
      return RunLspCommand(STDIN_FILENO, STDOUT_FILENO);
    case CommandKind::kDiff:
      return RunDiffCommand(c, std::cout, std::cerr);
    case CommandKind::kBuild:
      return RunBuildCommand(BuildOptionsOf(c), RealFileSystem(), std::cout,
                             std::cerr, isatty(STDERR_FILENO));
    case CommandKind::kExplain:
      return RunExplainCommand(c, std::cout, std::cerr);
  }
  return kExitUsage;
}

}  // namespace scenario
