#include "run/author_commands.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <ostream>
#include <utility>
#include <vector>

#include "base/exit_status.h"
#include "base/file_system.h"
#include "base/source_excerpt.h"
#include "base/windows1252.h"
#include "compile/compile_stage.h"
#include "lint/code_explanations.h"
#include "lint/lint.h"
#include "model/param_file.h"
#include "model/scenario.h"
#include "model/scenario_names.h"
#include "run/run_sequence.h"
#include "tools/diagnostic_report.h"
#include "tools/inspect.h"
#include "tools/scenario_files.h"

namespace scenario {

namespace {

using nlohmann::json;

constexpr std::string_view kProgram = "scenario-compiler";

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         s.substr(s.size() - suffix.size()) == suffix;
}

// The output folder as MakeFileNames wants it: no trailing separator ("/"
// itself becomes "", which still names the root).
std::string FolderWithoutSeparator(std::string folder) {
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder;
}

// Creates the output folder when it is missing. False, with the reason on
// err, when it cannot be made.
bool MakeOutputFolder(const std::string& folder, std::ostream& err) {
  if (folder.empty()) return true;  // the root
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    err << kProgram << ": cannot create the folder \"" << folder
        << "\": " << ec.message() << "; nothing was written\n";
    return false;
  }
  return true;
}

// True when a and b name the same existing file.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// JSON texts must be UTF-8; paths and fault texts may hold any bytes.
std::string Dump(const json& doc) {
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

// True when path is a normal file that can be read; else says why on err.
bool ReadableInput(const std::string& path, const char* what,
                   std::ostream& err) {
  std::string bytes;
  Status status = RealFileSystem().ReadFile(path, &bytes);
  if (status.ok() && !RealFileSystem().IsNormalFile(path)) {
    status = Status::Error("\"" + path + "\" is not a normal file");
  }
  if (status.ok()) return true;
  err << kProgram << ": the " << what
      << " description cannot be read: " << status.message()
      << "; nothing was written\n";
  return false;
}

json DiagnosticsJson(const Scenario& s, SourceRows& rows) {
  json list = json::array();
  for (const Diagnostic& d : s.errors.diagnostics) {
    json entry = {{"code", d.code},
                  {"file", d.where.file},
                  {"line", d.where.line},
                  {"column", d.where.column},
                  {"message", d.message}};
    entry["position"] = d.position ? json(*d.position) : json(nullptr);
    // The row as the file holds it, in UTF-8; null without a row.
    const std::optional<std::string> row = rows.Row(d.where);
    entry["source"] = row ? json(Windows1252ToUtf8(*row)) : json(nullptr);
    list.push_back(entry);
  }
  return list;
}

json WarningsJson(const std::vector<Warning>& warnings, SourceRows& rows) {
  json list = json::array();
  for (const Warning& w : warnings) {
    json entry = {{"name", WarningName(w.kind)},
                  {"file", w.where.file},
                  {"line", w.where.line},
                  {"column", w.where.column},
                  {"message", w.text}};
    entry["position"] = w.position ? json(*w.position) : json(nullptr);
    const std::optional<std::string> row = rows.Row(w.where);
    entry["source"] = row ? json(Windows1252ToUtf8(*row)) : json(nullptr);
    if (w.other) {
      entry["other"] = {{"file", w.other->file},
                        {"line", w.other->line},
                        {"column", w.other->column}};
    }
    list.push_back(entry);
  }
  return list;
}

json SummaryJson(const ReadSummary& summary) {
  json rows = json::object();
  for (int k = 0; k < kRowKindCount; ++k) {
    rows[std::string(RowKindName(static_cast<RowKind>(k)))] = summary.rows[k];
  }
  return {{"rows", rows},
          {"line_length", summary.line_length},
          {"first_station", summary.first_station},
          {"last_station", summary.last_station},
          {"text", DescribeSummary(summary)}};
}

}  // namespace

