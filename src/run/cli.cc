#include "run/cli.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <exception>
#include <iostream>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_system.h"
#include "base/program_arguments.h"
#include "base/standard_streams.h"
#include "base/strings.h"
#include "base/terminal.h"
#include "lint/warnings.h"
#include "run/lsp_command.h"
#include "run/program_name.h"
#include "tools/editor_support.h"

namespace scenario {

namespace {

constexpr int kExitUsage = 2;

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
  const std::string nearest = NearestName(word, names);
  std::string hint = QuotedName(word) + " is not a command";
  if (!nearest.empty()) return hint + "; did you mean \"" + nearest + "\"?\n";
  hint += "; the commands are";
  for (const std::string& name : names) hint += " " + name;
  return hint + "\n";
}

// --no-warn's check: "" for a warning's name, else what is wrong with it.
std::string UnknownWarningName(const std::string& name) {
  if (FindWarningKind(name)) return "";
  std::string problem = QuotedName(name) + " is no warning's name";
  const std::string nearest = NearestName(name, WarningNames());
  if (!nearest.empty()) problem += "; did you mean \"" + nearest + "\"?";
  return problem + " (`" + std::string(kProgramName) +
         " explain --all` lists them)";
}

// What --serve was given, when it is no port; "" when it is one.
std::string NotAPort(const std::string& text) {
  int port = -1;
  const char* end = text.data() + text.size();
  const auto [at, ec] = std::from_chars(text.data(), end, port);
  if (ec == std::errc() && at == end && port >= 0 && port <= 65535) {
    return "";
  }
  return "--serve takes a port from 0 to 65535 (0: any free one), not " +
         QuotedName(text) +
         "; give the two files before --serve, or write --serve=PORT";
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
  std::string plot_format;  // "", "svg", "png", "pdf" or "html"
  WatchCommandOptions watch;
  DiffCommandOptions diff;
  bool diff_cells = false;
  BuildCommandOptions build;
  bool build_no_grid = false;
  ExplainCommandOptions explain;
  DecompileCommandOptions decompile;
  EditorSupportCommandOptions editor_support;
};

// The subcommands, each with the command it stands for.
using Subcommands = std::vector<std::pair<CLI::App*, CommandKind>>;

// The warning options that compile, check and watch share (lint, which is
// there to report warnings, takes all but -w and -W). Warnings are shown
// unless -w hides them; -W, which once asked for them, is still taken and
// changes nothing.
void AddWarningOptions(CLI::App* sub, WarningOptions* w, bool hideable) {
  sub->add_flag("--werror", w->werror,
                "Warnings count like codes for the exit status (1)");
  if (hideable) {
    sub->add_flag_callback(
        "-w,--no-warnings", [w] { w->shown = false; },
        "Do not report warnings: what is compiled but "
        "almost certainly not meant");
    sub->add_flag_callback(
        "-W,--warnings", [] {},
        "Report warnings: the default, so this changes nothing");
  }
  sub->add_option("--no-warn", w->no_warn,
                  "Do not report warnings of this kind (repeatable)")
      ->check(CLI::Validator(UnknownWarningName, "NAME", "warning name"));
}

// compile, check and lint: the pair and how to report on it.
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
  AddWarningOptions(sub, &c.warnings, std::string_view(name) != "lint");
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
                   "svg, png, pdf or html (default: from the output's "
                   "ending)")
      ->check(CLI::IsMember({"svg", "png", "pdf", "html"}));
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
  watch
      ->add_option_function<std::string>(
          "--serve",
          [o](const std::string& v) {
            // Checked by NotAPort before this is called.
            int port = kWatchServePort;
            std::from_chars(v.data(), v.data() + v.size(), port);
            o->serve_port = port;
          },
          "Serve the sheet of the last good compile at "
          "http://127.0.0.1:PORT/ (default 8765; 0: any free port)")
      ->expected(0, 1)
      ->type_name("[PORT]")
      ->check(CLI::Validator(
          [](std::string& v) { return v.empty() ? "" : NotAPort(v); }, "PORT",
          "port"));
  AddWarningOptions(watch, &o->warnings, true);
  return watch;
}

CLI::App* AddDiff(CLI::App& app, DiffCommandOptions* o, bool* cells) {
  CLI::App* diff = app.add_subcommand(
      "diff", "List what changed between two compiled scenarios");
  diff->add_option("OLD NEW", o->inputs,
                   "The old scenario, then the new: a folder or the "
                   "parameter file (.sim) each, or the files of each")
      ->required();
  diff->add_flag("--json", o->json, "Print one JSON object");
  diff->add_flag("--rows", o->rows,
                 "List the changes as description rows (a slowdown moved, a "
                 "station's time), as decompile recovers them");
  diff->add_flag("--cells", *cells,
                 "List the changes as cells, slots and grid (the default)");
  return diff;
}

