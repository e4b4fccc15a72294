#include "tools/author_compile.h"

#include <cstdint>
#include <utility>

#include "base/exit_status.h"
#include "base/file_system.h"
#include "base/strings.h"
#include "compile/compile_stage.h"
#include "lint/warnings.h"
#include "model/scenario_names.h"
#include "tools/output_folder.h"

namespace scenario {
namespace {

// Fails, saying why, unless path names a normal file that can be read.
// Both inputs are checked before anything is named or written: the compile
// itself would take a missing train file for a fault and still replace
// good binary files with ones from the line alone.
Status CheckReadable(FileSystem& fs, const std::string& path,
                     const char* what) {
  std::string bytes;
  const Status status = ReadNormalFile(fs, path, &bytes);
  if (status.ok()) return status;
  return Status::Error(std::string("the ") + what +
                       " description cannot be read: " + status.message() +
                       "; nothing was written");
}

// The scenario's names as its files hold them (Windows-1252), and the
// names of its files (UTF-8, like every name on this system).
struct PairNames {
  std::string line;
  std::string train;
  ScenarioFileNames files;
};

Status NamePair(const AuthorCompileOptions& o, PairNames* names,
                std::vector<std::string>* notes) {
  std::string line_note;
  std::string train_note;
  const std::string line_utf8 =
      o.line_name ? *o.line_name : LineNameFromFile(o.line_file, &line_note);
  const std::string train_utf8 =
      o.train_name ? *o.train_name
                   : TrainNameFromFile(o.train_file, line_utf8, &train_note);
  for (std::string* note : {&line_note, &train_note}) {
    if (!note->empty()) notes->push_back(std::move(*note));
  }
  std::string error;
  const std::optional<std::string> line =
      CheckName(line_utf8, "the line name", &error);
  const std::optional<std::string> train =
      line ? CheckName(train_utf8, "the train name", &error) : std::nullopt;
  if (!line || !train) return Status::Error(error);
  names->line = *line;
  names->train = *train;
  names->files =
      MakeFileNames(FolderWithoutSeparator(o.output), line_utf8, train_utf8);
  // A train named "linea" would give the cell file the grid's name, and
  // the cell file would replace the grid just written.
  if (names->files.cell_file == names->files.line_grid) {
    return Status::Error("the train name " + QuotedName(train_utf8) +
                         " gives the cell file the line grid's name " +
                         QuotedName(names->files.cell_file) +
                         "; choose another (--train-name)");
  }
  return Status::Ok();
}

// Creates the output folder, clears it of what killed runs left there, and
// refuses an output file that is an input or whose name the folder cannot
// take: every refusal comes before the first file is written.
Status PrepareOutputs(const AuthorCompileOptions& o, FileSystem& fs,
                      const ScenarioFileNames& names) {
  const Status made = MakeOutputFolder(fs, FolderWithoutSeparator(o.output));
  if (!made.ok()) {
    return Status::Error(made.message() + "; nothing was written");
  }
  // The files' own folder, with its separator ("/" for the root).
  const std::string_view file = names.param_file;
  RemoveStaleTemporaries(
      fs, std::string(file.substr(0, file.size() - BaseName(file).size())));
  for (const std::string* output :
       {&names.line_grid, &names.param_file, &names.cell_file}) {
    if (output == &names.line_grid && o.no_grid) continue;
    const Status named = fs.CheckNewFileName(*output);
    if (!named.ok()) {
      return Status::Error(named.message() + "; nothing was written");
    }
    for (const std::string* input : {&o.line_file, &o.train_file}) {
      if (fs.SameFile(*output, *input)) {
        return Status::Error("the output file " + QuotedName(*output) +
                             " is the input file " + QuotedName(*input) +
                             "; nothing was written");
      }
    }
  }
  return Status::Ok();
}

// The warnings and the summary come from the read logs; the compile
// itself, and every byte it writes, is the same either way.
void Compile(const AuthorCompileOptions& o, FileSystem& fs,
             const PairNames& names, AuthorCompile* compile) {
  Scenario& s = compile->scenario;
  s.line_name = names.line;
  s.train_name = names.train;
  CompileFiles files;
  files.line_description = o.line_file;
  files.train_description = o.train_file;
  // An author's files are never deleted or changed.
  files.delete_descriptions = false;
  files.grid_file = names.files.line_grid;
  files.param_file = names.files.param_file;
  files.cell_file = names.files.cell_file;
  files.write_outputs = o.write;
  const std::int32_t j = o.no_grid ? 0 : 1;
  if (o.warnings.shown || o.summary) {
    LintOptions lint;
    for (const std::string& name : o.warnings.no_warn) {
      if (std::optional<WarningKind> kind = FindWarningKind(name)) {
        lint.disabled.set(WarningBit(*kind));
      }
    }
    compile->report = CompileAndLint(s, j, fs, files, lint);
    if (!o.warnings.shown) compile->report.warnings.clear();
  } else {
    compile->report.result = memorizza_percorso(s, j, fs, files);
  }
}

}  // namespace

Status CompileAuthorPair(const AuthorCompileOptions& options, FileSystem& fs,
                         AuthorCompile* compile,
                         std::vector<std::string>* notes) {
  for (const auto& [path, what] : {std::pair{&options.line_file, "line"},
                                   std::pair{&options.train_file, "train"}}) {
    const Status readable = CheckReadable(fs, *path, what);
    if (!readable.ok()) return readable;
  }
  PairNames names;
  Status status = NamePair(options, &names, notes);
  if (status.ok() && options.write) {
    status = PrepareOutputs(options, fs, names.files);
  }
  if (!status.ok()) return status;

  Compile(options, fs, names, compile);
  compile->exit_status = kExitNothing;
  if (compile->report.result.end == CompileEnd::kWritten) {
    const bool failing_warnings =
        options.warnings.werror && compile->warnings() > 0;
    compile->exit_status =
        compile->codes() == 0 && !failing_warnings ? kExitOk : kExitFindings;
  }
  return Status::Ok();
}

}  // namespace scenario
