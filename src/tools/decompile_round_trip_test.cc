// The round-trip property of decompile: a compiled scenario, decompiled and
// compiled again, gives back its files byte for byte, or decompile says
// where it does not; and what decompile says of its self-check is what an
// independent compile of its texts finds, in every case.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/fake_file_system.h"
#include "base/windows1252.h"
#include "compile/random_pair_testing.h"
#include "model/scenario_names.h"
#include "run/run_sequence.h"
#include "tools/round_trip_testing.h"

namespace scenario {
namespace {

// The share of generated pairs that must round-trip byte for byte: a
// bound of the feature's correctness, not of the tests.
constexpr double kIdentityBound = 0.99;

// The non-identities of a set of pairs, grouped by kind.
class NonIdentities {
 public:
  void Add(const std::string& pair, const RoundTrip& trip) {
    kinds_[NonIdentityKind(trip)].push_back(pair);
    details_ += pair + ": " + DescribeNonIdentity(trip) + "\n";
  }
  std::size_t count() const {
    std::size_t n = 0;
    for (const auto& [kind, pairs] : kinds_) n += pairs.size();
    return n;
  }
  // Every kind with its pairs, then every pair with its difference.
  std::string Report() const {
    std::string text;
    for (const auto& [kind, pairs] : kinds_) {
      text += std::to_string(pairs.size()) + " x " + kind + ":";
      for (const std::string& p : pairs) text += " " + p;
      text += "\n";
    }
    return text + details_;
  }

 private:
  std::map<std::string, std::vector<std::string>> kinds_;
  std::string details_;
};

// Runs one pair's round trip; a report that disagrees with the second
// compile fails the test whatever the bytes.
RoundTrip Check(std::string_view label, const std::string& line,
                const std::string& train, const std::string& line_name,
                const std::string& train_name) {
  RoundTrip trip;
  RunRoundTrip(line, train, line_name, train_name, &trip);
  EXPECT_EQ(trip.report_problem, "") << label;
  return trip;
}

TEST(DecompileRoundTrip, GeneratedPairsGiveBackTheirBytes) {
  std::vector<RandomPair> pairs;
  for (std::uint32_t seed = 0; seed < kRoundTripSeedCount; ++seed) {
    pairs.push_back(MakeRandomPair(seed));
  }
  pairs.push_back(LongestRandomPair());
  NonIdentities misses;
  for (const RandomPair& pair : pairs) {
    const std::string label = "seed " + std::to_string(pair.seed) + " (" +
                              Windows1252ToUtf8(pair.line_name) + ", " +
                              Windows1252ToUtf8(pair.train_name) + ")";
    const RoundTrip trip = Check(label, pair.line_text, pair.train_text,
                                 pair.line_name, pair.train_name);
    ASSERT_TRUE(trip.clean) << label << ": the generator made a pair that "
                            << "does not compile clean";
    if (!trip.status.ok() || !trip.same_bytes) misses.Add(label, trip);
  }
  const double identical = static_cast<double>(pairs.size() - misses.count()) /
                           static_cast<double>(pairs.size());
  RecordProperty("identical", std::to_string(pairs.size() - misses.count()) +
                                  " of " + std::to_string(pairs.size()));
  RecordProperty("non_identities", misses.Report());
  EXPECT_GE(identical, kIdentityBound)
      << misses.count() << " of " << pairs.size()
      << " pairs do not round-trip:\n"
      << misses.Report();
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A description pair of the fuzz seeds or the built-in run.
struct SeedPair {
  std::string label;
  std::string line;
  std::string train;
  std::string line_name = "Fuzz";
  std::string train_name = "Treno 1";
};

// The seeds of the compile and decompile targets: a grid byte, the line,
// a separator line, the train.
std::vector<SeedPair> FuzzSeedPairs() {
  constexpr std::string_view kSeparator = "\n==== train file ====\n";
  std::vector<SeedPair> pairs;
  const std::filesystem::path seeds = SCENARIO_FUZZ_SEEDS_DIR;
  for (const char* target : {"compile", "decompile"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(seeds / target)) {
      const std::string seed = ReadAll(entry.path());
      const std::size_t at = seed.find(kSeparator);
      if (seed.empty() || at == std::string::npos) continue;
      SeedPair pair;
      pair.label = std::string("fuzz seed ") + target + "/" +
                   entry.path().filename().string();
      pair.line = seed.substr(1, at - 1);
      pair.train = seed.substr(at + kSeparator.size());
      pairs.push_back(pair);
    }
  }
  std::sort(
      pairs.begin(), pairs.end(),
      [](const SeedPair& a, const SeedPair& b) { return a.label < b.label; });
  return pairs;
}

SeedPair BuiltinPair() {
  FakeFileSystem fs;
  const ScenarioFileNames names =
      MakeFileNames("/export", kBuiltinLineName, kBuiltinTrainName);
  EXPECT_TRUE(WriteBuiltinTexts(fs, names).ok());
  return {"the built-in pair", fs.Contents(names.line_description),
          fs.Contents(names.train_description), std::string(kBuiltinLineName),
          std::string(kBuiltinTrainName)};
}

// Every seed that compiles clean must round-trip; one whose compile
// recorded a code (its reading stopped part-way) may not, but decompile
// must still say so truly.
TEST(DecompileRoundTrip, FuzzSeedsAndTheBuiltinPairGiveBackTheirBytes) {
  std::vector<SeedPair> pairs = FuzzSeedPairs();
  ASSERT_FALSE(pairs.empty()) << SCENARIO_FUZZ_SEEDS_DIR;
  pairs.push_back(BuiltinPair());
  NonIdentities misses;
  int clean = 0;
  for (const SeedPair& pair : pairs) {
    const RoundTrip trip = Check(pair.label, pair.line, pair.train,
                                 pair.line_name, pair.train_name);
    if (!trip.clean) continue;
    ++clean;
    if (!trip.status.ok() || !trip.same_bytes) misses.Add(pair.label, trip);
  }
  EXPECT_GE(clean, 3);
  EXPECT_EQ(misses.count(), 0u) << misses.Report();
}

}  // namespace
}  // namespace scenario
