// Writes the seeds that come from the program's own output, one folder per
// target under the folder given: the exported built-in pair, the binary
// files compiled from it and from the committed compile seeds, the sheet
// inputs made of them, random valid pairs for decompile, a few command
// lines and build records. They are
// generated rather than kept in the tree, so that they follow the formats as
// they change.
//
// Usage: fuzz_make_seeds SEED_DIR OUT_DIR
//   SEED_DIR: the committed seeds (fuzz/seeds); OUT_DIR: where to write.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/content_digest.h"
#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "compile/random_pair_testing.h"
#include "fuzz_compile_input.h"
#include "fuzz_entry_points.h"
#include "fuzz_lsp_session.h"
#include "model/coding.h"
#include "model/scenario_names.h"
#include "pack/build_record.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

// A scenario's three binary files as the compile writes them.
struct Compiled {
  std::string cells;
  std::string params;
  std::string grid;  // empty when compiled without the grid
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteSeed(const fs::path& dir, const std::string& name,
               std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "fuzz_make_seeds: cannot write %s\n",
                 (dir / name).c_str());
    return false;
  }
  return true;
}

// Compiles a compile seed as the compile target reads it; false when it
// writes no binary file.
bool CompileSeed(std::string_view seed, Compiled* out) {
  FuzzCompileRun run;
  if (!CompileFuzzInput(seed, &run) || run.result.end != CompileEnd::kWritten) {
    return false;
  }
  out->cells = run.fs.Contents(run.files.cell_file);
  out->params = run.fs.Contents(run.files.param_file);
  out->grid = run.fs.Contents(run.files.grid_file);
  return true;
}

// A sheet input: the head, then the three images.
std::string SheetInput(const Compiled& c, bool with_grid, std::int16_t from,
                       std::int16_t to) {
  std::string input;
  PutFixed32(&input, static_cast<std::uint32_t>(c.cells.size()));
  PutFixed32(&input, static_cast<std::uint32_t>(c.params.size()));
  PutFixed16(&input, static_cast<std::uint16_t>(from));
  PutFixed16(&input, static_cast<std::uint16_t>(to));
  input += c.cells;
  input += c.params;
  if (with_grid) input += c.grid;
  return input;
}

// The largest decompile seed: half the target's largest input, so that
// mutations have room to grow it.
constexpr std::size_t kDecompileSeedBytes = 16384;

// Command lines, arguments after the program's name joined by NUL.
constexpr std::string_view kCommandLines[] = {
    ""sv,
    "--no-window"sv,
    "--version"sv,
    "compile\0Valle_linea.txt\0Valle_R 12-.txt\0-o\0out"sv,
    "compile\0Valle_linea.txt\0Valle_R 12.txt\0--json\0--no-grid"sv,
    "check\0a.txt\0b.txt\0--line-name\0Linea\0--train-name\0Treno \xc3\xa8"sv,
    "check\0Tarvo_Cembrio_linea.txt\0Tarvo_Cembrio_Exp 5147-.txt\0--json"sv,
    "export\0-o\0my-scenario"sv,
    "inspect\0out/Valle_R 12.dat\0--json\0--all\0--every\0"
    "500"sv,
    "inspect\0x.bin\0--as\0grid"sv,
    "plot\0out\0-o\0pic.svg\0--from\0"
    "12.5\0--to\0"
    "30"sv,
    "plot\0a.sim\0a.dat\0--format\0png\0--line-name\0Valle"sv,
    "compil\0a\0b"sv,
    "help"sv,
};

// Build records as a pack build writes them: none, one folder of two
// scenarios over one line, and the same without the grid.
std::vector<std::string> BuildRecords() {
  ScenarioRecord built;
  built.line = ContentDigest("line");
  built.train = ContentDigest("train");
  built.outputs = {
      {"Valle_linea.dat", {{3853964, 1700000000123456789, 42}, 0x1234}},
      {"Valle_R 0.sim", {{3495, 1700000000223456789, 43}, 0x5678}},
      {"Valle_R 0.dat", {{57825, 1700000000323456789, 44}, 0x9abc}}};
  built.warnings = 3;
  ScenarioRecord coded = built;
  coded.train = ContentDigest("other train");
  coded.codes = {16, 25};
  coded.first_diagnostic =
      "Valle_R 1-.txt:12:1: error 16: two signals on one cell";
  coded.warnings = 0;
  BuildRecord record;
  record.scenarios = {{"Valle_R 0-.txt", built}, {"Valle_R 1-.txt", coded}};
  record.grids["Valle_linea.dat"] =
      GridRecord{built.line, built.outputs.at("Valle_linea.dat")};
  BuildRecord no_grid = record;
  no_grid.grids.clear();
  for (auto& [name, r] : no_grid.scenarios) {
    r.grid = false;
    r.outputs.erase("Valle_linea.dat");
  }
  return {SerializeBuildRecord({}, kFuzzRecordVersion),
          SerializeBuildRecord(record, kFuzzRecordVersion),
          SerializeBuildRecord(no_grid, kFuzzRecordVersion)};
}

