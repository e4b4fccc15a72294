#include "run/cli.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

ParsedCommandLine Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "scenario-compiler");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, CommandsAndTheirOptions) {
  {
    ParsedCommandLine p = Parse({});
    ASSERT_TRUE(p.run);
    EXPECT_EQ(p.command.kind, CommandKind::kBuiltIn);
    EXPECT_TRUE(p.command.window);
  }
  {
    ParsedCommandLine p = Parse({"--no-window"});
    ASSERT_TRUE(p.run);
    EXPECT_FALSE(p.command.window);
  }
  {
    ParsedCommandLine p =
        Parse({"compile", "l.txt", "t.txt", "-o", "out", "--line-name", "L",
               "--train-name", "T", "--no-grid", "--json"});
    ASSERT_TRUE(p.run) << p.err_text;
    const CommandLine& c = p.command;
    EXPECT_EQ(c.kind, CommandKind::kCompile);
    EXPECT_EQ(c.line_file, "l.txt");
    EXPECT_EQ(c.train_file, "t.txt");
    EXPECT_EQ(c.output, "out");
    EXPECT_EQ(c.line_name, "L");
    EXPECT_EQ(c.train_name, "T");
    EXPECT_TRUE(c.no_grid);
    EXPECT_TRUE(c.json);
  }
  {
    ParsedCommandLine p =
        Parse({"lint", "l.txt", "t.txt", "--no-warn", "decimal-comma",
               "--no-warn", "curve-overlap", "--werror"});
    ASSERT_TRUE(p.run) << p.err_text;
    EXPECT_EQ(p.command.kind, CommandKind::kLint);
    EXPECT_TRUE(p.command.warnings);
    EXPECT_TRUE(p.command.werror);
    EXPECT_EQ(p.command.no_warn,
              (std::vector<std::string>{"decimal-comma", "curve-overlap"}));
  }
  {
    // Warnings are off unless asked for; --werror asks for them.
    EXPECT_FALSE(Parse({"check", "l.txt", "t.txt"}).command.warnings);
    EXPECT_TRUE(Parse({"check", "-W", "l.txt", "t.txt"}).command.warnings);
    EXPECT_TRUE(
        Parse({"compile", "--warnings", "l.txt", "t.txt"}).command.warnings);
    EXPECT_TRUE(
        Parse({"compile", "--werror", "l.txt", "t.txt"}).command.warnings);
    // An unknown kind name is a usage error.
    ParsedCommandLine p =
        Parse({"lint", "l.txt", "t.txt", "--no-warn", "no-such-kind"});
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 2);
  }
  {
    ParsedCommandLine p = Parse({"check", "l.txt", "t.txt"});
    ASSERT_TRUE(p.run);
    EXPECT_EQ(p.command.kind, CommandKind::kCheck);
    EXPECT_FALSE(p.command.line_name.has_value());
  }
  {
    ParsedCommandLine p =
        Parse({"inspect", "x.bin", "--as", "grid", "--every", "50", "--all"});
    ASSERT_TRUE(p.run);
    EXPECT_EQ(p.command.inspect_as, "grid");
    EXPECT_EQ(p.command.grid_every, 50);
    EXPECT_TRUE(p.command.inspect_all);
  }
  {
    ParsedCommandLine p =
        Parse({"plot", "dir", "--from", "3", "--to", "7.5", "--format", "png"});
    ASSERT_TRUE(p.run);
    EXPECT_EQ(p.command.plot_inputs, std::vector<std::string>{"dir"});
    EXPECT_EQ(p.command.plot_format, "png");
    EXPECT_EQ(p.command.plot_to_km, 7.5);
  }
  {
    ParsedCommandLine p = Parse({"diff", "old", "new", "--json"});
    ASSERT_TRUE(p.run);
    EXPECT_EQ(p.command.kind, CommandKind::kDiff);
    EXPECT_EQ(p.command.diff_inputs, (std::vector<std::string>{"old", "new"}));
    EXPECT_TRUE(p.command.json);
  }
}

TEST(CommandLine, BuildAndItsOptions) {
  {
    ParsedCommandLine p = Parse({"build", "pack"});
    ASSERT_TRUE(p.run) << p.err_text;
    EXPECT_EQ(p.command.kind, CommandKind::kBuild);
    EXPECT_EQ(p.command.build_dir, "pack");
    EXPECT_FALSE(p.command.build_output.has_value());  // beside the inputs
    EXPECT_EQ(p.command.jobs, 0);                      // one per core
    EXPECT_FALSE(p.command.force);
    EXPECT_FALSE(p.command.werror);  // warnings counted, not failing
  }
  {
    ParsedCommandLine p =
        Parse({"build", "pack", "-o", "out", "-j", "3", "--csv", "s.csv",
               "--no-grid", "--force", "-W"});
    ASSERT_TRUE(p.run) << p.err_text;
    const CommandLine& c = p.command;
    EXPECT_EQ(c.build_output, "out");
    EXPECT_EQ(c.jobs, 3);
    EXPECT_EQ(c.csv_file, "s.csv");
    EXPECT_TRUE(c.no_grid);
    EXPECT_TRUE(c.force);
    EXPECT_TRUE(c.werror);
    EXPECT_FALSE(c.json);
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
      {"build"},
      {"build", "pack", "-j", "0"},
      {"build", "pack", "--json", "--csv", "s.csv"},
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
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args[0]);
    ParsedCommandLine p = Parse(c.args);
    EXPECT_FALSE(p.run);
    EXPECT_EQ(p.exit_status, 2);
    EXPECT_NE(p.err_text.find(c.hint), std::string::npos) << p.err_text;
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
