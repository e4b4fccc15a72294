// Builds generated packs on real files through the build command and holds
// every output against a compile of the same pair on its own; folder
// failures are injected through the fake file system.

#include "run/build_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "base/child_process_testing.h"
#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "base/strings.h"
#include "run/cli.h"
#include "run/compile_command.h"

namespace scenario {
namespace {

using nlohmann::json;

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

std::string Line(int length, const std::string& record_uno,
                 const std::string& curve) {
  return Lines(
      {"[generale]", "lunghezza percorso,    " + std::to_string(length),
       record_uno, "progressiva chilometrica due,    0,    0,    0",
       "progressiva chilometrica tre,    0,    0,    0", "sfondo uno,    1",
       "sfondo due,    0", "sfondo tre,    0",
       "ripetizione segnali 9 codici,    0,    0", "[curve]", curve,
       "[pendenze]", "pendenza,  0,   0", "pendenza,  2000,   5", "[cartelli]",
       "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0",
       "[indicazioni]", "cartello_indicatore,  3000,   (  Cippo  )(Km 3+000)",
       "[fine]"});
}

// Train i: its rows vary with i, and some i record codes: 16 (two signals
// on one cell), 15 (a row beyond the line), 25 (a malformed number), or end
// with 1250 and write nothing (a signal in the header cell).
std::string Train(int i) {
  const std::string first_signal =
      i % 31 == 13 ? "0" : std::to_string(1500 + (i % 20) * 100);
  const std::string second_signal =
      i % 17 == 5 ? first_signal : std::to_string(4000 + (i % 5) * 50);
  std::string speed = std::to_string(60 + i % 40);
  if (i % 29 == 11) speed = "9x5";
  const std::string speed_at =
      i % 23 == 7 ? "20000" : std::to_string(1000 + (i % 7) * 100);
  return Lines(
      {"[generale]", "numero vetture,    " + std::to_string(4 + i % 6),
       "percentuale massa frenata,    120", "sabbia,    220",
       "orologio,    17              15            30 ", "[aderenze]",
       "aderenza,       0,    76", "[vel_limite]", "velocita,   0,    30",
       "velocita,    " + speed_at + ",    " + speed, "[stazioni]",
       "stazione,       0,  8,  500,  1, 0, 0,  3,1,0,  2,1,1,    1,  "
       "17,15,30, Alfa",
       "[segnali]",
       "segnale,    " + first_signal + ",   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       "segnale,    " + second_signal + ",   2, 3, 1,  1, 0,    0,  0,0,0, 0",
       "[codici]", "[fine]"});
}

struct PackLineFixture {
  const char* folder;  // "" or ending in "/"
  const char* name;
  std::string text;
};

// Three lines in three folders; the last one's kilometre record is not a
// multiple of 50, so every train over it records code 2.
std::vector<PackLineFixture> ThreeLines() {
  return {
      {"", "Valle",
       Line(5000, "progressiva chilometrica uno,    0,    0,    0",
            "curvas1,  1000,  200")},
      {"b/", "Monte",
       Line(8000, "progressiva chilometrica uno,    0,    0,    0",
            "curvad3,  2500,  400")},
      {"c/d/", "Lago",
       Line(6000, "progressiva chilometrica uno,    1025,    0,    0",
            "curvas2,  500,  100")},
  };
}

// A generated pair, by its paths relative to the pack.
struct GeneratedPair {
  std::string line_file;
  std::string train_file;
  std::string grid;  // the outputs, relative
  std::string param;
  std::string cells;
};

void SetModified(const std::string& path,
                 std::filesystem::file_time_type when) {
  std::filesystem::last_write_time(path, when);
}

// Writes count trains over the three lines, with every description dated a
// minute back, so that outputs written now are newer.
std::vector<GeneratedPair> WritePack(const std::string& root, int count) {
  const std::vector<PackLineFixture> lines = ThreeLines();
  const auto past =
      std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
  for (const PackLineFixture& line : lines) {
    std::filesystem::create_directories(root + "/" + line.folder);
    const std::string path =
        root + "/" + line.folder + line.name + "_linea.txt";
    WriteWholeFile(path, line.text);
    SetModified(path, past);
  }
  std::vector<GeneratedPair> pairs;
  for (int i = 0; i < count; ++i) {
    const PackLineFixture& line = lines[i % 3];
    const std::string stem =
        std::string(line.folder) + line.name + "_R " + std::to_string(i);
    GeneratedPair pair;
    pair.line_file = std::string(line.folder) + line.name + "_linea.txt";
    pair.train_file = stem + "-.txt";
    pair.grid = std::string(line.folder) + line.name + "_linea.dat";
    pair.param = stem + ".sim";
    pair.cells = stem + ".dat";
    WriteWholeFile(root + "/" + pair.train_file, Train(i));
    SetModified(root + "/" + pair.train_file, past);
    pairs.push_back(pair);
  }
  return pairs;
}

struct CommandRun {
  int status = -1;
  std::string out;
  std::string err;
};

CommandRun Build(const std::vector<std::string>& args) {
  std::vector<const char*> argv = {"scenario-compiler", "build"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  const ParsedCommandLine parsed =
      ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  EXPECT_TRUE(parsed.run) << parsed.err_text;
  std::ostringstream out;
  std::ostringstream err;
  CommandRun run;
  run.status = RunBuildCommand(std::get<BuildCommandOptions>(parsed.options),
                               RealFileSystem(), out, err, /*terminal=*/false);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// `compile --json` (with --werror when asked) of one pair into output.
CommandRun CompileAlone(const std::string& line_file,
                        const std::string& train_file,
                        const std::string& output, bool werror) {
  CompileCommandOptions c;
  c.compile.line_file = line_file;
  c.compile.train_file = train_file;
  c.compile.output = output;
  c.compile.warnings.werror = werror;
  c.json = true;
  std::ostringstream out;
  std::ostringstream err;
  CommandRun run;
  run.status = RunCompileCommand(c, RealFileSystem(), out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// The summary rows by train file.
std::map<std::string, json> Rows(const CommandRun& run) {
  std::map<std::string, json> rows;
  const json doc = json::parse(run.out);
  for (const json& row : doc["scenarios"]) {
    rows[row["train_file"].get<std::string>()] = row;
  }
  return rows;
}

std::set<std::string> Compiled(const std::map<std::string, json>& rows) {
  std::set<std::string> compiled;
  for (const auto& [file, row] : rows) {
    if (row["state"] == "built" || row["state"] == "not written") {
      compiled.insert(file);
    }
  }
  return compiled;
}

std::string Contents(const std::string& path) {
  return std::filesystem::exists(path) ? ReadWholeFile(path) : "<missing>";
}

// What the pairs of a pack gave, each compiled on its own.
struct AloneOutcomes {
  std::set<std::string> wrote_nothing;  // train files
  std::set<std::int32_t> codes_seen;
  std::set<std::size_t> warning_counts;
};

// Compiles every pair on its own and holds the pack build's row and files
// for it (rows: by train file) against what it gave.
AloneOutcomes ExpectRowsAsAlone(const ScopedTempDir& pack,
                                const std::vector<GeneratedPair>& pairs,
                                const std::map<std::string, json>& rows) {
  AloneOutcomes outcomes;
  for (const GeneratedPair& pair : pairs) {
    SCOPED_TRACE(pair.train_file);
    ScopedTempDir alone;
    const CommandRun run =
        CompileAlone(pack.File(pair.line_file), pack.File(pair.train_file),
                     alone.path(), /*werror=*/false);
    const json single = json::parse(run.out);
    std::vector<std::int32_t> codes;
    for (const json& d : single["diagnostics"]) codes.push_back(d["code"]);
    outcomes.codes_seen.insert(codes.begin(), codes.end());
    outcomes.warning_counts.insert(single["warnings"].size());

    const json& row = rows.at(pair.train_file);
    const bool wrote = run.status != kExitNothing;
    EXPECT_EQ(row["codes"].get<std::vector<std::int32_t>>(), codes);
    EXPECT_EQ(row["warnings"], single["warnings"].size());
    EXPECT_EQ(row["state"], wrote ? "built" : "not written");
    if (!wrote) outcomes.wrote_nothing.insert(pair.train_file);
    std::vector<const std::string*> outputs = {&pair.param, &pair.cells};
    if (wrote) outputs.push_back(&pair.grid);
    for (const std::string* output : outputs) {
      EXPECT_EQ(Contents(pack.File(*output)),
                Contents(alone.File(std::string(BaseName(*output)))))
          << *output;
    }
  }
  return outcomes;
}

TEST(PackBuild, TwoHundredPairsAsTheirOwnCompilesThenOnlyWhatChanged) {
  ScopedTempDir pack;
  const std::vector<GeneratedPair> pairs = WritePack(pack.path(), 200);
  // Reported, not fatal: a train without its line, a stray file.
  WriteWholeFile(pack.File("b/Nessuno_X-.txt"), Train(1));
  WriteWholeFile(pack.File("b/LEGGIMI.md"), "notes");

  const CommandRun first = Build({pack.path(), "-j", "2", "--json"});
  const std::map<std::string, json> rows = Rows(first);
  ASSERT_EQ(rows.size(), 201u) << first.err;
  EXPECT_EQ(rows.at("b/Nessuno_X-.txt")["state"], "not compiled");
  EXPECT_NE(first.err.find("b/LEGGIMI.md: unmatched"), std::string::npos)
      << first.err;
  EXPECT_EQ(json::parse(first.out)["totals"]["grids_written"], 3);

  const AloneOutcomes alone = ExpectRowsAsAlone(pack, pairs, rows);
  const std::set<std::string>& wrote_nothing = alone.wrote_nothing;
  // The pack covers every kind of outcome.
  EXPECT_EQ(alone.codes_seen, (std::set<std::int32_t>{2, 15, 16, 25, 1250}));
  // Some pairs deserve warnings (a speed not in steps of 5), some none.
  EXPECT_EQ(alone.warning_counts, (std::set<std::size_t>{0, 1}));
  EXPECT_FALSE(wrote_nothing.empty());
  EXPECT_EQ(first.status, kExitNothing);

  // Nothing changed: only the pairs that wrote nothing compile again; the
  // others keep their codes from the record.
  const CommandRun second = Build({pack.path(), "--json"});
  const std::map<std::string, json> again = Rows(second);
  EXPECT_EQ(Compiled(again), wrote_nothing);
  for (const GeneratedPair& pair : pairs) {
    EXPECT_EQ(again.at(pair.train_file)["codes"],
              rows.at(pair.train_file)["codes"])
        << pair.train_file;
    EXPECT_EQ(again.at(pair.train_file)["warnings"],
              rows.at(pair.train_file)["warnings"])
        << pair.train_file;
  }
  EXPECT_EQ(json::parse(second.out)["totals"]["files_written"], 0);

  // One train edited: it alone compiles (the grid is left as it is).
  const GeneratedPair& edited = pairs[4];
  WriteWholeFile(pack.File(edited.train_file), Train(40));
  const CommandRun third = Build({pack.path(), "--json"});
  std::set<std::string> expected = wrote_nothing;
  expected.insert(edited.train_file);
  EXPECT_EQ(Compiled(Rows(third)), expected);
  EXPECT_EQ(json::parse(third.out)["totals"]["grids_written"], 0);
  // The next build finds it up to date, newer than its grid as it is.
  EXPECT_EQ(Compiled(Rows(Build({pack.path(), "--json"}))), wrote_nothing);

  // --force compiles every pair.
  const CommandRun forced = Build({pack.path(), "--json", "--force"});
  EXPECT_EQ(Compiled(Rows(forced)).size(), 200u);
  EXPECT_EQ(json::parse(forced.out)["totals"]["grids_written"], 3);
}

TEST(PackBuild, OutputFolderKeepsTheLayoutAndTheCsvHoldsTheTable) {
  ScopedTempDir pack;
  ScopedTempDir out;
  const std::vector<GeneratedPair> pairs = WritePack(pack.path(), 6);
  const std::string csv = out.File("summary.csv");
  const CommandRun run =
      Build({pack.path(), "-o", out.File("o"), "--no-grid", "--csv", csv});
  EXPECT_EQ(run.status, 1) << run.err << run.out;  // codes 2 and 16
  for (const GeneratedPair& pair : pairs) {
    EXPECT_TRUE(std::filesystem::exists(out.File("o/" + pair.param)));
    EXPECT_TRUE(std::filesystem::exists(out.File("o/" + pair.cells)));
    EXPECT_FALSE(std::filesystem::exists(out.File("o/" + pair.grid)));
    EXPECT_FALSE(std::filesystem::exists(pack.File(pair.param)));
  }
  const std::string table = ReadWholeFile(csv);
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 7);
  EXPECT_NE(table.find("c/d/Lago_R 2,built,2,"), std::string::npos) << table;
  // The text summary on out all the same.
  EXPECT_NE(run.out.find("6 scenarios: 6 built"), std::string::npos) << run.out;
}

// One train of three deserves a warning: the summary counts it for that
// train alone, as `compile` does, keeps the count while the pair is up
// to date, and -W makes it fail the build as --werror fails a compile.
TEST(PackBuild, WarningsAreCountedAndFailTheBuildWithW) {
  ScopedTempDir pack;
  const PackLineFixture valle = ThreeLines()[0];
  WriteWholeFile(pack.File("Valle_linea.txt"), valle.text);
  // Train 3's speed limit of 63 km/h is stored as 60; 0 and 10 are clean.
  for (int i : {0, 3, 10}) {
    WriteWholeFile(pack.File("Valle_R " + std::to_string(i) + "-.txt"),
                   Train(i));
  }
  const auto past =
      std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
  for (const auto& entry : std::filesystem::directory_iterator(pack.path())) {
    SetModified(entry.path().string(), past);
  }
  const std::map<std::string, std::size_t> expected = {
      {"Valle_R 0-.txt", 0}, {"Valle_R 3-.txt", 1}, {"Valle_R 10-.txt", 0}};

  // What compile --werror says of each pair on its own.
  for (const auto& [train, count] : expected) {
    SCOPED_TRACE(train);
    ScopedTempDir alone;
    const CommandRun run =
        CompileAlone(pack.File("Valle_linea.txt"), pack.File(train),
                     alone.path(), /*werror=*/true);
    EXPECT_EQ(json::parse(run.out)["warnings"].size(), count);
    EXPECT_EQ(run.status, count > 0 ? kExitFindings : kExitOk);
  }

  ScopedTempDir elsewhere;
  const std::string csv = elsewhere.File("summary.csv");
  const CommandRun plain = Build({pack.path(), "--csv", csv});
  EXPECT_EQ(plain.status, 0) << plain.err << plain.out;
  EXPECT_NE(plain.out.find("1 warning in 1 scenario;"), std::string::npos)
      << plain.out;
  const std::string table = ReadWholeFile(csv);
  EXPECT_NE(table.find("\r\nValle_R 3,built,,,1,"), std::string::npos) << table;
  EXPECT_NE(table.find("\r\nValle_R 0,built,,,0,"), std::string::npos) << table;

  // Up to date: the count comes from the record, and still fails with -W.
  for (const char* w : {"-W", "--werror"}) {
    SCOPED_TRACE(w);
    const CommandRun strict = Build({pack.path(), w, "--json"});
    EXPECT_EQ(strict.status, 1) << strict.err;
    const json doc = json::parse(strict.out);
    EXPECT_EQ(doc["exit_status"], 1);
    EXPECT_EQ(doc["totals"]["warnings"], 1);
    EXPECT_EQ(doc["totals"]["with_warnings"], 1);
    for (const auto& [train, row] : Rows(strict)) {
      EXPECT_EQ(row["state"], "up to date") << train;
      EXPECT_EQ(row["warnings"], expected.at(train)) << train;
    }
  }

  // The warned train mended: the pack is clean with -W too.
  WriteWholeFile(pack.File("Valle_R 3-.txt"), Train(20));
  const CommandRun mended = Build({pack.path(), "-W", "--json"});
  EXPECT_EQ(mended.status, 0) << mended.err;
  const std::map<std::string, json> rows = Rows(mended);
  EXPECT_EQ(rows.at("Valle_R 3-.txt")["state"], "built");
  EXPECT_EQ(rows.at("Valle_R 3-.txt")["warnings"], 0);
  EXPECT_EQ(json::parse(mended.out)["totals"]["warnings"], 0);
}

// Builds "pack" into "out" on fs, with --json: a pair in the pack's folder
// and one in its subfolder b/. Their descriptions are written first unless
// they are there (edited by the test).
CommandRun BuildTwoFolderPack(FakeFileSystem& fs) {
  const std::vector<PackLineFixture> lines = ThreeLines();
  fs.files.try_emplace("pack/Valle_linea.txt", lines[0].text);
  fs.files.try_emplace("pack/Valle_R 0-.txt", Train(0));
  fs.files.try_emplace("pack/b/Monte_linea.txt", lines[1].text);
  fs.files.try_emplace("pack/b/Monte_R 1-.txt", Train(1));
  BuildCommandOptions options;
  options.pack = "pack";
  options.output = "out";
  options.jobs = 1;  // the fake serves one thread
  options.json = true;
  std::ostringstream out;
  std::ostringstream err;
  CommandRun run;
  run.status = RunBuildCommand(options, fs, out, err, /*terminal=*/false);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A pack of two folders on the fake file system, one of whose folders
// fails: the build names it and the reason, builds the other folder's
// scenario, and exits with kExitNothing.
TEST(PackBuild, AFolderThatFailsIsNamedAndTheRestIsBuilt) {
  struct Case {
    const char* name;
    const char* failing;  // the folder whose listing or making fails
    const char* message;
    bool monte_row;  // the train in b/ is found, but not compiled
  };
  const Case kCases[] = {
      {"an output folder that cannot be made", "out/b",
       "cannot create the folder \"out/b\": injected failure", true},
      {"a subfolder of the pack that cannot be listed", "pack/b",
       "cannot list the folder \"pack/b\": injected failure; nothing in it "
       "is built",
       false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem fs;
    fs.fail_folders.insert(c.failing);
    const CommandRun run = BuildTwoFolderPack(fs);
    EXPECT_EQ(run.status, kExitNothing);
    EXPECT_NE(
        run.err.find(std::string("scenario-compiler: ") + c.message + "\n"),
        std::string::npos)
        << run.err;
    const json doc = json::parse(run.out);
    EXPECT_EQ(doc["troubles"], json::array({c.message}));
    EXPECT_EQ(doc["exit_status"], kExitNothing);
    const std::map<std::string, json> rows = Rows(run);
    ASSERT_EQ(rows.count("Valle_R 0-.txt"), 1u);
    EXPECT_EQ(rows.at("Valle_R 0-.txt")["state"], "built");
    EXPECT_TRUE(fs.Has("out/Valle_R 0.sim") && fs.Has("out/Valle_R 0.dat") &&
                fs.Has("out/Valle_linea.dat"));
    EXPECT_EQ(rows.count("b/Monte_R 1-.txt"), c.monte_row ? 1u : 0u);
    if (c.monte_row) {
      EXPECT_EQ(rows.at("b/Monte_R 1-.txt")["state"], "not compiled");
      EXPECT_EQ(rows.at("b/Monte_R 1-.txt")["problem"], c.message);
    }
    for (const auto& [path, bytes] : fs.files) {
      EXPECT_FALSE(path.starts_with("out/b/")) << path;
    }
    // The stamps of the build record came through the file system too.
    const std::vector<std::string> stamped = fs.Paths("stat");
    EXPECT_NE(std::find(stamped.begin(), stamped.end(), "out/Valle_R 0.sim"),
              stamped.end());
  }
}

// A train that cannot be read after a good build: compiling it would give
// the line alone, so its scenario is not compiled, its files stay as they
// were, and the build exits with kExitNothing.
TEST(PackBuild, AnUnreadableTrainKeepsItsScenariosFiles) {
  FakeFileSystem fs;
  ASSERT_EQ(BuildTwoFolderPack(fs).status, kExitOk);
  const std::string sim = fs.Contents("out/Valle_R 0.sim");
  const std::string cells = fs.Contents("out/Valle_R 0.dat");
  fs.fail_reads.insert("pack/Valle_R 0-.txt");
  fs.mtimes["pack/Valle_R 0-.txt"] = 1;  // edited since the last build

  const CommandRun run = BuildTwoFolderPack(fs);
  EXPECT_EQ(run.status, kExitNothing) << run.err;
  const json row = Rows(run).at("Valle_R 0-.txt");
  EXPECT_EQ(row["state"], "not compiled");
  EXPECT_EQ(row["problem"],
            "cannot read \"pack/Valle_R 0-.txt\": injected failure; its "
            "files are kept as they were");
  EXPECT_EQ(fs.Contents("out/Valle_R 0.sim"), sim);
  EXPECT_EQ(fs.Contents("out/Valle_R 0.dat"), cells);
  EXPECT_NE(Rows(run).at("b/Monte_R 1-.txt")["state"], "not compiled");

  // Readable again: it is compiled, as the record no longer vouches for it.
  fs.fail_reads.clear();
  const CommandRun again = BuildTwoFolderPack(fs);
  EXPECT_EQ(again.status, kExitOk) << again.err;
  EXPECT_EQ(Rows(again).at("Valle_R 0-.txt")["state"], "built");
}

// A build killed while writing leaves its temporaries; the next build
// removes those in the folders it writes, once their process is gone.
TEST(PackBuild, TheTemporariesOfKilledBuildsAreRemoved) {
  const long ended = EndedProcessId();
  const long lasting = LastingProcessId();
  ASSERT_GT(ended, 0);
  ASSERT_GT(lasting, 0);
  const std::string prefix(kTemporaryPrefix);
  const std::string stale[] = {
      "out/" + prefix + std::to_string(ended) + "-1.tmp",
      "out/b/" + prefix + std::to_string(ended) + "-2.tmp"};
  // A process that runs: its temporary may still be being written.
  const std::string live = "out/" + prefix + std::to_string(lasting) + "-3.tmp";
  FakeFileSystem fs;
  for (const std::string& path : stale) fs.files[path] = "half a grid";
  fs.files[live] = "";
  ASSERT_EQ(BuildTwoFolderPack(fs).status, kExitOk);
  for (const std::string& path : stale) EXPECT_FALSE(fs.Has(path)) << path;
  EXPECT_TRUE(fs.Has(live));
}

// The states of the pack's two scenarios, Valle's then Monte's.
std::vector<std::string> States(const CommandRun& run) {
  const std::map<std::string, json> rows = Rows(run);
  return {rows.at("Valle_R 0-.txt")["state"],
          rows.at("b/Monte_R 1-.txt")["state"]};
}

// A train touched or edited after a build is newer than its line's grid,
// which no train rewrites while its line is unchanged: the build after the
// one that compiled it again finds it up to date all the same.
TEST(PackBuild, ATrainNewerThanItsGridIsUpToDateOnceBuilt) {
  struct Case {
    const char* name;
    bool edited;  // its bytes changed too
    const char* first_state;
  };
  const Case kCases[] = {{"touched", false, "up to date"},
                         {"edited", true, "built"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem fs;
    ASSERT_EQ(BuildTwoFolderPack(fs).status, kExitOk);
    const std::string train = "pack/Valle_R 0-.txt";
    ASSERT_EQ(States(BuildTwoFolderPack(fs)),
              (std::vector<std::string>{"up to date", "up to date"}));
    if (c.edited) {
      // Written as an editor saves it, then older than nothing.
      std::string bytes = fs.files[train];
      const std::size_t at = bytes.find("sabbia,    220");
      ASSERT_NE(at, std::string::npos);
      bytes.replace(at, 14, "sabbia,    230");
      ASSERT_TRUE(fs.WriteFileReplacing(train, bytes).ok());
    }
    fs.Touch(train);
    ASSERT_GT(fs.mtimes[train], fs.mtimes["out/Valle_linea.dat"]);

    const CommandRun first = BuildTwoFolderPack(fs);
    EXPECT_EQ(first.status, kExitOk) << first.err;
    EXPECT_EQ(States(first),
              (std::vector<std::string>{c.first_state, "up to date"}));
    EXPECT_EQ(json::parse(first.out)["totals"]["grids_written"], 0);
    for (int again = 0; again < 2; ++again) {
      EXPECT_EQ(States(BuildTwoFolderPack(fs)),
                (std::vector<std::string>{"up to date", "up to date"}))
          << "build " << again + 2 << " after";
    }
  }
}

// One byte of a file changed in place, its size, time and inode kept: the
// build sees it, compiles the scenario again, and an output puts back the
// bytes it had.
TEST(PackBuild, AnEditThatKeepsSizeAndTimeIsSeen) {
  struct Case {
    const char* file;
    const char* from;  // replaced by to, of the same length
    const char* to;
    bool output;  // the file is one the build writes
    int grids_written;
  };
  const Case kCases[] = {
      {"pack/Valle_R 0-.txt", "sabbia,    220", "sabbia,    230", false, 0},
      {"pack/Valle_linea.txt", "curvas1,  1000,  200", "curvas1,  1000,  300",
       false, 1},
      {"out/Valle_R 0.sim", nullptr, nullptr, true, 0},
      {"out/Valle_R 0.dat", nullptr, nullptr, true, 0},
      {"out/Valle_linea.dat", nullptr, nullptr, true, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    FakeFileSystem fs;
    ASSERT_EQ(BuildTwoFolderPack(fs).status, kExitOk);
    const std::map<std::string, std::string> built = fs.files;
    ASSERT_TRUE(fs.Has(c.file));
    const FileInfo before = fs.Stat(c.file);
    std::string& bytes = fs.files[c.file];
    if (c.output) {
      bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 1);
    } else {
      const std::size_t at = bytes.find(c.from);
      ASSERT_NE(at, std::string::npos);
      bytes.replace(at, std::string_view(c.from).size(), c.to);
    }
    const FileInfo after = fs.Stat(c.file);
    ASSERT_EQ(after.size, before.size);
    ASSERT_EQ(after.mtime_ns, before.mtime_ns);
    ASSERT_EQ(after.inode, before.inode);
    const std::string edited = fs.files[c.file];

    const CommandRun run = BuildTwoFolderPack(fs);
    EXPECT_EQ(States(run), (std::vector<std::string>{"built", "up to date"}))
        << run.err;
    EXPECT_EQ(json::parse(run.out)["totals"]["grids_written"], c.grids_written);
    if (c.output) {
      EXPECT_TRUE(fs.Contents(c.file) == built.at(c.file)) << "put back";
    } else {
      EXPECT_TRUE(fs.Contents(c.file) == edited) << "left as edited";
      bool changed = false;
      for (const char* output :
           {"out/Valle_R 0.sim", "out/Valle_R 0.dat", "out/Valle_linea.dat"}) {
        changed |= fs.Contents(output) != built.at(output);
      }
      EXPECT_TRUE(changed) << "the edit shows in an output";
    }
  }
}

TEST(PackBuild, TwoBuildsAtOnceLeaveOnlyWholeFiles) {
  ScopedTempDir pack;
  const std::vector<GeneratedPair> pairs = WritePack(pack.path(), 24);
  ASSERT_EQ(Build({pack.path()}).status, 2);  // some trains end in 1250
  std::map<std::string, std::string> expected;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(pack.path())) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() &&
        (name.ends_with(".dat") || name.ends_with(".sim"))) {
      expected[entry.path().string()] = ReadWholeFile(entry.path().string());
    }
  }

  // Two real processes, each rewriting every file of the pack.
  const std::vector<std::string> build = {SCENARIO_COMPILER_EXE, "build",
                                          "--force", pack.path()};
  for (int round = 0; round < 3; ++round) {
    {
      ChildProcess first(build, "", "/dev/null");
      ChildProcess second(build, "", "/dev/null");
      for (ChildProcess* b : {&first, &second}) {
        b->CloseInput();
        // Their reports are read to the end, so that neither waits on a
        // full pipe.
        b->ReadUntil([](const std::string&) { return false; },
                     std::chrono::minutes(2));
      }
      // A build that ends in 1250 exits 2; both must have ended.
      ASSERT_EQ(first.Wait(std::chrono::minutes(2)), 2);
      ASSERT_EQ(second.Wait(std::chrono::minutes(2)), 2);
    }
    std::map<std::string, std::string> found;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(pack.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
      if (entry.is_regular_file() &&
          (name.ends_with(".dat") || name.ends_with(".sim"))) {
        found[entry.path().string()] = ReadWholeFile(entry.path().string());
      }
    }
    EXPECT_EQ(found, expected);
  }
  // The build records are whole too. (Which entries they keep depends on
  // which build wrote last; an entry that no longer fits its files only
  // makes the next build compile that pair again.)
  for (const char* folder : {"", "b/", "c/d/"}) {
    const json record = json::parse(
        ReadWholeFile(pack.path() + "/" + folder + ".scenario-build"), nullptr,
        false);
    EXPECT_TRUE(record.is_object() && record.contains("program")) << folder;
  }
}

}  // namespace
}  // namespace scenario
