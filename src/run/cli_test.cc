#include "run/cli.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace scenario {
namespace {

ParsedCommandLine Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "scenario-compiler");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

// The options of a command that parsed; a test that names the wrong kind
// fails rather than crashing.
template <typename Options>
Options OptionsOf(const ParsedCommandLine& p) {
  EXPECT_TRUE(p.run) << p.err_text;
  const Options* options = std::get_if<Options>(&p.options);
  EXPECT_NE(options, nullptr);
  return options != nullptr ? *options : Options{};
}

TEST(CommandLine, CommandsAndTheirOptions) {
  {
    ParsedCommandLine p = Parse({});
    ASSERT_TRUE(p.run);
    EXPECT_EQ(p.kind, CommandKind::kBuiltIn);
    EXPECT_TRUE(OptionsOf<BuiltinCommandOptions>(p).window);
  }
  {
    ParsedCommandLine p = Parse({"--no-window"});
    ASSERT_TRUE(p.run);
    EXPECT_FALSE(OptionsOf<BuiltinCommandOptions>(p).window);
  }
  {
    ParsedCommandLine p =
        Parse({"compile", "l.txt", "t.txt", "-o", "out", "--line-name", "L",
               "--train-name", "T", "--no-grid", "--json"});
    ASSERT_TRUE(p.run) << p.err_text;
    EXPECT_EQ(p.kind, CommandKind::kCompile);
    const CompileCommandOptions o = OptionsOf<CompileCommandOptions>(p);
    const AuthorCompileOptions& c = o.compile;
    EXPECT_EQ(c.line_file, "l.txt");
    EXPECT_EQ(c.train_file, "t.txt");
    EXPECT_EQ(c.output, "out");
    EXPECT_EQ(c.line_name, "L");
    EXPECT_EQ(c.train_name, "T");
    EXPECT_TRUE(c.no_grid);
    EXPECT_TRUE(c.write);
    EXPECT_FALSE(c.summary);
    EXPECT_TRUE(o.json);
    EXPECT_FALSE(o.no_source);
  }
  {
    ParsedCommandLine p =
        Parse({"lint", "l.txt", "t.txt", "--no-warn", "decimal-comma",
               "--no-warn", "curve-overlap", "--werror"});
    ASSERT_TRUE(p.run) << p.err_text;
    EXPECT_EQ(p.kind, CommandKind::kLint);
    const AuthorCompileOptions c = OptionsOf<CompileCommandOptions>(p).compile;
    EXPECT_TRUE(c.warnings.shown);
    EXPECT_TRUE(c.warnings.werror);
    EXPECT_FALSE(c.write);
    EXPECT_FALSE(c.summary);
    EXPECT_EQ(c.warnings.no_warn,
              (std::vector<std::string>{"decimal-comma", "curve-overlap"}));
  }
  {
    ParsedCommandLine p = Parse({"check", "l.txt", "t.txt"});
    ASSERT_TRUE(p.run);
    EXPECT_EQ(p.kind, CommandKind::kCheck);
    const AuthorCompileOptions c = OptionsOf<CompileCommandOptions>(p).compile;
    EXPECT_FALSE(c.line_name.has_value());
    EXPECT_FALSE(c.write);  // a check writes nothing
    EXPECT_TRUE(c.summary);
  }
  {
    ParsedCommandLine p =
        Parse({"inspect", "x.bin", "--as", "grid", "--every", "50", "--all"});
    const InspectCommandOptions o = OptionsOf<InspectCommandOptions>(p);
    EXPECT_EQ(o.file, "x.bin");
    EXPECT_EQ(o.as, "grid");
    EXPECT_EQ(o.view.grid_every, 50);
    EXPECT_TRUE(o.view.all);
    EXPECT_FALSE(o.view.raw);
  }
  {
    ParsedCommandLine p =
        Parse({"plot", "dir", "--from", "3", "--to", "7.5", "--format", "png"});
    const PlotOptions o = OptionsOf<PlotOptions>(p);
    EXPECT_EQ(o.inputs, std::vector<std::string>{"dir"});
    EXPECT_EQ(o.format, PlotFormat::kPng);
    EXPECT_EQ(o.from_km, 3);
    EXPECT_EQ(o.to_km, 7.5);
  }
  {
    ParsedCommandLine p = Parse({"diff", "old", "new", "--json"});
    EXPECT_EQ(p.kind, CommandKind::kDiff);
    const DiffCommandOptions o = OptionsOf<DiffCommandOptions>(p);
    EXPECT_EQ(o.inputs, (std::vector<std::string>{"old", "new"}));
    EXPECT_TRUE(o.json);
    EXPECT_FALSE(o.rows);
    EXPECT_TRUE(
        OptionsOf<DiffCommandOptions>(Parse({"diff", "old", "new", "--rows"}))
            .rows);
    EXPECT_FALSE(
        OptionsOf<DiffCommandOptions>(Parse({"diff", "old", "new", "--cells"}))
            .rows);
  }
  {
    ParsedCommandLine p = Parse({"watch", "l.txt", "t.txt", "--no-grid"});
    EXPECT_EQ(p.kind, CommandKind::kWatch);
    const WatchCommandOptions o = OptionsOf<WatchCommandOptions>(p);
    EXPECT_EQ(o.line_file, "l.txt");
    EXPECT_EQ(o.train_file, "t.txt");
    EXPECT_EQ(o.output, ".");
    EXPECT_TRUE(o.no_grid);
    EXPECT_TRUE(o.warnings.shown);
  }
  {
    EXPECT_EQ(
        OptionsOf<ExportCommandOptions>(Parse({"export", "-o", "x"})).output,
        "x");
    EXPECT_EQ(OptionsOf<ExplainCommandOptions>(Parse({"explain", "16"})).what,
              "16");
    EXPECT_TRUE(
        OptionsOf<ExplainCommandOptions>(Parse({"explain", "--all"})).all);
    EXPECT_EQ(Parse({"lsp"}).kind, CommandKind::kLsp);
    const EditorSupportCommandOptions editor =
        OptionsOf<EditorSupportCommandOptions>(
            Parse({"editor-support", "notepad++", "-o", "npp"}));
    EXPECT_EQ(editor.editor, "notepad++");
    EXPECT_EQ(editor.output, "npp");
  }
}

