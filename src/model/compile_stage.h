#ifndef SCENARIO_MODEL_COMPILE_STAGE_H_
#define SCENARIO_MODEL_COMPILE_STAGE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "model/param_table.h"
#include "model/scenario.h"
#include "run/file_access.h"
#include "run/status.h"

namespace scenario {

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
};

// How memorizza_percorso ended.
enum class CompileEnd {
  kWritten,       // the binary files were written (codes may be recorded)
  kHeaderFatal,   // 1250 or 1251: no binary file written
  kNoCellArray,   // the cell array was never created: nothing written
  kWriteFailed,   // a binary file could not be written
};

struct CompileResult {
  CompileEnd end = CompileEnd::kWritten;
  std::int32_t fatal_code = 0;       // 1250 or 1251 with kHeaderFatal
  Status write_status;               // the failure with kWriteFailed
  std::vector<std::string> written;  // paths written, in order
};

// Reads both description files into s (line reader, then train reader),
// with the fault handler that records code 25 and deletes both files.
void memorizza_dati(Scenario& s, FileSystem& fs, const CompileFiles& files);

// The compile stage: reset, memorizza_dati, post-pass, header checks,
// stamping, and the grid (when j is not 0), parameter and cell files.
CompileResult memorizza_percorso(Scenario& s, std::int32_t j, FileSystem& fs,
                                 const CompileFiles& files);

// The race codes, from the names in slots 86 and 85.
std::int32_t codice_gara_og(const ParamTable& table);
std::int32_t codice_gara_st(const ParamTable& table);

}  // namespace scenario

#endif  // SCENARIO_MODEL_COMPILE_STAGE_H_
