// The author commands print and write the same bytes on every platform: a
// session of them (export, compile, check --json, lint, explain --all,
// inspect, diff, plot, decompile, build) runs the program itself in a
// folder whose name holds "à" and a space, on the exported built-in pair
// and on the example pair under names with "à" and spaces, and each step
// is held to a record kept once in the tree (testdata/author-outputs/STEP.txt):
// its exit status, its standard output and error byte for byte, and the size
// and SHA-256 digest of every file it wrote. The same test runs in the
// Linux build and, cross-built, under Wine, so both platforms are held to
// the same records.
//
// When an output is meant to change, the records are written anew from a
// build checked by other means: scripts/regenerate-author-outputs.sh (which
// runs this test with SCENARIO_REGENERATE_OUTPUTS=1), then read the diff.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/scoped_temp_dir.h"
#include "base/sha256_testing.h"

namespace scenario {
namespace {

// An output longer than this is recorded by its size and digest alone.
constexpr std::size_t kLongestShownOutput = 64 * 1024;

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

// The command line as an author would type it, quoting what holds a blank.
std::string CommandLine(const std::vector<std::string>& args) {
  std::string line = "scenario-compiler";
  for (const std::string& a : args) {
    line += a.find(' ') == std::string::npos ? " " + a : " \"" + a + "\"";
  }
  return line;
}

// One output in a record: its bytes after a header with their count, or
// only its size and digest when it is long.
std::string OutputSection(const char* name, const std::string& bytes) {
  std::string section = std::string("--- ") + name + ", " +
                        std::to_string(bytes.size()) + " bytes";
  if (bytes.size() > kLongestShownOutput) {
    return section + ", sha256 " + Sha256Hex(bytes) + "\n";
  }
  section += "\n" + bytes;
  if (!bytes.empty() && bytes.back() != '\n') section += "\n";
  return section;
}

// The files under each of roots (files or folders, relative to folder),
// sorted, as "NAME: SIZE bytes, sha256 DIGEST" lines. Hidden files (a pack's
// build record, which holds times and file ids) are left out.
std::string WrittenSection(const std::string& folder,
                           const std::vector<std::string>& roots) {
  std::vector<std::string> names;
  for (const std::string& root : roots) {
    const std::filesystem::path path = PathOf(folder + "/" + root);
    if (std::filesystem::is_regular_file(path)) {
      names.push_back(root);
      continue;
    }
    if (!std::filesystem::is_directory(path)) continue;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(path)) {
      const std::string name =
          Utf8Of(entry.path().lexically_relative(PathOf(folder)));
      if (entry.is_regular_file() &&
          Utf8Of(entry.path().filename()).front() != '.') {
        names.push_back(name);
      }
    }
  }
  std::sort(names.begin(), names.end());
  std::string section = "--- written\n";
  for (const std::string& name : names) {
    const std::string bytes = ReadWholeFile(folder + "/" + name);
    section += name + ": " + std::to_string(bytes.size()) + " bytes, sha256 " +
               Sha256Hex(bytes) + "\n";
  }
  return section;
}

// A pack build's times vary from run to run: they are recorded as "T".
// They are the figures with a unit (s, ms) and the table's milliseconds,
// the build's only numbers with a decimal point.
std::string WithoutTimes(const std::string& text) {
  static const std::regex kTime("[0-9]+\\.[0-9]+( ?m?s\\b)?|[0-9]+ ?m?s\\b");
  return std::regex_replace(text, kTime, "T");
}

class AuthorOutputsEndToEnd : public ::testing::Test {
 protected:
  AuthorOutputsEndToEnd() : folder_(dir_.File("Prove \xc3\xa0 parte")) {
    std::filesystem::create_directory(PathOf(folder_));
  }

