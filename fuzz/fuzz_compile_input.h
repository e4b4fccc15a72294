#ifndef SCENARIO_FUZZ_FUZZ_COMPILE_INPUT_H_
#define SCENARIO_FUZZ_FUZZ_COMPILE_INPUT_H_

// The compile input of the fuzz target and of its generated seeds, and the
// fake file system it compiles in, so that a seed is read exactly as the
// target reads it.
//
// The first byte chooses the grid: odd builds it ('G'), even does not
// ('N'). The rest is the line description, then kTrainSeparator, then the
// train description (missing separator: an empty train file).

#include <cstdint>
#include <string_view>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "model/scenario.h"

namespace scenario {

inline constexpr std::string_view kTrainSeparator = "\n==== train file ====\n";

// One compile of an input: the two descriptions in a fake file system
// under the names the program would give them, and what the compile left.
struct FuzzCompileRun {
  FakeFileSystem fs;
  CompileFiles files;
  Scenario scenario;
  std::int32_t j = 0;
  CompileResult result;
};

// Splits data and writes its descriptions into run->fs, under run->files'
// names, with the scenario named as the program would; compiles nothing.
// False for an empty input.
bool PrepareFuzzInput(std::string_view data, FuzzCompileRun* run);

// PrepareFuzzInput, then memorizza_percorso on what it wrote.
bool CompileFuzzInput(std::string_view data, FuzzCompileRun* run);

}  // namespace scenario

#endif  // SCENARIO_FUZZ_FUZZ_COMPILE_INPUT_H_
