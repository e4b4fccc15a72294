#ifndef SCENARIO_TOOLS_DECOMPILE_H_
#define SCENARIO_TOOLS_DECOMPILE_H_

// decompile: from a compiled scenario's files back to a line description
// and a train description that compile to the same bytes, checked by
// compiling them in memory before anything is claimed.

#include <cstdint>
#include <string>

#include "base/status.h"
#include "tools/recovered_rows.h"

namespace scenario {

struct LoadedScenario;

// Where the compile of the recovered descriptions first differs from the
// input files.
struct RoundTripDifference {
  std::string
      file;  // the input file's path or role: ".dat", ".sim", "_linea.dat"
  std::int64_t offset = 0;  // byte offset in that file
  // What the byte is in author terms: "cell 345 (metre 17200), speed
  // limit step: 19 in the file, 20 compiled".
  std::string what;
  // The first code the compile of the written descriptions recorded, as
  // "code 16 at 2250 m: <what it means>"; "" when it recorded none. Such a
  // code is most often why the bytes differ.
  std::string compile_code;
};

struct Decompiled {
  RecoveredDescription line;
  RecoveredDescription train;
  // The two descriptions as they are written: Windows-1252, CR LF line
  // ends, laid out as export lays out the built-in pair.
  std::string line_text;
  std::string train_text;
  // The self-check: true when compiling line_text and train_text under the
  // scenario's names gives back every input file byte for byte.
  bool same_bytes = false;
  RoundTripDifference difference;  // the first one, when !same_bytes
};

// Recovers both descriptions, writes their texts and compiles them in
// memory against loaded (the grid is compared only when loaded has one).
// Fails, with a message for an author, when the files hold what no
// compile could have written; *out is then unspecified.
Status Decompile(const LoadedScenario& loaded, Decompiled* out);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_H_
