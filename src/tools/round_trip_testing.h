#ifndef SCENARIO_TOOLS_ROUND_TRIP_TESTING_H_
#define SCENARIO_TOOLS_ROUND_TRIP_TESTING_H_

// One round trip of a description pair, for the property test and the
// fuzz target: compile the pair, decompile its files, then compile the
// written texts again apart from decompile and compare the bytes. The
// second compile is this file's own, so that decompile's report of its
// self-check is checked, never trusted.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "tools/decompile.h"

namespace scenario {

struct RoundTrip {
  // The first compile wrote the three files; clean: with no code.
  bool written = false;
  bool clean = false;
  // Decompile's status, and what it gave when ok.
  Status status;
  Decompiled decompiled;
  // From the second compile: every file byte for byte the same, or the
  // first difference, file by file in the order .dat, .sim, _linea.dat.
  bool same_bytes = false;
  std::string differing_file;  // ".dat", ".sim" or "_linea.dat"
  std::int64_t differing_offset = -1;
  // The first code the second compile recorded, as "code N: message"; ""
  // when decompile's texts compile clean.
  std::string second_code;
  // "" when decompile's report agrees with the second compile: it claims
  // same_bytes exactly when they are the same, and a difference it names
  // is the first one of the file it names. Else what disagrees.
  std::string report_problem;
};

// REQUIRES: *trip is as constructed.
void RunRoundTrip(std::string_view line_text, std::string_view train_text,
                  std::string_view line_name, std::string_view train_name,
                  RoundTrip* trip);

// What kind of non-identity a round trip that is not the same bytes shows,
// with its numbers and quoted texts left out, so that alike cases group
// together: "refused: ...", the code decompile's texts compile with, or
// the file decompile names and its words for the byte.
std::string NonIdentityKind(const RoundTrip& trip);

// One line about a round trip that is not the same bytes: decompile's
// status or its reported difference, and the second compile's.
std::string DescribeNonIdentity(const RoundTrip& trip);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_ROUND_TRIP_TESTING_H_