  // Runs the program with args in the work folder and holds what it did to
  // the record named step; written lists the files and folders it writes.
  void Step(const std::string& step, const std::vector<std::string>& args,
            const std::vector<std::string>& written = {},
            bool times_vary = false) {
    SCOPED_TRACE(step);
    std::vector<std::string> argv = {SCENARIO_COMPILER_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    const ChildRun run = RunChild(argv, folder_);
    std::string out = run.out;
    std::string err = run.err;
    if (times_vary) {
      out = WithoutTimes(out);
      err = WithoutTimes(err);
    }
    const std::string record =
        CommandLine(args) + "\nexit status " + std::to_string(run.status) +
        "\n" + OutputSection("standard output", out) +
        OutputSection("standard error", err) + WrittenSection(folder_, written);
    const std::string expected_path =
        SCENARIO_TESTDATA_DIR "/author-outputs/" + step + ".txt";
    if (Regenerating()) {
      WriteWholeFile(expected_path, record);
      return;
    }
    const std::string expected = ReadWholeFile(expected_path);
    ASSERT_FALSE(expected.empty())
        << expected_path
        << " is missing: write it with scripts/regenerate-author-outputs.sh";
    EXPECT_EQ(record, expected)
        << "the step differs from " << expected_path
        << "; if the change is meant, regenerate the records with "
           "scripts/regenerate-author-outputs.sh";
  }

  static bool Regenerating() {
    const char* value = std::getenv("SCENARIO_REGENERATE_OUTPUTS");
    return value != nullptr && *value != '\0';
  }

  // Copies the file at path from to to (in the work folder), with the first
  // occurrence of from_text in it replaced by to_text.
  void CopyInto(const std::string& from, const std::string& to,
                const std::string& from_text = "",
                const std::string& to_text = "") {
    std::string bytes = ReadWholeFile(from);
    ASSERT_FALSE(bytes.empty()) << from;
    if (!from_text.empty()) {
      const std::size_t at = bytes.find(from_text);
      ASSERT_NE(at, std::string::npos) << from_text;
      bytes.replace(at, from_text.size(), to_text);
    }
    std::filesystem::create_directories(
        PathOf(folder_ + "/" + to).parent_path());
    WriteWholeFile(folder_ + "/" + to, bytes);
  }

  ScopedTempDir dir_;
  std::string folder_;
};

TEST_F(AuthorOutputsEndToEnd, EachCommandPrintsAndWritesTheRecordedBytes) {
  const std::string line = "esportato/Tarvo_Cembrio_linea.txt";
  const std::string train = "esportato/Tarvo_Cembrio_Exp 5147-.txt";
  Step("export", {"export", "-o", "esportato"}, {"esportato"});
  Step("compile-exported", {"compile", line, train, "-o", "prima"}, {"prima"});
  Step("check-json", {"check", line, train, "--json"});
  Step("lint", {"lint", line, train});
  Step("explain-all", {"explain", "--all"});

  // The example pair in a folder, and under names, with "à" and spaces.
  const std::string example = SCENARIO_DOCS_DIR "/example/";
  const std::string city = "Citt\xc3\xa0 alta/";
  const std::string names = "V\xc3\xa0lle d'Ala";
  CopyInto(example + "Valle_linea.txt", city + names + "_linea.txt");
  CopyInto(example + "Valle_R 12-.txt", city + names + "_R 12 bis-.txt");
  const std::string out = city + "uscita \xc3\xa0";
  Step("compile-accented",
       {"compile", city + names + "_linea.txt", city + names + "_R 12 bis-.txt",
        "-o", out},
       {out});
  const std::string cells = out + "/" + names + "_R 12 bis.dat";
  Step("inspect-cells", {"inspect", cells});
  Step("inspect-params", {"inspect", out + "/" + names + "_R 12 bis.sim"});
  Step("inspect-raw", {"inspect", cells, "--raw"});
  Step("plot-svg", {"plot", out, "-o", "foglio \xc3\xa0.svg"},
       {"foglio \xc3\xa0.svg"});
  // Back to descriptions named as the scenario is, in a folder with "à".
  Step("decompile-accented",
       {"decompile", out, "-o", city + "ricavato \xc3\xa0"},
       {city + "ricavato \xc3\xa0"});

  // The maximum-speed board at 57950 m of the exported line moved 100 m on.
  CopyInto(folder_ + "/" + line, "spostato/Tarvo_Cembrio_linea.txt",
           "indicatori_vmax,  57950,", "indicatori_vmax,  58050,");
  Step("compile-moved",
       {"compile", "spostato/Tarvo_Cembrio_linea.txt", train, "-o", "dopo"},
       {"dopo"});
  Step("diff", {"diff", "prima", "dopo"});
  Step("decompile", {"decompile", "prima", "-o", "ricavato"}, {"ricavato"});

  // A pack of two folders, built, then found up to date.
  CopyInto(example + "Valle_linea.txt", "raccolta/Valle/Valle_linea.txt");
  CopyInto(example + "Valle_R 12-.txt", "raccolta/Valle/Valle_R 12-.txt");
  CopyInto(folder_ + "/" + line,
           "raccolta/" + city + "Tarvo_Cembrio_linea.txt");
  CopyInto(folder_ + "/" + train,
           "raccolta/" + city + "Tarvo_Cembrio_Exp 5147-.txt");
  Step("build", {"build", "raccolta", "-j", "1"}, {"raccolta"}, true);
  Step("build-again", {"build", "raccolta", "-j", "1"}, {"raccolta"}, true);
}

}  // namespace
}  // namespace scenario