// compile, check and watch show warnings unless -w hides them; -W, once
// needed to see them, changes nothing; lint always shows them.
TEST(CommandLine, WarningsShowUnlessHidden) {
  struct Case {
    std::vector<const char*> args;
    bool shown;
    bool werror;
    std::vector<std::string> no_warn;
  };
  const Case kCases[] = {
      {{"compile", "l.txt", "t.txt"}, true, false, {}},
      {{"check", "l.txt", "t.txt"}, true, false, {}},
      {{"watch", "l.txt", "t.txt"}, true, false, {}},
      {{"lint", "l.txt", "t.txt"}, true, false, {}},
      {{"compile", "l.txt", "t.txt", "-w"}, false, false, {}},
      {{"check", "--no-warnings", "l.txt", "t.txt"}, false, false, {}},
      {{"watch", "l.txt", "t.txt", "-w"}, false, false, {}},
      {{"compile", "-W", "l.txt", "t.txt"}, true, false, {}},
      {{"check", "--warnings", "l.txt", "t.txt"}, true, false, {}},
      {{"compile", "-W", "-w", "l.txt", "t.txt"}, false, false, {}},
      {{"compile", "--werror", "l.txt", "t.txt"}, true, true, {}},
      {{"watch", "l.txt", "t.txt", "--werror", "--no-warn", "zero-speed"},
       true,
       true,
       {"zero-speed"}},
      {{"check", "l.txt", "t.txt", "--no-warn", "decimal-comma"},
       true,
       false,
       {"decimal-comma"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.args[0] << " " << c.args.size());
    const ParsedCommandLine p = Parse(c.args);
    ASSERT_TRUE(p.run) << p.err_text;
    const WarningOptions w =
        p.kind == CommandKind::kWatch
            ? OptionsOf<WatchCommandOptions>(p).warnings
            : OptionsOf<CompileCommandOptions>(p).compile.warnings;
    EXPECT_EQ(w.shown, c.shown);
    EXPECT_EQ(w.werror, c.werror);
    EXPECT_EQ(w.no_warn, c.no_warn);
  }
  EXPECT_TRUE(OptionsOf<CompileCommandOptions>(
                  Parse({"compile", "-q", "l.txt", "t.txt"}))
                  .quiet);
  EXPECT_FALSE(
      OptionsOf<CompileCommandOptions>(Parse({"compile", "l.txt", "t.txt"}))
          .quiet);
}

// Warning options that cannot be: each says what to change.
TEST(CommandLine, WarningOptionErrorsSayWhatToChange) {
  struct Case {
    std::vector<const char*> args;
    const char* problem;
  };
  const Case kCases[] = {
      {{"compile", "l.txt", "t.txt", "--no-warn", "decimal-coma"},
       "\"decimal-coma\" is no warning's name; did you mean "
       "\"decimal-comma\"?"},
      {{"watch", "l.txt", "t.txt", "--no-warn", "zero"},
       "did you mean \"zero-speed\"?"},
      {{"lint", "l.txt", "t.txt", "--no-warn", "no-such-kind"},
       "\"no-such-kind\" is no warning's name (`scenario-compiler explain "
       "--all` lists them)"},
      {{"compile", "l.txt", "t.txt", "-w", "--werror"},
       "compile: -w (--no-warnings) hides the warnings that --werror would "
       "count; give one of the two"},
      {{"watch", "l.txt", "t.txt", "--no-warnings", "--werror"},
       "watch: -w (--no-warnings) hides"},
      // lint is there to report warnings: it has no -w.
      {{"lint", "l.txt", "t.txt", "-w"}, "-w"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.problem);
    const ParsedCommandLine p = Parse(c.args);
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 2);
    EXPECT_NE(p.err_text.find(c.problem), std::string::npos) << p.err_text;
  }
}