int RunCompileCommand(const CommandLine& c, std::ostream& out,
                      std::ostream& err) {
  const bool writing = c.kind == CommandKind::kCompile;
  // Both inputs must be readable files before anything is named or
  // written: the compile itself would take a missing train file for a
  // fault and still replace good binary files with ones from the line
  // alone.
  for (const auto& [path, what] :
       {std::pair{&c.line_file, "line"}, std::pair{&c.train_file, "train"}}) {
    if (!ReadableInput(*path, what, err)) return kExitNothing;
  }
  // A file name off the naming rule still gives a name; say which and why,
  // since the output files are named after it.
  std::string line_note;
  std::string train_note;
  const std::string line_utf8 =
      c.line_name ? *c.line_name : LineNameFromFile(c.line_file, &line_note);
  const std::string train_utf8 =
      c.train_name ? *c.train_name
                   : TrainNameFromFile(c.train_file, line_utf8, &train_note);
  for (const std::string* note : {&line_note, &train_note}) {
    if (!note->empty()) err << kProgram << ": note: " << *note << '\n';
  }
  std::string error;
  std::optional<std::string> line_name =
      CheckName(line_utf8, "the line name", &error);
  std::optional<std::string> train_name =
      line_name ? CheckName(train_utf8, "the train name", &error)
                : std::nullopt;
  if (!line_name || !train_name) {
    err << kProgram << ": " << error << '\n';
    return kExitNothing;
  }

  // File names are UTF-8 like every name on this system; the names inside
  // the files are Windows-1252.
  const std::string folder = FolderWithoutSeparator(c.output);
  const ScenarioFileNames names = MakeFileNames(folder, line_utf8, train_utf8);
  // A train named "linea" would give the cell file the grid's name, and the
  // cell file would replace the grid just written.
  if (names.cell_file == names.line_grid) {
    err << kProgram << ": the train name \"" << train_utf8
        << "\" gives the cell file the line grid's name \"" << names.cell_file
        << "\"; choose another (--train-name)\n";
    return kExitNothing;
  }
  if (writing) {
    if (!MakeOutputFolder(folder, err)) return kExitNothing;
    for (const std::string* output :
         {&names.line_grid, &names.param_file, &names.cell_file}) {
      for (const std::string* input : {&c.line_file, &c.train_file}) {
        if (SameFile(*output, *input)) {
          err << kProgram << ": the output file \"" << *output
              << "\" is the input file \"" << *input
              << "\"; nothing was written\n";
          return kExitNothing;
        }
      }
    }
  }

  Scenario s;
  s.line_name = *line_name;
  s.train_name = *train_name;
  CompileFiles files;
  files.line_description = c.line_file;
  files.train_description = c.train_file;
  // An author's files are never deleted or changed.
  files.delete_descriptions = false;
  files.grid_file = names.line_grid;
  files.param_file = names.param_file;
  files.cell_file = names.cell_file;
  files.write_outputs = writing;
  const std::int32_t j = c.no_grid ? 0 : 1;
  // The warnings and the summary come from the read logs; the compile
  // itself, and every byte it writes, is the same either way.
  const bool summary = c.kind == CommandKind::kCheck;
  LintReport report;
  if (c.warnings || summary) {
    LintOptions options;
    for (const std::string& name : c.no_warn) {
      if (std::optional<WarningKind> kind = FindWarningKind(name)) {
        options.disabled.set(WarningBit(*kind));
      }
    }
    report = CompileAndLint(s, j, RealFileSystem(), files, options);
    if (!c.warnings) report.warnings.clear();
  } else {
    report.result = memorizza_percorso(s, j, RealFileSystem(), files);
  }
  const CompileResult& result = report.result;

  const bool written = result.end == CompileEnd::kWritten;
  int status = kExitNothing;
  if (written) {
    const bool warned = c.werror && !report.warnings.empty();
    status = s.errors.diagnostics.empty() && !warned ? kExitOk : kExitFindings;
  }

  SourceRows rows(RealFileSystem());
  if (c.json) {
    json doc = {{"error_code", s.errors.error_code},
                {"error_position", s.errors.error_position},
                {"written", result.written},
                {"last_cell", s.last_cell},
                {"extended_length", s.extended_length},
                {"diagnostics", DiagnosticsJson(s, rows)}};
    // The header checks end the compile without recording a code, so
    // error_code keeps what the readers left; the fatal end is apart.
    doc["fatal_code"] = result.end == CompileEnd::kHeaderFatal
                            ? json(result.fatal_code)
                            : json(nullptr);
    switch (result.end) {
      case CompileEnd::kWritten:
        doc["end"] = writing ? "written" : "checked";
        break;
      case CompileEnd::kHeaderFatal:
        doc["end"] = "header places taken";
        break;
      case CompileEnd::kNoCellArray:
        doc["end"] = "no cell array";
        break;
      case CompileEnd::kWriteFailed:
        doc["end"] = "write failed";
        doc["write_error"] = result.write_status.message();
        break;
    }
    if (c.warnings) doc["warnings"] = WarningsJson(report.warnings, rows);
    if (summary) doc["summary"] = SummaryJson(report.summary);
    out << Dump(doc);
    return status;
  }

  for (const Diagnostic& d : s.errors.diagnostics) {
    // A code with no place in a file still belongs to one: the kilometre
    // records come from the line, the code marks from the train's rows.
    const std::string& file =
        d.code == kCodeKilometreRecord ? c.line_file : c.train_file;
    err << FormatDiagnostic(d, s.param_table, file) << '\n';
    if (c.no_source) continue;
    if (const std::optional<std::string> row = rows.Row(d.where)) {
      err << CaretExcerpt(*row, d.where.column);
    }
  }
  for (const Warning& w : report.warnings) {
    err << FormatWarning(w, s.param_table) << '\n';
    if (c.no_source) continue;
    if (const std::optional<std::string> row = rows.Row(w.where)) {
      err << CaretExcerpt(*row, w.where.column);
    }
  }
  if (summary) out << DescribeSummary(report.summary) << '\n';
  const std::string end = CompileEndMessage(result);
  if (!end.empty()) err << kProgram << ": " << end << '\n';
  return status;
}

