// The field reader, the two readers and the post-pass on the built-in
// scenario and on the longest line.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_inputs.h"
#include "compile/post_pass.h"
#include "line/field_reader.h"
#include "line/line_reader.h"
#include "model/scenario.h"
#include "train/train_reader.h"

namespace scenario::bench {
namespace {

constexpr std::int32_t kBuiltinLength = 185700;
constexpr std::int32_t kLongestLength = 1000000;

// Every field of the built-in line description as text.
void BM_FieldReader(benchmark::State& state) {
  const std::string text = LineDescription(kBuiltinLength);
  for (auto _ : state) {
    FieldReader fields(text, "line.txt");
    std::size_t n = 0;
    while (!fields.AtEnd()) {
      benchmark::DoNotOptimize(fields.ReadText());
      ++n;
    }
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_FieldReader);

// The line reader with its grid (j = 1) or without (j = 0); the argument
// is the line's length in metres.
void BM_LineReader(benchmark::State& state) {
  const std::string text =
      LineDescription(static_cast<std::int32_t>(state.range(0)));
  const std::int32_t j = static_cast<std::int32_t>(state.range(1));
  for (auto _ : state) {
    Scenario s;
    s.write_line_file = j;
    FieldReader fields(text, "line.txt");
    benchmark::DoNotOptimize(ReadLineDescription(s, fields));
  }
}
BENCHMARK(BM_LineReader)
    ->Args({kBuiltinLength, 1})
    ->Args({kLongestLength, 1})
    ->Args({kBuiltinLength, 0})
    ->Unit(benchmark::kMicrosecond);

// The train reader on a model the line reader has filled (no grid).
void BM_TrainReader(benchmark::State& state) {
  const std::string line = LineDescription(kBuiltinLength);
  const std::string train = TrainDescription();
  Scenario after_line;
  FieldReader line_fields(line, "line.txt");
  const LineHandover handover = ReadLineDescription(after_line, line_fields);
  for (auto _ : state) {
    state.PauseTiming();
    Scenario s = after_line;
    state.ResumeTiming();
    FieldReader fields(train, "train.txt");
    ReadTrainDescription(s, fields, handover.board_slot);
    benchmark::DoNotOptimize(s.errors.error_code);
  }
}
BENCHMARK(BM_TrainReader)->Unit(benchmark::kMicrosecond);

// The signal-code post-pass over the built-in cells.
void BM_PostPass(benchmark::State& state) {
  const Scenario compiled = CompiledScenario(kBuiltinLength, 0);
  for (auto _ : state) {
    state.PauseTiming();
    Scenario s = compiled;
    state.ResumeTiming();
    ApplySignalCodePass(s);
    benchmark::DoNotOptimize(s.track_cells[1]);
  }
}
BENCHMARK(BM_PostPass)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace scenario::bench
