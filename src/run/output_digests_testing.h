#ifndef SCENARIO_RUN_OUTPUT_DIGESTS_TESTING_H_
#define SCENARIO_RUN_OUTPUT_DIGESTS_TESTING_H_

// The bytes the program hands on, pinned whole: the built-in run's six
// files and the example pair's three compiled files keep the SHA-256
// digests of a known-good build, on every platform. The simulator reads the
// binary files and the crew are handed the texts, so any change to one of
// them is a change of behaviour. When a change is meant, take the new
// digests from a build checked by other means, never from the build under
// test alone. Test-only.

namespace scenario {

struct FileDigest {
  const char* name;  // in the output folder
  const char* sha256;
};

// The built-in run's files; the three crew documents come from it alone.
inline constexpr FileDigest kBuiltinRunDigests[] = {
    {"Tarvo_Cembrio_Exp 5147.dat",
     "28cdd29875dd84a405691b2fd3b840bf166db0d897ec53415c9a75da82fae228"},
    {"Tarvo_Cembrio_Exp 5147.sim",
     "480820b8e40b270d102e45c7f0745f0e9dcfe8bcdd99cf6cb9fb9a59d2baaffa"},
    {"Tarvo_Cembrio_Exp 5147_note.txt",
     "0f9d8e01a0eed5a11b311b501331208f882235623d1680fcbbcb9748aee68416"},
    {"Tarvo_Cembrio_Exp 5147_rallentamenti.txt",
     "3309db203696c79ee4d65fae32d4eacb0481546556cde26e9ad1ff72f4a65cff"},
    {"Tarvo_Cembrio_Exp 5147_scheda_treno.txt",
     "585bdc7fb6a67111f81c29c98bf480cc1d342fcf2a5ee8664ba0c8d730937556"},
    {"Tarvo_Cembrio_linea.dat",
     "31e9a15b7c201c3d4a7b301a8cc77af6c5181324ddc21111ae6fcaee6995f26f"},
};

// The example pair of the format reference (docs/example) compiled as the
// compile command does: names "Valle" and "R 12", grid written.
inline constexpr FileDigest kExamplePairDigests[] = {
    {"Valle_R 12.dat",
     "ea0bdc2b9ae6564d6eede2f3274f02d0c7f22a57712896eece3cb536e0dd5da5"},
    {"Valle_R 12.sim",
     "4cb3f352986218eca1cf65a8e8d824ea8be2dae3a0d2f1fc805027572f6b8276"},
    {"Valle_linea.dat",
     "afa831b659f81e09456c62981d89dc5975e5642754ee41f371f6eb32025795e5"},
};

}  // namespace scenario

#endif  // SCENARIO_RUN_OUTPUT_DIGESTS_TESTING_H_