// A language server session on a compile seed's pair (fuzz_lsp_session.h
// tells how the bytes read): the line on the disk, the train open in the
// editor and asked about, then the line open too and changed.
std::string LspSessionSeed(std::string_view compile_seed) {
  std::string_view pair = compile_seed.substr(compile_seed.empty() ? 0 : 1);
  const std::size_t at = pair.find(kTrainSeparator);
  const std::string_view line = pair.substr(0, at);
  const std::string_view train = at == std::string_view::npos
                                     ? ""
                                     : pair.substr(at + kTrainSeparator.size());
  const auto on = [](char document, std::string_view rest) {
    return std::string(1, document) + std::string(rest);
  };
  return LspRecord(LspOp::kInitialize, "\x01") +
         LspRecord(LspOp::kDisk, on('\3', line)) +
         LspRecord(LspOp::kOpen, on('\1', train)) +
         LspRecord(LspOp::kHover, "\x01\x06\x04") +
         LspRecord(LspOp::kCompletion, "\x01\x04\x01") +
         LspRecord(LspOp::kSymbols, "\x01") +
         LspRecord(LspOp::kOpen, on('\3', line)) +
         LspRecord(LspOp::kEdit, "\x03\x02\x01\x02\x06x") +
         LspRecord(LspOp::kWait, "\x30") + LspRecord(LspOp::kShutdown, "");
}

bool Run(const fs::path& seed_dir, const fs::path& out_dir) {
  bool ok = true;

  // The built-in pair, exported as the program writes it.
  FakeFileSystem fake;
  const ScenarioFileNames names =
      MakeFileNames("/export", kBuiltinLineName, kBuiltinTrainName);
  if (!WriteBuiltinTexts(fake, names).ok()) {
    std::fprintf(stderr, "fuzz_make_seeds: cannot export the built-in pair\n");
    return false;
  }
  const std::string pair = fake.Contents(names.line_description) +
                           std::string(kTrainSeparator) +
                           fake.Contents(names.train_description);
  const std::vector<std::pair<std::string, std::string>> builtin = {
      {"builtin-grid", "G" + pair}, {"builtin-no-grid", "N" + pair}};
  for (const auto& [name, seed] : builtin) {
    ok &= WriteSeed(out_dir / "compile", name, seed);
  }

  // Every compile seed that compiles gives binary seeds.
  std::vector<std::pair<std::string, std::string>> compile_seeds = builtin;
  std::error_code ec;
  for (const fs::directory_entry& e :
       fs::directory_iterator(seed_dir / "compile", ec)) {
    compile_seeds.emplace_back(e.path().filename().string(), ReadAll(e.path()));
  }
  for (const auto& [name, seed] : compile_seeds) {
    // The lint reads the compile's input.
    ok &= WriteSeed(out_dir / "lint", name, seed);
    Compiled c;
    if (!CompileSeed(seed, &c)) continue;
    ok &= WriteSeed(out_dir / "cell_file", name, c.cells);
    ok &= WriteSeed(out_dir / "param_file", name, c.params);
    // The built-in grid (almost 4 MB) is too large to mutate usefully; the
    // small scenarios' grids have the same structure.
    const bool small_grid = !c.grid.empty() && name.rfind("builtin", 0) != 0;
    if (small_grid) ok &= WriteSeed(out_dir / "grid_file", name, c.grid);
    constexpr std::int16_t kNone = INT16_MIN;
    ok &= WriteSeed(out_dir / "sheet", name,
                    SheetInput(c, small_grid, kNone, kNone));
    ok &= WriteSeed(out_dir / "sheet", name + "-range",
                    SheetInput(c, small_grid, 5, 30));
  }

  // decompile starts from every pair the compile target does, and from
  // random valid pairs of every row kind that fit its largest input.
  for (const auto& [name, seed] : compile_seeds) {
    ok &= WriteSeed(out_dir / "decompile", name, seed);
  }
  for (std::uint32_t n = 0, written = 0; n < 64 && written < 16; ++n) {
    const RandomPair pair = MakeRandomPair(n);
    const std::string seed =
        "G" + pair.line_text + std::string(kTrainSeparator) + pair.train_text;
    if (seed.size() > kDecompileSeedBytes) continue;
    ok &= WriteSeed(out_dir / "decompile", "random-" + std::to_string(n), seed);
    ++written;
  }

  // The language server on each hand-written pair.
  for (const auto& [name, seed] : compile_seeds) {
    if (name.rfind("builtin", 0) == 0) continue;  // larger than its inputs
    ok &= WriteSeed(out_dir / "lsp_server", name, LspSessionSeed(seed));
  }

  int n = 0;
  for (std::string_view line : kCommandLines) {
    ok &= WriteSeed(out_dir / "command_line", "argv-" + std::to_string(n++),
                    line);
  }
  n = 0;
  for (const std::string& record : BuildRecords()) {
    ok &= WriteSeed(out_dir / "build_record", "record-" + std::to_string(n++),
                    record);
  }
  return ok;
}

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_make_seeds SEED_DIR OUT_DIR\n");
    return 2;
  }
  return scenario::Run(argv[1], argv[2]) ? 0 : 1;
}
