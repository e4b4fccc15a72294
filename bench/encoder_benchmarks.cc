// The three encoders, into a writer that only counts the bytes: the cost
// of packing, apart from the cost of the file.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string_view>

#include "base/file_system.h"
#include "bench/bench_inputs.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/param_file.h"

namespace scenario::bench {
namespace {

// The argument is the line's length in metres.
template <typename Encode>
void RunEncoder(benchmark::State& state, std::int32_t j, Encode encode) {
  const Scenario s =
      CompiledScenario(static_cast<std::int32_t>(state.range(0)), j);
  std::int64_t bytes = 0;
  const PieceWriter count = [&bytes](std::string_view piece) {
    benchmark::DoNotOptimize(piece.data());
    bytes += static_cast<std::int64_t>(piece.size());
  };
  for (auto _ : state) encode(s, count);
  state.SetBytesProcessed(bytes);
}

void BM_EncodeCellFile(benchmark::State& state) {
  RunEncoder(state, 0, [](const Scenario& s, const PieceWriter& w) {
    EncodeCellFile(s.track_cells, w);
  });
}
BENCHMARK(BM_EncodeCellFile)->Arg(185700)->Arg(1000000);

void BM_EncodeParamFile(benchmark::State& state) {
  RunEncoder(state, 0, [](const Scenario& s, const PieceWriter& w) {
    EncodeParamFile(s.param_table, w);
  });
}
BENCHMARK(BM_EncodeParamFile)->Arg(185700);

// The grid as a compile writes it: its runs laid as its two halves are
// packed.
void BM_EncodeGridFile(benchmark::State& state) {
  RunEncoder(state, 1, [](const Scenario& s, const PieceWriter& w) {
    EncodeGridFile(s.line_grid,
                   [&w](std::uint64_t, std::string_view piece) { w(piece); });
  });
}
BENCHMARK(BM_EncodeGridFile)
    ->Arg(185700)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario::bench
