// decompile against the compile it undoes, on a random valid pair over the
// 1,000,000 m line: the compile of the pair to its three files in memory,
// decompile of those files (which compiles its own texts once more to
// check them), and the recovery of the rows alone, without that check.
// Run with --benchmark_repetitions=N for medians.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "compile/random_pair_testing.h"
#include "model/cell_file.h"
#include "model/grid_image_view.h"
#include "model/param_file.h"
#include "tools/decompile.h"
#include "tools/decompile_line.h"
#include "tools/decompile_train.h"
#include "tools/scenario_files.h"

namespace scenario::bench {
namespace {

// The longest pair's files, compiled and decoded once for all runs.
struct LongestFiles {
  RandomPair pair;
  LoadedScenario loaded;
};

const LongestFiles& Longest() {
  static const LongestFiles* files = [] {
    auto* f = new LongestFiles{LongestRandomPair(), {}};
    InMemoryCompile c;
    CompileInMemory(f->pair.line_text, f->pair.train_text, f->pair.line_name,
                    f->pair.train_name, &c);
    // The grid kept as its bytes, as the decompile command loads it.
    auto grid = std::make_shared<const std::string>(c.grid_file);
    f->loaded.grid_image = grid;
    if (!c.scenario.errors.diagnostics.empty() ||
        !DecodeParamFile(c.param_file, &f->loaded.table) ||
        !DecodeCellFile(c.cell_file, &f->loaded.cells) ||
        !GridImageView::Open(*grid, &f->loaded.grid_view)) {
      std::fprintf(stderr, "the longest random pair does not compile clean\n");
      std::abort();
    }
    return f;
  }();
  return *files;
}

void BM_CompileLongestPair(benchmark::State& state) {
  const RandomPair& pair = Longest().pair;
  for (auto _ : state) {
    InMemoryCompile c;
    CompileInMemory(pair.line_text, pair.train_text, pair.line_name,
                    pair.train_name, &c);
    benchmark::DoNotOptimize(c.cell_file.data());
  }
}
BENCHMARK(BM_CompileLongestPair)->Unit(benchmark::kMillisecond);

void BM_DecompileLongestPair(benchmark::State& state) {
  const LoadedScenario& loaded = Longest().loaded;
  for (auto _ : state) {
    Decompiled out;
    const Status status = Decompile(loaded, &out);
    if (!status.ok()) {
      state.SkipWithError(status.message().c_str());
      return;
    }
    benchmark::DoNotOptimize(out.line_text.data());
  }
}
BENCHMARK(BM_DecompileLongestPair)->Unit(benchmark::kMillisecond);

// The recovery of both descriptions' rows, without the writing and the
// self-check compile.
void BM_RecoverLongestPairRows(benchmark::State& state) {
  const LoadedScenario& loaded = Longest().loaded;
  for (auto _ : state) {
    RecoveredDescription line;
    RecoveredDescription train;
    const Status line_status = RecoverLineRows(loaded, &line);
    const Status train_status = RecoverTrainRows(loaded, &train);
    if (!line_status.ok() || !train_status.ok()) {
      state.SkipWithError("the rows are not recovered");
      return;
    }
    benchmark::DoNotOptimize(train.rows.data());
  }
}
BENCHMARK(BM_RecoverLongestPairRows)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario::bench
