#ifndef SCENARIO_COMPILE_COMPILE_STAGE_H_
#define SCENARIO_COMPILE_COMPILE_STAGE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "model/param_table.h"
#include "model/scenario.h"

namespace scenario {

class ReadLog;

// The files one compile reads and writes (full paths).
struct CompileFiles {
  std::string line_description;
  std::string train_description;
  // The built-in run's descriptions are transient and deleted once read;
  // an author's own files are never deleted.
  bool delete_descriptions = true;
  std::string grid_file;
  std::string param_file;
  std::string cell_file;
  // False: compile and check only, write no binary file.
  bool write_outputs = true;
  // Optional: where the readers record what they read of each file, field
  // by field (the warnings are found from it). Null: nothing is recorded.
  // Reading is the same either way.
  ReadLog* line_log = nullptr;
  ReadLog* train_log = nullptr;
};

// How memorizza_percorso ended.
enum class CompileEnd {
  kWritten,      // the binary files were written (codes may be recorded)
  kHeaderFatal,  // 1250 or 1251: no binary file written
  kNoCellArray,  // the cell array was never created: nothing written
  kWriteFailed,  // a binary file could not be written
};

struct CompileResult {
  // kWritten also when files.write_outputs is false; written is then empty.
  CompileEnd end = CompileEnd::kWritten;
  std::int32_t fatal_code = 0;       // 1250 or 1251 with kHeaderFatal
  Status write_status;               // the failure with kWriteFailed
  std::vector<std::string> written;  // paths written, in order
};

// How a compile ended, as one sentence for an author: "" when the binary
// files were written (codes may be recorded), else what stopped them and
// that no binary file (or not every one) was written. The author commands
// and the pack build say it alike; the built-in run keeps its own words
// and errore's box.
std::string CompileEndMessage(const CompileResult& result);

// Reads both description files into s: copies line_name and train_name
// into the texts of slots 85 and 86; records 101 and returns, touching no
// file, when the line description is not a normal file; runs the line
// reader and then, when its hand-over says so, the train reader, deleting
// each file once read when files.delete_descriptions is set (a line stop
// deletes the line file too and leaves the train file as it is). A Fault in
// either half (a failed read or delete included) records code 25, leaves
// error_position as it was, and deletes both files when
// files.delete_descriptions is set.
void memorizza_dati(Scenario& s, FileSystem& fs, const CompileFiles& files);

// memorizza_dati in its two halves, for compiling many trains over a line
// read once (memorizza_dati is the one followed by the other).
struct LineHalf {
  // False after a line stop, a fault or code 101: the train file is then
  // neither read nor deleted.
  bool train_reader_runs = false;
  std::int32_t board_slot = 80;  // the line reader's hand-over
};
// Copies the names into slots 85 and 86, then reads the line description.
LineHalf ReadLineHalf(Scenario& s, FileSystem& fs, const CompileFiles& files);
// Reads the train description when line says the train reader runs.
void ReadTrainHalf(Scenario& s, FileSystem& fs, const CompileFiles& files,
                   const LineHalf& line);

// The compile stage: reset, memorizza_dati, post-pass, header checks,
// stamping, and the grid (when j is not 0), parameter and cell files.
CompileResult memorizza_percorso(Scenario& s, std::int32_t j, FileSystem& fs,
                                 const CompileFiles& files);

// The closing steps of memorizza_percorso, callable on a model built by
// hand: the header checks (1250, 1251: added to s.errors.diagnostics
// without changing error_code or error_position; nothing is written then), the
// stamping of 610 and 5121 and of the two race codes, and the grid (when
// write_line_file is not 0), parameter and cell files, each replaced whole
// through fs. Stops at the first failed write; files already written stay. Ends
// kNoCellArray, writing nothing, when cell 1 does not exist.
CompileResult StampAndWrite(Scenario& s, FileSystem& fs,
                            const CompileFiles& files);

// The writing steps of StampAndWrite alone: the grid (when write_line_file
// is not 0), parameter and cell files, each replaced whole through fs;
// stops at the first failed write.
// REQUIRES: s is stamped; the grid exists when write_line_file is not 0.
CompileResult WriteBinaryFiles(const Scenario& s, FileSystem& fs,
                               const CompileFiles& files);

// The race codes, from the names in slots 86 and 85: the train name, then
// the line name, in Windows-1252 lower case, padded with
// "aabbccddeeffgghhiillmmnnoo" and cut to 25 bytes. og sums the bytes (at
// most 25 x 255, so it fits a 16-bit word); st sums position x byte,
// positions from 1 (at most 325 x 255).
inline constexpr int kRaceCodeLength = 25;
inline constexpr std::string_view kRaceCodePadding =
    "aabbccddeeffgghhiillmmnnoo";
std::int32_t codice_gara_og(const ParamTable& table);
std::int32_t codice_gara_st(const ParamTable& table);

}  // namespace scenario

#endif  // SCENARIO_COMPILE_COMPILE_STAGE_H_
