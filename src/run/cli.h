#ifndef SCENARIO_RUN_CLI_H_
#define SCENARIO_RUN_CLI_H_

#include <string>
#include <string_view>
#include <variant>

#include "run/build_command.h"
#include "run/compile_command.h"
#include "run/decompile_command.h"
#include "run/diff_command.h"
#include "run/editor_support_command.h"
#include "run/explain_command.h"
#include "run/export_command.h"
#include "run/inspect_command.h"
#include "run/plot_command.h"
#include "run/run_sequence.h"
#include "run/watch_command.h"

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
  kDecompile,
  kEditorSupport,
};

// What --version prints; the pack builds keep it beside their outputs. The
// number is the project's version (CMakeLists.txt), which names the
// releases too.
inline constexpr std::string_view kProgramVersion =
    "scenario-compiler " SCENARIO_VERSION;

// lsp takes no options: it speaks on standard input and output.
struct LspCommandOptions {};

// The options of each command; compile, check and lint share theirs.
using CommandOptions =
    std::variant<BuiltinCommandOptions, CompileCommandOptions,
                 ExportCommandOptions, InspectCommandOptions, PlotOptions,
                 WatchCommandOptions, LspCommandOptions, DiffCommandOptions,
                 BuildCommandOptions, ExplainCommandOptions,
                 DecompileCommandOptions, EditorSupportCommandOptions>;

// The result of parsing: either a command to run with its options (texts
// as typed, UTF-8), or an exit status with the text to print (help,
// version, usage errors).
struct ParsedCommandLine {
  bool run = false;
  CommandKind kind = CommandKind::kBuiltIn;
  // Holds the kind's options: CompileCommandOptions for compile, check
  // and lint, PlotOptions for plot, the XxxCommandOptions of each other.
  CommandOptions options;
  int exit_status = 0;
  std::string out_text;  // for stdout
  std::string err_text;  // for stderr
};

// Turns argv into a command or a usage error. Pure: prints nothing.
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv);

// Runs the program for its command line; returns the exit status. Every
// command reaches files through the host's file system.
int RunCommandLine(int argc, char** argv);

}  // namespace scenario

#endif  // SCENARIO_RUN_CLI_H_
