#include "run/cli.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_system.h"
#include "lint/warnings.h"
#include "run/lsp_command.h"

namespace scenario {

namespace {

constexpr int kExitUsage = 2;

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

// Every command's options, bound to its subcommand before the parse; the
// parsed command's are then moved into the result.
struct OptionStore {
  BuiltinCommandOptions builtin;
  CompileCommandOptions compile;
  CompileCommandOptions check;
  CompileCommandOptions lint;
  ExportCommandOptions exporter;
  InspectCommandOptions inspect;
  PlotOptions plot;
  std::string plot_format;  // "", "svg", "png" or "pdf"
  WatchCommandOptions watch;
  DiffCommandOptions diff;
  BuildCommandOptions build;
  bool build_no_grid = false;
  ExplainCommandOptions explain;
};

// The subcommands, as the parse made them.
struct Subcommands {
  CLI::App* compile;
  CLI::App* check;
  CLI::App* lint;
  CLI::App* exporter;
  CLI::App* inspect;
  CLI::App* plot;
  CLI::App* watch;
  CLI::App* lsp;
  CLI::App* diff;
  CLI::App* build;
  CLI::App* explain;
};

// compile, check and lint: the pair and how to report on it. lint always
// reports warnings, so it has no -W.
CLI::App* AddCompileLike(CLI::App& app, const char* name,
                         const char* description, CompileCommandOptions* o) {
  CLI::App* sub = app.add_subcommand(name, description);
  AuthorCompileOptions& c = o->compile;
  sub->add_option("LINE_FILE", c.line_file, "Line description file")
      ->required();
  sub->add_option("TRAIN_FILE", c.train_file, "Train description file")
      ->required();
  sub->add_flag("--json", o->json, "Print one JSON object on stdout");
  sub->add_flag("--no-source", o->no_source,
                "Do not show the row and a caret under each diagnostic");
  if (std::string_view(name) != "lint") {
    sub->add_flag("-W,--warnings", c.warnings,
                  "Also report warnings: what is compiled but almost "
                  "certainly not meant");
  }
  sub->add_flag("--werror", c.werror,
                "Warnings count like codes for the exit status (1)");
  std::vector<std::string> warning_names;
  for (const WarningKindInfo& info : WarningKinds()) {
    warning_names.emplace_back(info.name);
  }
  sub->add_option("--no-warn", c.no_warn,
                  "Do not report warnings of this kind (repeatable)")
      ->check(CLI::IsMember(std::move(warning_names)));
  return sub;
}

// compile's own options: where the files go and what they are named.
void AddCompileOutputs(CLI::App* compile, AuthorCompileOptions* c) {
  compile->add_option("-o,--output", c->output,
                      "Folder for the binary files (default: .)");
  compile->add_option_function<std::string>(
      "--line-name", [c](const std::string& v) { c->line_name = v; },
      "Line name (default: from the line file's name)");
  compile->add_option_function<std::string>(
      "--train-name", [c](const std::string& v) { c->train_name = v; },
      "Train name (default: from the train file's name)");
  compile->add_flag("--no-grid", c->no_grid, "Do not build or write the grid");
}

CLI::App* AddExport(CLI::App& app, ExportCommandOptions* o) {
  CLI::App* exporter = app.add_subcommand(
      "export",
      "Write the built-in line and train descriptions and the documents");
  exporter->add_option("-o,--output", o->output,
                       "Folder for the files (default: .)");
  return exporter;
}

CLI::App* AddInspect(CLI::App& app, InspectCommandOptions* o) {
  CLI::App* inspect = app.add_subcommand(
      "inspect", "Decode a cell, parameter or line grid file");
  inspect->add_option("FILE", o->file, "The binary file")->required();
  inspect->add_option("--as", o->as, "Force the file's kind")
      ->check(CLI::IsMember({"cells", "params", "grid"}));
  inspect->add_flag("--json", o->view.json, "Print JSON");
  inspect->add_flag("--all", o->view.all, "List empty cells and slots as well");
  inspect->add_flag("--raw", o->view.raw,
                    "Show every stored field by its storage name instead of "
                    "in author units");
  inspect
      ->add_option("--every", o->view.grid_every,
                   "Grid: metres between samples (default: 1000)")
      ->check(CLI::PositiveNumber);
  return inspect;
}

CLI::App* AddPlot(CLI::App& app, PlotOptions* o, std::string* format) {
  CLI::App* plot = app.add_subcommand(
      "plot", "Draw a compiled scenario: line plan and profiles");
  plot->add_option("INPUT", o->inputs,
                   "A folder holding a compiled scenario, or its files "
                   "(.sim, .dat, _linea.dat)")
      ->required();
  plot->add_option("-o,--output", o->output,
                   "The picture (default: <line>_<train>.<format>)");
  plot->add_option("--format", *format,
                   "svg, png or pdf (default: from the output's ending)")
      ->check(CLI::IsMember({"svg", "png", "pdf"}));
  plot->add_option_function<double>(
      "--from", [o](const double& v) { o->from_km = v; },
      "First kilometre drawn");
  plot->add_option_function<double>(
      "--to", [o](const double& v) { o->to_km = v; }, "Last kilometre drawn");
  plot->add_option_function<std::string>(
      "--line-name", [o](const std::string& v) { o->line_name = v; },
      "Choose the scenario by line name");
  plot->add_option_function<std::string>(
      "--train-name", [o](const std::string& v) { o->train_name = v; },
      "Choose the scenario by train name");
  return plot;
}

CLI::App* AddWatch(CLI::App& app, WatchCommandOptions* o) {
  CLI::App* watch = app.add_subcommand(
      "watch",
      "Compile a line and a train description, and again on every save");
  watch->add_option("LINE_FILE", o->line_file, "Line description file")
      ->required();
  watch->add_option("TRAIN_FILE", o->train_file, "Train description file")
      ->required();
  watch->add_option("-o,--output", o->output,
                    "Folder for the binary files (default: .)");
  watch->add_flag("--no-grid", o->no_grid, "Do not build or write the grid");
  return watch;
}

CLI::App* AddDiff(CLI::App& app, DiffCommandOptions* o) {
  CLI::App* diff = app.add_subcommand(
      "diff", "List what changed between two compiled scenarios");
  diff->add_option("OLD NEW", o->inputs,
                   "The old scenario, then the new: a folder or the "
                   "parameter file (.sim) each, or the files of each")
      ->required();
  diff->add_flag("--json", o->json, "Print one JSON object");
  return diff;
}

CLI::App* AddBuild(CLI::App& app, BuildCommandOptions* o, bool* no_grid) {
  CLI::App* build = app.add_subcommand(
      "build", "Compile every scenario of a pack folder, in parallel");
  build
      ->add_option("DIR", o->pack,
                   "The pack: line and train descriptions, in any folders")
      ->required();
  build->add_option_function<std::string>(
      "-o,--output", [o](const std::string& v) { o->output = v; },
      "Folder for the binary files, with the pack's layout (default: beside "
      "the descriptions)");
  build
      ->add_option("-j,--jobs", o->jobs,
                   "Scenarios compiled at once (default: the number of "
                   "cores)")
      ->check(CLI::PositiveNumber);
  CLI::Option* json =
      build->add_flag("--json", o->json, "Print the summary as JSON");
  build->add_option("--csv", o->csv_file, "Write the summary as CSV to FILE")
      ->excludes(json);
  build->add_flag("--no-grid", *no_grid, "Do not build or write the grids");
  build->add_flag("--force", o->force,
                  "Compile every scenario, even those up to date");
  build->add_flag("-W,--werror", o->werror,
                  "Warnings count like codes for the exit status (1)");
  return build;
}

CLI::App* AddExplain(CLI::App& app, ExplainCommandOptions* o) {
  CLI::App* explain = app.add_subcommand(
      "explain",
      "Explain an error code or a warning: its cause, its cure, an example");
  explain->add_option("CODE", o->what,
                      "The code's number, or a warning's name");
  explain->add_flag("--all", o->all,
                    "Every code, as a Markdown page (the format reference's "
                    "list of codes)");
  return explain;
}

// The program and its subcommands, in the order help lists them.
Subcommands AddCommands(CLI::App& app, OptionStore* store) {
  app.set_version_flag("--version", std::string(kProgramVersion));
  app.require_subcommand(0, 1);
  app.add_flag(
      "--no-window", [store](std::int64_t) { store->builtin.window = false; },
      "Built-in run: do not show the waiting window");
  Subcommands subs;
  subs.compile =
      AddCompileLike(app, "compile",
                     "Compile a line and a train description into binary files",
                     &store->compile);
  subs.check = AddCompileLike(
      app, "check", "Compile and report, writing nothing", &store->check);
  subs.lint = AddCompileLike(
      app, "lint",
      "Check and report warnings as well as codes, writing nothing",
      &store->lint);
  AddCompileOutputs(subs.compile, &store->compile.compile);
  subs.exporter = AddExport(app, &store->exporter);
  subs.inspect = AddInspect(app, &store->inspect);
  subs.plot = AddPlot(app, &store->plot, &store->plot_format);
  subs.watch = AddWatch(app, &store->watch);
  subs.lsp = app.add_subcommand(
      "lsp",
      "Language server for the description files, on standard input and "
      "output");
  subs.diff = AddDiff(app, &store->diff);
  subs.build = AddBuild(app, &store->build, &store->build_no_grid);
  subs.explain = AddExplain(app, &store->explain);
  return subs;
}

// A picture's ending must name a format plot writes and agree with
// --format: other programs go by the ending. Returns why not, or "". A
// path without an ending takes the format from --format (else SVG).
std::string PlotOutputProblem(const std::string& output,
                              const std::string& format) {
  const std::string ending(FileEnding(output));
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

// What the plot options ask that no single option can check; "" when
// they agree.
std::string PlotProblem(const PlotOptions& o, const std::string& format) {
  if (o.from_km && o.to_km && *o.from_km >= *o.to_km) {
    return "plot: --from must lie below --to\n";
  }
  if (o.output.empty()) return "";
  return PlotOutputProblem(o.output, format);
}

// compile, check and lint differ only in what they write and report.
CompileCommandOptions FinishCompile(CompileCommandOptions o, CommandKind kind) {
  o.compile.write = kind == CommandKind::kCompile;
  o.compile.summary = kind == CommandKind::kCheck;
  // lint always reports warnings; --werror asks for them too.
  if (kind == CommandKind::kLint || o.compile.werror) {
    o.compile.warnings = true;
  }
  return o;
}

// Moves the parsed command's options out of the store into the result.
// Returns the usage error that its options make together, or "".
std::string TakeOptions(OptionStore& store, ParsedCommandLine* parsed) {
  CommandOptions& options = parsed->options;
  switch (parsed->kind) {
    case CommandKind::kBuiltIn:
      options = store.builtin;
      return "";
    case CommandKind::kCompile:
      options = FinishCompile(std::move(store.compile), parsed->kind);
      return "";
    case CommandKind::kCheck:
      options = FinishCompile(std::move(store.check), parsed->kind);
      return "";
    case CommandKind::kLint:
      options = FinishCompile(std::move(store.lint), parsed->kind);
      return "";
    case CommandKind::kExport:
      options = std::move(store.exporter);
      return "";
    case CommandKind::kInspect:
      options = std::move(store.inspect);
      return "";
    case CommandKind::kPlot:
      if (!store.plot_format.empty()) {
        store.plot.format = ParsePlotFormat(store.plot_format);
      }
      options = std::move(store.plot);
      return PlotProblem(std::get<PlotOptions>(options), store.plot_format);
    case CommandKind::kWatch:
      options = std::move(store.watch);
      return "";
    case CommandKind::kLsp:
      options = LspCommandOptions{};
      return "";
    case CommandKind::kDiff: {
      const std::size_t n = store.diff.inputs.size();
      options = std::move(store.diff);
      if (n >= 2 && n % 2 == 0) return "";
      return "diff: give the old and the new scenario: a folder or a "
             "parameter file each, or the same number of files for each\n";
    }
    case CommandKind::kBuild:
      store.build.grid = !store.build_no_grid;
      options = std::move(store.build);
      return "";
    case CommandKind::kExplain: {
      const bool one = store.explain.all == store.explain.what.empty();
      options = std::move(store.explain);
      return one ? "" : "explain: give one CODE, or --all\n";
    }
  }
  return "";
}

// The command that was parsed, its options moved out of the store, or
// the usage error that the options make together ("" when none).
std::string TakeCommand(const Subcommands& subs, OptionStore& store,
                        ParsedCommandLine* parsed) {
  const std::pair<CLI::App*, CommandKind> kinds[] = {
      {subs.compile, CommandKind::kCompile},
      {subs.check, CommandKind::kCheck},
      {subs.lint, CommandKind::kLint},
      {subs.exporter, CommandKind::kExport},
      {subs.inspect, CommandKind::kInspect},
      {subs.plot, CommandKind::kPlot},
      {subs.watch, CommandKind::kWatch},
      {subs.lsp, CommandKind::kLsp},
      {subs.diff, CommandKind::kDiff},
      {subs.build, CommandKind::kBuild},
      {subs.explain, CommandKind::kExplain}};
  parsed->kind = CommandKind::kBuiltIn;
  for (const auto& [sub, kind] : kinds) {
    if (sub->parsed()) parsed->kind = kind;
  }
  return TakeOptions(store, parsed);
}

// Parses argv into app's options. False, with the exit status and the
// texts to print in parsed, for help, the version and usage errors.
bool Parse(CLI::App& app, int argc, const char* const* argv,
           ParsedCommandLine* parsed) {
  std::ostringstream out;
  std::ostringstream err;
  try {
    app.parse(argc, argv);
    return true;
  } catch (const CLI::ParseError& e) {
    parsed->exit_status = app.exit(e, out, err);
    // CLI11 answers a usage error with its own code; ours is 2.
    if (parsed->exit_status != 0) parsed->exit_status = kExitUsage;
    parsed->out_text = out.str();
    parsed->err_text = err.str();
    if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
      parsed->err_text += CommandHint(app, argc, argv);
    }
  } catch (const std::exception& e) {
    // CLI11 lets a flag's value that is neither a truth word nor a number
    // that fits (--no-window=x) escape as a standard exception.
    parsed->exit_status = kExitUsage;
    parsed->err_text =
        std::string("a flag was given a value it cannot take (") + e.what() +
        "): a flag takes no value, or true, false or a number\n"
        "Run with --help for more information.\n";
  }
  return false;
}

// Runs the parsed command; every file is reached through fs.
int RunCommand(const ParsedCommandLine& parsed, FileSystem& fs) {
  const CommandOptions& o = parsed.options;
  switch (parsed.kind) {
    case CommandKind::kBuiltIn:
      return RunBuiltinCommand(std::get<BuiltinCommandOptions>(o), fs,
                               std::cerr);
    case CommandKind::kCompile:
    case CommandKind::kCheck:
    case CommandKind::kLint:
      return RunCompileCommand(std::get<CompileCommandOptions>(o), fs,
                               std::cout, std::cerr);
    case CommandKind::kExport:
      return RunExportCommand(std::get<ExportCommandOptions>(o), fs, std::cout,
                              std::cerr);
    case CommandKind::kInspect:
      return RunInspectCommand(std::get<InspectCommandOptions>(o), fs,
                               std::cout, std::cerr);
    case CommandKind::kPlot:
      return RunPlotCommand(std::get<PlotOptions>(o), fs, std::cout, std::cerr);
    case CommandKind::kWatch:
      return RunWatchCommand(std::get<WatchCommandOptions>(o), fs, std::cout,
                             std::cerr, ::isatty(STDOUT_FILENO) == 1);
    case CommandKind::kLsp:
      return RunLspCommand(STDIN_FILENO, STDOUT_FILENO);
    case CommandKind::kDiff:
      return RunDiffCommand(std::get<DiffCommandOptions>(o), fs, std::cout,
                            std::cerr);
    case CommandKind::kBuild:
      return RunBuildCommand(std::get<BuildCommandOptions>(o), fs, std::cout,
                             std::cerr, ::isatty(STDERR_FILENO) == 1);
    case CommandKind::kExplain:
      return RunExplainCommand(std::get<ExplainCommandOptions>(o), std::cout,
                               std::cerr);
  }
  return kExitUsage;
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv) {
  ParsedCommandLine parsed;
  CLI::App app{
      "Compiles a train-driving scenario into the simulator's binary files.\n"
      "Without a command: compiles the built-in scenario beside the program.",
      "scenario-compiler"};
  OptionStore store;
  const Subcommands subs = AddCommands(app, &store);
  if (!Parse(app, argc, argv, &parsed)) return parsed;
  parsed.err_text = TakeCommand(subs, store, &parsed);
  if (!parsed.err_text.empty()) {
    parsed.exit_status = kExitUsage;
    return parsed;
  }
  parsed.run = true;
  return parsed;
}

int RunCommandLine(int argc, char** argv) {
  const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  std::cout << parsed.out_text;
  std::cerr << parsed.err_text;
  if (!parsed.run) return parsed.exit_status;
  return RunCommand(parsed, RealFileSystem());
}

}  // namespace scenario
