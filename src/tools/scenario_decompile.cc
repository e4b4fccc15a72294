#include "tools/scenario_decompile.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <utility>

#include "base/file_system.h"
#include "base/strings.h"
#include "model/scenario_names.h"
#include "tools/image_difference.h"
#include "tools/output_folder.h"

namespace scenario {
namespace {

using json = nlohmann::ordered_json;

// The paths of the two descriptions, as export names them.
Status DescriptionPaths(const DecompileOptions& options,
                        const ScenarioFileSet& files, std::string* line,
                        std::string* train) {
  std::string error;
  // A name holding a separator would put a description outside the
  // folder.
  if (!CheckName(files.line_name, "the line name", &error) ||
      !CheckName(files.train_name, "the train name", &error)) {
    return Status::Error(files.param_file + ": " + error +
                         "; nothing was written");
  }
  const ScenarioFileNames names =
      MakeFileNames(FolderWithoutSeparator(options.output), files.line_name,
                    files.train_name);
  *line = names.line_description;
  *train = names.train_description;
  return Status::Ok();
}

// An existing description is an author's work until told otherwise.
Status CheckNotThere(FileSystem& fs, const std::string& path) {
  if (fs.Stat(path).kind == FileKind::kMissing) return Status::Ok();
  return Status::Error(
      QuotedName(path) +
      " is already there, and may be an author's own description; nothing "
      "was written (give --force to replace it)");
}

// The input file a difference's role stands for.
std::string InputPath(const ScenarioFileSet& files, const std::string& role) {
  if (role == kParamFileRole) return files.param_file;
  if (role == kCellFileRole) return files.cell_file;
  if (role == kGridFileRole) return files.grid_file;
  return role;
}

json NotesJson(const RecoveredDescription& description) {
  json notes = json::array();
  for (const RecoveryNote& note : description.notes) {
    json j = {{"kind", std::string(RowKindName(note.kind))}};
    j["position"] = note.position >= 0 ? json(note.position) : json(nullptr);
    j["text"] = note.text;
    notes.push_back(std::move(j));
  }
  return notes;
}

}  // namespace

Status RunDecompile(const DecompileOptions& options, FileSystem& fs,
                    DecompileOutcome* outcome) {
  Status s = FindScenarioFiles(options.scenario, fs, &outcome->files);
  if (!s.ok()) return s;
  LoadedScenario loaded;
  s = LoadScenarioFiles(outcome->files, fs, &loaded, GridLoading::kKeepImage);
  if (!s.ok()) return s;
  std::string paths[2];
  s = DescriptionPaths(options, outcome->files, &paths[0], &paths[1]);
  for (int i = 0; i < 2 && s.ok() && !options.force; ++i) {
    s = CheckNotThere(fs, paths[i]);
  }
  if (!s.ok()) return s;
  s = Decompile(loaded, &outcome->decompiled);
  if (!s.ok()) {
    return Status::Error("cannot decompile the scenario of " +
                         QuotedName(outcome->files.param_file) + ": " +
                         s.message() + "; nothing was written");
  }
  s = MakeOutputFolder(fs, FolderWithoutSeparator(options.output));
  if (!s.ok()) return Status::Error(s.message() + "; nothing was written");
  const std::string* texts[2] = {&outcome->decompiled.line_text,
                                 &outcome->decompiled.train_text};
  for (int i = 0; i < 2; ++i) {
    s = fs.WriteFileReplacing(paths[i], *texts[i]);
    if (!s.ok()) return s;
    outcome->written.push_back(paths[i]);
  }
  outcome->difference = outcome->decompiled.difference;
  outcome->difference.file =
      InputPath(outcome->files, outcome->difference.file);
  return Status::Ok();
}

std::string NoteLine(const RecoveryNote& note) {
  std::string line(RowKindName(note.kind));
  if (note.position >= 0) {
    line += " at " + std::to_string(note.position) + " m";
  }
  return line + ": " + note.text;
}

std::string RoundTripMessage(const DecompileOutcome& outcome) {
  const RoundTripDifference& d = outcome.difference;
  std::string message =
      "the descriptions written do not compile to the same files: ";
  if (d.file.empty()) return message + d.what;
  message += QuotedName(d.file) + " differs first at byte " +
             std::to_string(d.offset) + ": " + d.what;
  if (!d.compile_code.empty()) {
    message +=
        " (compiling the descriptions written recorded " + d.compile_code + ")";
  }
  return message;
}

std::string FormatDecompileJson(const DecompileOutcome& outcome) {
  json doc;
  doc["files"] = outcome.written;
  doc["notes"] = {{"line", NotesJson(outcome.decompiled.line)},
                  {"train", NotesJson(outcome.decompiled.train)}};
  json round_trip = {{"same", outcome.decompiled.same_bytes}};
  if (!outcome.decompiled.same_bytes) {
    const RoundTripDifference& d = outcome.difference;
    round_trip["file"] = d.file.empty() ? json(nullptr) : json(d.file);
    round_trip["offset"] = d.file.empty() ? json(nullptr) : json(d.offset);
    round_trip["what"] = d.what;
    round_trip["compile_code"] =
        d.compile_code.empty() ? json(nullptr) : json(d.compile_code);
  }
  doc["round_trip"] = std::move(round_trip);
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace scenario