int RunExportCommand(const CommandLine& c, std::ostream& out,
                     std::ostream& err) {
  const std::string folder = FolderWithoutSeparator(c.output);
  if (!MakeOutputFolder(folder, err)) return kExitNothing;
  const ScenarioFileNames names =
      MakeFileNames(folder, kBuiltinLineName, kBuiltinTrainName);
  Status status = WriteBuiltinTexts(RealFileSystem(), names);
  if (!status.ok()) {
    err << kProgram << ": " << status.message() << '\n';
    return kExitNothing;
  }
  for (const std::string* path :
       {&names.line_description, &names.train_description, &names.notes,
        &names.slowdown_form, &names.train_card}) {
    out << *path << '\n';
  }
  return kExitOk;
}

int RunInspectCommand(const CommandLine& c, std::ostream& out,
                      std::ostream& err) {
  std::optional<BinaryKind> kind = c.inspect_as.empty()
                                       ? BinaryKindFromName(c.inspect_file)
                                       : BinaryKindFromWord(c.inspect_as);
  if (!kind) {
    err << kProgram << ": cannot tell the kind of \"" << c.inspect_file
        << "\" from its name (.dat, _linea.dat or .sim); use --as "
           "cells|params|grid\n";
    return kExitNothing;
  }
  std::string image;
  Status status = RealFileSystem().ReadFile(c.inspect_file, &image);
  if (!status.ok()) {
    err << kProgram << ": " << status.message() << '\n';
    return kExitNothing;
  }
  InspectOptions options;
  options.json = c.json;
  options.all = c.inspect_all;
  options.grid_every = c.grid_every;
  options.raw = c.inspect_raw;
  // A cell file's author view reads the parameter file beside it, named
  // like it with ".sim", for kilometre readings, station names and board
  // texts; without one it shows positions in metres only.
  ParamTable params;
  if (*kind == BinaryKind::kCells && !options.raw &&
      EndsWith(c.inspect_file, ".dat")) {
    const std::string sim =
        c.inspect_file.substr(0, c.inspect_file.size() - 4) + ".sim";
    std::string sim_image;
    if (RealFileSystem().IsNormalFile(sim) &&
        RealFileSystem().ReadFile(sim, &sim_image).ok() &&
        DecodeParamFile(sim_image, &params)) {
      options.params = &params;
    }
  }
  std::string listing;
  std::string error;
  if (!InspectImage(image, *kind, options, &listing, &error)) {
    err << kProgram << ": \"" << c.inspect_file << "\" is " << error << '\n';
    return kExitNothing;
  }
  out << listing;
  return kExitOk;
}

int RunExplainCommand(const CommandLine& c, std::ostream& out,
                      std::ostream& err) {
  if (c.explain_all) {
    out << RenderExplanationsMarkdown();
    return kExitOk;
  }
  if (const CodeEntry* e = FindCodeExplanation(c.explain_what)) {
    out << RenderExplanation(*e);
    return kExitOk;
  }
  if (std::optional<WarningKind> kind = FindWarningKind(c.explain_what)) {
    out << RenderExplanation(Describe(*kind));
    return kExitOk;
  }
  err << kProgram << ": \"" << c.explain_what
      << "\" is neither a code that a compile can record nor a warning's "
         "name; `"
      << kProgram << " explain --all` lists them all\n";
  return kExitNothing;
}

int RunPlotCommand(const CommandLine& c, std::ostream& out, std::ostream& err) {
  PlotOptions options;
  options.inputs = c.plot_inputs;
  options.output = c.plot_output;
  if (!c.plot_format.empty()) options.format = ParsePlotFormat(c.plot_format);
  options.from_km = c.plot_from_km;
  options.to_km = c.plot_to_km;
  options.line_name = c.line_name.value_or("");
  options.train_name = c.train_name.value_or("");
  PlotOutcome outcome;
  Status status = RunPlot(options, RealFileSystem(), &outcome);
  if (!status.ok()) {
    err << kProgram << ": " << status.message() << '\n';
    return kExitNothing;
  }
  out << outcome.output << '\n';
  return kExitOk;
}

}  // namespace scenario
