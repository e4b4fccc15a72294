#ifndef SCENARIO_RUN_RUN_SEQUENCE_H_
#define SCENARIO_RUN_RUN_SEQUENCE_H_

#include <cstdint>
#include <iosfwd>
#include <string>

#include "base/status.h"
#include "compile/compile_stage.h"
#include "model/scenario_names.h"

namespace scenario {

class FileSystem;
class WaitingWindow;

// Whether the built-in run tries to show the waiting window.
enum class WindowChoice {
  kHeadless,   // never: tests, --no-window
  kIfDisplay,  // when a display opens; silently headless otherwise
};

// What the run without a command was asked to do.
struct BuiltinCommandOptions {
  bool window = true;  // --no-window clears it
};

// The run without a command: the built-in scenario, in the folder that
// holds the program, through RunBuiltinScenario. It shows the waiting
// window when a display opens, unless options.window is cleared.
int RunBuiltinCommand(const BuiltinCommandOptions& options, FileSystem& fs,
                      std::ostream& err);

// The five built-in texts, in the run's order: dati_linea, dati_treno,
// dati_note, dati_rallentamenti, dati_scheda. Stops at the first failure.
Status WriteBuiltinTexts(FileSystem& fs, const ScenarioFileNames& names);

// The built-in run, in this exact order: the two names; the waiting window;
// dati_linea, dati_treno, dati_note, dati_rallentamenti and dati_scheda,
// each written by the text writer into folder; memorizza_percorso with
// j = 1, which reads and deletes the two descriptions and writes the grid,
// parameter and cell files. Recorded codes are not shown and do not change
// the outcome. A failed text write ends the run there. Reports failures on
// err and returns the exit status. The window, when shown, stays up until
// the run ends (through errore's box, if any).
// REQUIRES: folder has no trailing separator.
int RunBuiltinScenario(FileSystem& fs, const std::string& folder,
                       std::ostream& err,
                       WindowChoice window = WindowChoice::kHeadless);

// Reports how the compile stage ended (errore for 1250 / 1251, a plain
// message otherwise) and returns the exit status. error_code is the last
// recorded code, named when the cell array is missing. window, when not
// null, is the waiting window that errore's box appears over.
int ReportCompileEnd(const CompileResult& result, std::int32_t error_code,
                     std::ostream& err, WaitingWindow* window = nullptr);

}  // namespace scenario

#endif  // SCENARIO_RUN_RUN_SEQUENCE_H_
