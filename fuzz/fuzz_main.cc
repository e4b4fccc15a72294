// The libFuzzer executable of one target; SCENARIO_FUZZ_TARGET names it.
// Built only in the fuzz configuration (clang, -fsanitize=fuzzer).

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "fuzz_entry_points.h"

namespace {

void (*FindTarget())(std::string_view) {
  for (const scenario::FuzzTarget& t : scenario::kFuzzTargets) {
    if (std::strcmp(t.name, SCENARIO_FUZZ_TARGET) == 0) return t.run;
  }
  return nullptr;
}

// Resolved once; a name that is not in the table fails at the first input.
void (*const kRun)(std::string_view) = FindTarget();

// One input may take this much processor time, instrumentation and
// sanitizers included. Measured on the thread, not the wall clock, so that
// a loaded machine does not turn a slow moment into a finding; libFuzzer's
// -timeout still catches a hang.
constexpr double kMaxSecondsPerInput = 1.0;

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (kRun == nullptr) __builtin_trap();
  const double start = ThreadSeconds();
  kRun(std::string_view(reinterpret_cast<const char*>(data), size));
  const double used = ThreadSeconds() - start;
  if (used > kMaxSecondsPerInput) {
    std::fprintf(stderr, "fuzz: one input took %.2f s of processor time\n",
                 used);
    __builtin_trap();
  }
  return 0;
}