// --serve takes an optional port: none gives the default, 0 any free one;
// a word that is no port is refused with what to write instead (the files
// given after a bare --serve would otherwise be taken for its port).
TEST(CommandLine, WatchServeTakesAnOptionalPort) {
  struct Case {
    std::vector<const char*> args;
    std::optional<int> port;
  };
  const Case kCases[] = {
      {{"watch", "l.txt", "t.txt"}, std::nullopt},
      {{"watch", "l.txt", "t.txt", "--serve"}, kWatchServePort},
      {{"watch", "l.txt", "t.txt", "--serve", "0"}, 0},
      {{"watch", "l.txt", "t.txt", "--serve=9000"}, 9000},
      {{"watch", "--serve=65535", "l.txt", "t.txt"}, 65535},
      // The parser leaves a bare --serve the words the files need.
      {{"watch", "--serve", "l.txt", "t.txt"}, kWatchServePort},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args.size());
    ParsedCommandLine p = Parse(c.args);
    ASSERT_TRUE(p.run) << p.err_text;
    const WatchCommandOptions o = OptionsOf<WatchCommandOptions>(p);
    EXPECT_EQ(o.serve_port, c.port);
    EXPECT_EQ(o.line_file, "l.txt");
    EXPECT_EQ(o.train_file, "t.txt");
  }
  const std::vector<std::vector<const char*>> kRefused = {
      {"watch", "--serve", "l.txt", "t.txt", "-o", "out"},
      {"watch", "l.txt", "t.txt", "--serve", "65536"},
      {"watch", "l.txt", "t.txt", "--serve", "-1"},
      {"watch", "l.txt", "t.txt", "--serve", "80x"},
  };
  for (const std::vector<const char*>& args : kRefused) {
    SCOPED_TRACE(args.back());
    const ParsedCommandLine p = Parse(args);
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 2);
    EXPECT_NE(p.err_text.find("--serve takes a port from 0 to 65535"),
              std::string::npos)
        << p.err_text;
  }
}

TEST(CommandLine, BuildAndItsOptions) {
  {
    ParsedCommandLine p = Parse({"build", "pack"});
    EXPECT_EQ(p.kind, CommandKind::kBuild);
    const BuildCommandOptions o = OptionsOf<BuildCommandOptions>(p);
    EXPECT_EQ(o.pack, "pack");
    EXPECT_FALSE(o.output.has_value());  // beside the inputs
    EXPECT_EQ(o.jobs, 0);                // one per core
    EXPECT_FALSE(o.force);
    EXPECT_TRUE(o.grid);
    EXPECT_FALSE(o.werror);  // warnings counted, not failing
  }
  {
    ParsedCommandLine p =
        Parse({"build", "pack", "-o", "out", "-j", "3", "--csv", "s.csv",
               "--no-grid", "--force", "-W"});
    const BuildCommandOptions o = OptionsOf<BuildCommandOptions>(p);
    EXPECT_EQ(o.output, "out");
    EXPECT_EQ(o.jobs, 3);
    EXPECT_EQ(o.csv_file, "s.csv");
    EXPECT_FALSE(o.grid);
    EXPECT_TRUE(o.force);
    EXPECT_TRUE(o.werror);
    EXPECT_FALSE(o.json);
  }
}

