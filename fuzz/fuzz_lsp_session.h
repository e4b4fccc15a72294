#ifndef SCENARIO_FUZZ_FUZZ_LSP_SESSION_H_
#define SCENARIO_FUZZ_FUZZ_LSP_SESSION_H_

// The input of the language server's fuzz target and of its seeds: a
// session of an editor with the server, as records. Each record ends with
// a NUL byte (the last may lack it); its first byte, modulo
// kLspOpCount, says what the editor does (LspOp) and the rest is its
// payload. The editor's messages are framed as an editor frames them and
// go through a FrameDecoder to the server, with raw bytes in between;
// the files not open in the editor are in a fake file system.
//
// Payloads hold no NUL, which ends the record, so no byte stands for 0:
// DOC is one byte choosing the document (modulo 3: 0 the line
// description, 1 a train description beside it, 2 a file of no known
// kind); a position is two bytes, line and character, each one more than
// its number (255 stands for -1, 254 for a number past any text; a byte
// missing at the record's end for 0).

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "base/fake_file_system.h"

namespace scenario {

enum class LspOp : unsigned char {
  kInitialize,  // payload[0] odd: the editor takes snippets
  kOpen,        // DOC, then the text
  kChange,      // DOC, then the whole new text
  kEdit,        // DOC, start and end positions, then the new text
  kHover,       // DOC, position
  kCompletion,  // DOC, position
  kSymbols,     // DOC
  kSave,        // DOC
  kClose,       // DOC
  kShutdown,
  kExit,
  // The payload as it is, then an empty line (CR LF CR LF), which ends any
  // header the payload left open: what an editor sends next is then always
  // taken.
  kRaw,
  kWait,  // the clock moves on payload[0] * 10 ms; due checks run
  // The line description on the fake disk: payload[0] modulo 3 gives a
  // file holding the rest of the payload (0), a folder (1), or nothing.
  kDisk,
};
inline constexpr int kLspOpCount = static_cast<int>(LspOp::kDisk) + 1;

// One record of a session input, its NUL included.
// REQUIRES: payload holds no NUL.
std::string LspRecord(LspOp op, std::string_view payload);

// What a session left.
struct LspSessionRun {
  FakeFileSystem fs;
  std::vector<nlohmann::json> sent;  // every message of the server, in order
  // The ids of the editor's requests that the server was still running to
  // answer: each must have had its answer by the end of its record.
  std::vector<int> unanswered;
  bool exited = false;
};

// Runs the session data describes.
void RunLspSession(std::string_view data, LspSessionRun* run);

}  // namespace scenario

#endif  // SCENARIO_FUZZ_FUZZ_LSP_SESSION_H_