CLI::App* AddDecompile(CLI::App& app, DecompileCommandOptions* o) {
  CLI::App* sub = app.add_subcommand(
      "decompile",
      "Write the line and train descriptions of a compiled scenario, "
      "checked to compile to the same files");
  DecompileOptions& d = o->decompile;
  sub->add_option("INPUT", d.scenario.inputs,
                  "A folder holding a compiled scenario, or its files "
                  "(.sim, .dat, _linea.dat)")
      ->required();
  sub->add_option("-o,--output", d.output,
                  "Folder for the descriptions (default: .)");
  sub->add_flag("--force", d.force,
                "Replace descriptions of the same names in the folder");
  sub->add_flag("--json", o->json, "Print one JSON object on stdout");
  sub->add_option("--line-name", d.scenario.line_name,
                  "Choose the scenario by line name");
  sub->add_option("--train-name", d.scenario.train_name,
                  "Choose the scenario by train name");
  return sub;
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

CLI::App* AddEditorSupport(CLI::App& app, EditorSupportCommandOptions* o) {
  CLI::App* editor = app.add_subcommand(
      "editor-support",
      "Write the colouring, snippets and settings files of an editor for the "
      "description files");
  editor
      ->add_option("EDITOR", o->editor,
                   "The editor: " + std::string(EditorNames()))
      ->required()
      ->check(CLI::Validator(
          [](const std::string& name) -> std::string {
            if (EditorNamed(name)) return "";
            return QuotedName(name) + " is no editor; the editors are " +
                   std::string(EditorNames());
          },
          "EDITOR", "editor name"));
  editor->add_option("-o,--output", o->output,
                     "Folder for the files (default: .)");
  return editor;
}

// The program and its subcommands, in the order help lists them.
Subcommands AddCommands(CLI::App& app, OptionStore* store) {
  app.set_version_flag("--version", std::string(kProgramVersion));
  app.require_subcommand(0, 1);
  app.add_flag(
      "--no-window", [store](std::int64_t) { store->builtin.window = false; },
      "Built-in run: do not show the waiting window");
  CLI::App* compile =
      AddCompileLike(app, "compile",
                     "Compile a line and a train description into binary files",
                     &store->compile);
  AddCompileOutputs(compile, &store->compile.compile);
  compile->add_flag("-q,--quiet", store->compile.quiet,
                    "Do not print the closing line (files written, codes, "
                    "warnings)");
  // A braced list is evaluated in order, so help lists the commands so.
  return {
      {compile, CommandKind::kCompile},
      {AddCompileLike(app, "check", "Compile and report, writing nothing",
                      &store->check),
       CommandKind::kCheck},
      {AddCompileLike(
           app, "lint",
           "Check and report warnings as well as codes, writing nothing",
           &store->lint),
       CommandKind::kLint},
      {AddExport(app, &store->exporter), CommandKind::kExport},
      {AddInspect(app, &store->inspect), CommandKind::kInspect},
      {AddPlot(app, &store->plot, &store->plot_format), CommandKind::kPlot},
      {AddWatch(app, &store->watch), CommandKind::kWatch},
      {app.add_subcommand("lsp",
                          "Language server for the description files, on "
                          "standard input and output"),
       CommandKind::kLsp},
      {AddDiff(app, &store->diff, &store->diff_cells), CommandKind::kDiff},
      {AddBuild(app, &store->build, &store->build_no_grid),
       CommandKind::kBuild},
      {AddExplain(app, &store->explain), CommandKind::kExplain},
      {AddDecompile(app, &store->decompile), CommandKind::kDecompile},
      {AddEditorSupport(app, &store->editor_support),
       CommandKind::kEditorSupport},
  };
}

// The usage error that a command's warning options make together, or "".
std::string WarningOptionsProblem(const WarningOptions& w, const char* name) {
  if (w.shown || !w.werror) return "";
  return std::string(name) +
         ": -w (--no-warnings) hides the warnings that --werror would count; "
         "give one of the two\n";
}

// compile, check and lint differ only in what they write and report.
// Returns the usage error of their options, or "".
std::string FinishCompile(CompileCommandOptions o, CommandKind kind,
                          CommandOptions* options) {
  o.compile.write = kind == CommandKind::kCompile;
  o.compile.summary = kind == CommandKind::kCheck;
  const char* name = kind == CommandKind::kCompile ? "compile"
                     : kind == CommandKind::kCheck ? "check"
                                                   : "lint";
  const std::string problem = WarningOptionsProblem(o.compile.warnings, name);
  *options = std::move(o);
  return problem;
}

// Moves the options of parsed->kind out of the store into the result.
// Returns the usage error that its options make together, or "".
std::string TakeOptions(OptionStore& store, ParsedCommandLine* parsed) {
  CommandOptions& options = parsed->options;
  switch (parsed->kind) {
    case CommandKind::kBuiltIn:
      options = store.builtin;
      return "";
    case CommandKind::kCompile:
      return FinishCompile(std::move(store.compile), parsed->kind, &options);
    case CommandKind::kCheck:
      return FinishCompile(std::move(store.check), parsed->kind, &options);
    case CommandKind::kLint:
      return FinishCompile(std::move(store.lint), parsed->kind, &options);
    case CommandKind::kExport:
      options = std::move(store.exporter);
      return "";
    case CommandKind::kInspect:
      options = std::move(store.inspect);
      return "";
    case CommandKind::kPlot: {
      if (!store.plot_format.empty()) {
        store.plot.format = ParsePlotFormat(store.plot_format);
      }
      const std::string problem = PlotOptionsProblem(store.plot);
      options = std::move(store.plot);
      return problem.empty() ? "" : "plot: " + problem + "\n";
    }
    case CommandKind::kWatch: {
      const std::string problem =
          WarningOptionsProblem(store.watch.warnings, "watch");
      options = std::move(store.watch);
      return problem;
    }
    case CommandKind::kLsp:
      options = LspCommandOptions{};
      return "";
    case CommandKind::kDiff: {
      const std::size_t n = store.diff.inputs.size();
      const bool both = store.diff.rows && store.diff_cells;
      options = std::move(store.diff);
      if (n < 2 || n % 2 != 0) {
        return "diff: give the old and the new scenario: a folder or a "
               "parameter file each, or the same number of files for each\n";
      }
      if (both) {
        return "diff: --rows and --cells ask for two different listings; "
               "give one of them (--cells is the default)\n";
      }
      return "";
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
    case CommandKind::kDecompile:
      options = std::move(store.decompile);
      return "";
    case CommandKind::kEditorSupport:
      options = std::move(store.editor_support);
      return "";
  }
  return "";
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
    // "frobnicat --help" asks for no help: its first word is no command.
    const bool help = dynamic_cast<const CLI::CallForHelp*>(&e) != nullptr ||
                      dynamic_cast<const CLI::CallForAllHelp*>(&e) != nullptr;
    if (help) {
      std::string hint = CommandHint(app, argc, argv);
      if (!hint.empty()) {
        parsed->exit_status = kExitUsage;
        parsed->err_text = std::move(hint);
        return false;
      }
    }
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
                             std::cerr, UseTerminalEscapes(STDOUT_FILENO));
    case CommandKind::kLsp:
      return RunLspCommand(STDIN_FILENO, STDOUT_FILENO, std::cerr);
    case CommandKind::kDiff:
      return RunDiffCommand(std::get<DiffCommandOptions>(o), fs, std::cout,
                            std::cerr);
    case CommandKind::kBuild:
      return RunBuildCommand(std::get<BuildCommandOptions>(o), fs, std::cout,
                             std::cerr, UseTerminalEscapes(STDERR_FILENO));
    case CommandKind::kExplain:
      return RunExplainCommand(std::get<ExplainCommandOptions>(o), std::cout,
                               std::cerr);
    case CommandKind::kDecompile:
      return RunDecompileCommand(std::get<DecompileCommandOptions>(o), fs,
                                 std::cout, std::cerr);
    case CommandKind::kEditorSupport:
      return RunEditorSupportCommand(std::get<EditorSupportCommandOptions>(o),
                                     fs, std::cout, std::cerr);
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
  // A path is never an option, on Windows either: "/Scenari/x.txt" names a
  // file there too.
  app.allow_windows_style_options(false);
  OptionStore store;
  const Subcommands subs = AddCommands(app, &store);
  if (!Parse(app, argc, argv, &parsed)) return parsed;
  for (const auto& [sub, kind] : subs) {
    if (sub->parsed()) parsed.kind = kind;
  }
  parsed.err_text = TakeOptions(store, &parsed);
  if (!parsed.err_text.empty()) {
    parsed.exit_status = kExitUsage;
    return parsed;
  }
  parsed.run = true;
  return parsed;
}

int RunCommandLine(int argc, char** argv) {
  UseBinaryStandardStreams();
  const std::vector<std::string> args = ProgramArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  const ParsedCommandLine parsed =
      ParseCommandLine(static_cast<int>(pointers.size()), pointers.data());
  std::cout << parsed.out_text;
  std::cerr << parsed.err_text;
  if (!parsed.run) return parsed.exit_status;
  return RunCommand(parsed, RealFileSystem());
}

}  // namespace scenario