TEST(CommandLine, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<const char*>> kCases = {
      {"compile", "only-one.txt"},
      {"check"},
      {"frobnicate"},
      {"inspect", "x.dat", "--as", "pictures"},
      {"inspect", "x.dat", "--every", "0"},
      {"plot", "dir", "--format", "gif"},
      {"plot", "dir", "--from", "9", "--to", "3"},
      {"--no-such-flag"},
      {"diff", "only-one"},
      {"diff", "a.sim", "a.dat", "b.sim"},
      {"diff", "old", "new", "--rows", "--cells"},
      {"build"},
      {"build", "pack", "-j", "0"},
      {"build", "pack", "--json", "--csv", "s.csv"},
      {"explain"},
      {"explain", "16", "--all"},
      {"editor-support"},
      {"editor-support", "emacs"},
      // A flag's value that is no truth word nor a number.
      {"--no-window=x"},
      {"compile", "a_linea.txt", "a_b-.txt", "--no-grid=maybe"},
  };
  for (const auto& args : kCases) {
    SCOPED_TRACE(args.empty() ? "" : args[0]);
    ParsedCommandLine p = Parse(args);
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 2);
    EXPECT_FALSE(p.err_text.empty());
  }
}

// A picture's ending must name a format and agree with --format.
TEST(CommandLine, PlotOutputEndingMustNameTheFormat) {
  struct Case {
    std::vector<const char*> args;
    const char* problem;  // part of the message; nullptr: accepted
  };
  const Case kCases[] = {
      {{"plot", "out", "-o", "pic.jpg"}, "ends in \".jpg\", which names no"},
      {{"plot", "out", "-o", "mixed.svg", "--format", "png"},
       "ends in \".svg\", but --format asks for png"},
      {{"plot", "out", "-o", "pic."}, "which names no picture format"},
      {{"plot", "out", "-o", "pic.png", "--format", "png"}, nullptr},
      {{"plot", "out", "-o", "PIC.PDF"}, nullptr},
      {{"plot", "out", "-o", "d.v2/pic", "--format", "pdf"}, nullptr},
      {{"plot", "out", "--format", "png"}, nullptr},
      {{"plot", "out", "-o", "sheet.html"}, nullptr},
      {{"plot", "out", "-o", "sheet", "--format", "html"}, nullptr},
      {{"plot", "out", "-o", "sheet.html", "--format", "svg"},
       "ends in \".html\", but --format asks for svg"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args[3]);
    ParsedCommandLine p = Parse(c.args);
    if (c.problem == nullptr) {
      EXPECT_TRUE(p.run) << p.err_text;
      continue;
    }
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 2);
    EXPECT_NE(p.err_text.find(c.problem), std::string::npos) << p.err_text;
  }
}

// A mistyped command is answered with the nearest one.
TEST(CommandLine, MistypedCommandSuggestsTheNearest) {
  struct Case {
    std::vector<const char*> args;
    const char* hint;
  };
  const Case kCases[] = {
      {{"compil", "a.txt", "b.txt"}, "did you mean \"compile\"?"},
      {{"--no-window", "chek", "a", "b"}, "did you mean \"check\"?"},
      {{"inpsect", "x.dat"}, "did you mean \"inspect\"?"},
      {{"frobnicate"}, "\"frobnicate\" is not a command; the commands are"},
      // Help asked of a word that is no command is no help.
      {{"compil", "--help"}, "did you mean \"compile\"?"},
      {{"frobnicat", "--help"},
       "\"frobnicat\" is not a command; the commands are compile check"},
      {{"--no-window", "chek", "--help"}, "did you mean \"check\"?"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args[0]);
    ParsedCommandLine p = Parse(c.args);
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 2);
    EXPECT_NE(p.err_text.find(c.hint), std::string::npos) << p.err_text;
    EXPECT_EQ(p.out_text, "");  // no help printed
  }
}

TEST(CommandLine, HelpAndVersionPrintAndSucceed) {
  for (const std::vector<const char*>& args :
       {std::vector<const char*>{"--help"},
        std::vector<const char*>{"compile", "--help"},
        std::vector<const char*>{"--version"}}) {
    ParsedCommandLine p = Parse(args);
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 0);
    EXPECT_FALSE(p.out_text.empty());
  }
  EXPECT_NE(Parse({"compile", "--help"}).out_text.find("--no-grid"),
            std::string::npos);
}

}  // namespace
}  // namespace scenario
