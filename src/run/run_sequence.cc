#include "run/run_sequence.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/application_path.h"
#include "base/exit_status.h"
#include "base/file_system.h"
#include "documents/scenario_notes.h"
#include "documents/slowdown_form.h"
#include "documents/text_writer.h"
#include "documents/train_card.h"
#include "line/builtin_line.h"
#include "model/diagnostics.h"
#include "model/scenario.h"
#include "model/scenario_names.h"
#include "run/error_report.h"
#include "train/builtin_train.h"
#include "window/waiting_window.h"

namespace scenario {

int ReportCompileEnd(const CompileResult& result, std::int32_t error_code,
                     std::ostream& err, WaitingWindow* window) {
  switch (result.end) {
    case CompileEnd::kWritten:
      return kExitOk;
    case CompileEnd::kHeaderFatal:
      errore(std::to_string(result.fatal_code), err, window);
      return kExitFindings;
    case CompileEnd::kNoCellArray:
      err << "No cell array was built from the line description";
      if (error_code != 0) {
        err << " (error " << error_code;
        if (!ExplainCode(error_code).empty()) {
          err << ": " << ExplainCode(error_code);
        }
        err << ")";
      }
      err << ", so no binary file was written.\n";
      return kExitFindings;
    case CompileEnd::kWriteFailed:
      err << result.write_status.message()
          << "\nThe binary files were not all written.\n";
      return kExitFindings;
  }
  return kExitFindings;
}

Status WriteBuiltinTexts(FileSystem& fs, const ScenarioFileNames& names) {
  struct TextFile {
    const std::string& path;
    std::vector<std::string> (*lines)();
    TextLife life;
  };
  // The descriptions are compiled and deleted a moment later.
  const TextFile texts[] = {
      {names.line_description, dati_linea, TextLife::kTransient},
      {names.train_description, dati_treno, TextLife::kTransient},
      {names.notes, dati_note, TextLife::kKept},
      {names.slowdown_form, dati_rallentamenti, TextLife::kKept},
      {names.train_card, dati_scheda, TextLife::kKept},
  };
  for (const TextFile& text : texts) {
    Status status = WriteTextFile(fs, text.path, text.lines(), text.life);
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

int RunBuiltinScenario(FileSystem& fs, const std::string& folder,
                       std::ostream& err, WindowChoice window_choice) {
  Scenario s;
  s.line_name = std::string(kBuiltinLineName);
  s.train_name = std::string(kBuiltinTrainName);
  // Shown and painted before the first stage; closed when this returns.
  std::unique_ptr<WaitingWindow> window;
  if (window_choice == WindowChoice::kIfDisplay) {
    Status shown = WaitingWindow::TryOpen(&window);
    // The window only asks the user to wait: the run goes on without it.
    if (!shown.ok()) {
      err << "The waiting window cannot be shown: " << shown.message()
          << "; the run goes on without it.\n";
    }
  }

  const ScenarioFileNames names =
      MakeFileNames(folder, s.line_name, s.train_name);
  Status status = WriteBuiltinTexts(fs, names);
  if (!status.ok()) {
    err << status.message() << '\n';
    return kExitFindings;
  }

  CompileFiles files;
  files.line_description = names.line_description;
  files.train_description = names.train_description;
  files.delete_descriptions = true;
  files.grid_file = names.line_grid;
  files.param_file = names.param_file;
  files.cell_file = names.cell_file;
  files.write_outputs = true;
  const CompileResult result = memorizza_percorso(s, 1, fs, files);
  return ReportCompileEnd(result, s.errors.error_code, err, window.get());
}

int RunBuiltinCommand(const BuiltinCommandOptions& options, FileSystem& fs,
                      std::ostream& err) {
  std::string folder;
  const Status status = ApplicationPath(&folder);
  if (!status.ok()) {
    err << status.message() << '\n';
    return kExitFindings;
  }
  return RunBuiltinScenario(
      fs, folder, err,
      options.window ? WindowChoice::kIfDisplay : WindowChoice::kHeadless);
}

}  // namespace scenario
