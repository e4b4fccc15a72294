#ifndef SCENARIO_MODEL_SCENARIO_NAMES_H_
#define SCENARIO_MODEL_SCENARIO_NAMES_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/application_path.h"
#include "base/status.h"

namespace scenario {

// The scenario's built-in names. Every file name is formed from them.
inline constexpr std::string_view kBuiltinLineName = "Tarvo_Cembrio";
inline constexpr std::string_view kBuiltinTrainName = "Exp 5147";

// The separator between the folder and a file name on this platform.
inline constexpr std::string_view kPathSeparator = "/";

// Every file of one scenario, by the naming rule: the folder, "/", then the
// names joined verbatim (blanks stay blanks).
struct ScenarioFileNames {
  std::string line_description;   // <line>_linea.txt, transient
  std::string train_description;  // <line>_<train>-.txt, transient
  std::string notes;              // <line>_<train>_note.txt
  std::string slowdown_form;      // <line>_<train>_rallentamenti.txt
  std::string train_card;         // <line>_<train>_scheda_treno.txt
  std::string line_grid;          // <line>_linea.dat
  std::string param_file;         // <line>_<train>.sim
  std::string cell_file;          // <line>_<train>.dat
};

// REQUIRES: folder has no trailing separator (as ApplicationPath gives it).
ScenarioFileNames MakeFileNames(std::string_view folder,
                                std::string_view line_name,
                                std::string_view train_name);

// The line name a line description's file name gives: "NAME_linea.txt"
// gives NAME, any other name its stem (the base name without its last
// extension). For a name that does not follow that rule, *note (when
// given) says which name was taken and why; else it is cleared.
std::string LineNameFromFile(std::string_view path,
                             std::string* note = nullptr);
// The train name a train description's file name gives: "LINE_TRAIN-.txt"
// gives TRAIN when LINE is line_name. A name that begins with "LINE_" but
// does not end in "-.txt" gives the stem of what follows the prefix
// ("Valle_R 12.txt": "R 12"); any other name its stem. *note as above.
std::string TrainNameFromFile(std::string_view path, std::string_view line_name,
                              std::string* note = nullptr);
// An author's name as Windows-1252 bytes, or nullopt with *error saying
// why: an empty name, one holding "/" or a NUL, or one with a character
// that has no Windows-1252 byte.
std::optional<std::string> CheckName(std::string_view utf8,
                                     std::string_view what, std::string* error);

}  // namespace scenario

#endif  // SCENARIO_MODEL_SCENARIO_NAMES_H_
