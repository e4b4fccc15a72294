#ifndef SCENARIO_FUZZ_FUZZ_ENTRY_POINTS_H_
#define SCENARIO_FUZZ_FUZZ_ENTRY_POINTS_H_

// The bodies of the fuzz targets. Each takes any bytes, runs them through
// the library the way the program would, and aborts (a crash that the
// fuzzer keeps) when a property of the result does not hold. Sanitizer
// reports and exceptions that escape end the run the same way.
//
// The libFuzzer executables (built with clang) and the replay test of the
// regression inputs (built with the project's compiler) call the same
// functions, so an input that once crashed a target replays exactly.

#include <string_view>

namespace scenario {

// The compile stage on two in-memory descriptions, through the fake file
// system; fuzz_compile_input.h tells how the input holds them. What it
// writes must decode and encode back to the same bytes.
void FuzzCompile(std::string_view data);

// The lint of a pair, on the compile target's input: the warnings never
// change a byte written or a code recorded, each stands at a place in its
// file, in the promised order, and prints as one line.
void FuzzLint(std::string_view data);

// decompile on what the compile target's input compiles to, always with
// the grid (the curves are recovered from it): when the compile writes its
// files, they are decompiled and decompile's texts compiled again apart
// from it. Decompile must never claim the same bytes where that compile
// differs.
void FuzzDecompile(std::string_view data);

// One binary file as inspect reads it: decoded, encoded back to the same
// bytes, and listed as text and as JSON (which must parse).
void FuzzCellFile(std::string_view data);
void FuzzParamFile(std::string_view data);
void FuzzGridFile(std::string_view data);

// The sheet drawn from decoded files. The input is a 12-byte head, then the
// cell file, the parameter file and the grid file (the rest; none when
// empty). The head holds the cell file's and the parameter file's sizes
// (u32, little-endian; cut to what is there), then the first and last
// kilometre shown in tenths (i16 each; -32768 for none). The SVG must be
// well-formed XML.
void FuzzSheet(std::string_view data);
inline constexpr std::size_t kSheetHeadSize = 12;

// The command line: the input split at NUL bytes gives the arguments after
// the program's name. A compile or check command then forms its names and
// file names as the program would. The raw input also goes through the
// Windows-1252 conversions, which must round-trip.
void FuzzCommandLine(std::string_view data);

// A pack build's record as the build reads it, with kFuzzRecordVersion as
// the program's version: whatever it holds, what it reads writes a text
// that reads back to the same record.
void FuzzBuildRecord(std::string_view data);
inline constexpr std::string_view kFuzzRecordVersion = "scenario-compiler fuzz";

// The language server's frame decoder. The input is a kJsonRpcHeadSize
// head, then a byte stream, to which an empty line and one well-formed
// message are added. The stream is decoded whole and in pieces whose
// sizes the head gives in turn (a byte b gives b + 1 bytes, 255 all the
// rest): both must give the same frames, the added message must be the
// last of them, errors may number one a broken stretch (at most one more
// than the messages and the empty lines), and bytes held past a header's
// limit must be a body whose header has ended.
void FuzzJsonRpc(std::string_view data);
inline constexpr std::size_t kJsonRpcHeadSize = 4;

// The language server on an editor's session (fuzz_lsp_session.h), files
// in the fake file system: what it sends must be JSON-RPC, every request
// must be answered while it runs, raw bytes between them or not, and
// nothing is written.
void FuzzLspServer(std::string_view data);

struct FuzzTarget {
  const char* name;  // the folder name of its seeds and regression inputs
  void (*run)(std::string_view data);
};

// Every target, in the order of fuzz/targets.txt, which lists them once
// (the build makes these rows from it).
inline constexpr FuzzTarget kFuzzTargets[] = {
#include "fuzz_targets.inc"
};

}  // namespace scenario

#endif  // SCENARIO_FUZZ_FUZZ_ENTRY_POINTS_H_
