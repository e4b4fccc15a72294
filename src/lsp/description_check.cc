#include "lsp/description_check.h"

#include <string>
#include <utility>

#include "base/status.h"
#include "base/strings.h"
#include "base/windows1252.h"
#include "compile/compile_stage.h"
#include "lint/lint.h"
#include "model/scenario_names.h"

namespace scenario {

namespace {

constexpr std::string_view kLineSuffix = "_linea.txt";
constexpr std::string_view kTrainSuffix = "-.txt";

// A train with no rows: what a line description alone is checked with.
constexpr std::string_view kEmptyTrain = "[generale]\r\n[fine]\r\n";

// The folder part of a path, with its "/"; "" for a bare name.
std::string_view Folder(std::string_view path) {
  return path.substr(0, path.size() - BaseName(path).size());
}

// The open buffers first, then the file system below. Nothing is ever
// written or deleted: the check runs with write_outputs and
// delete_descriptions off, and the writing calls fail here.
class EditorFileSystem : public FileSystem {
 public:
  EditorFileSystem(const OpenBuffers& buffers, OpenBuffers extra,
                   FileSystem& below)
      : buffers_(buffers), extra_(std::move(extra)), below_(below) {}

  bool IsNormalFile(const std::string& path) override {
    return Find(path) != nullptr || below_.IsNormalFile(path);
  }
  Status ReadFile(const std::string& path, std::string* contents) override {
    if (const std::string* bytes = Find(path)) {
      *contents = *bytes;
      return Status::Ok();
    }
    return below_.ReadFile(path, contents);
  }
  Status WriteFileReplacing(const std::string& path,
                            std::string_view) override {
    return Status::Error("cannot write \"" + path + "\" while checking");
  }
  Status DeleteFile(const std::string& path) override {
    return Status::Error("cannot delete \"" + path + "\" while checking");
  }
  FileInfo Stat(const std::string& path) override {
    if (const std::string* bytes = Find(path)) {
      FileInfo info;
      info.kind = FileKind::kNormal;
      info.size = bytes->size();
      return info;
    }
    return below_.Stat(path);
  }
  Status CreateFolders(const std::string& path) override {
    return Status::Error("cannot create \"" + path + "\" while checking");
  }
  Status ListFolder(const std::string& path,
                    std::vector<FolderEntry>* entries) override {
    return below_.ListFolder(path, entries);
  }

 private:
  const std::string* Find(const std::string& path) const {
    if (auto it = buffers_.find(path); it != buffers_.end()) return &it->second;
    if (auto it = extra_.find(path); it != extra_.end()) return &it->second;
    return nullptr;
  }

  const OpenBuffers& buffers_;
  OpenBuffers extra_;
  FileSystem& below_;
};

// A name for the slots of the model; only the race codes depend on it.
std::string NameBytes(const std::string& utf8) {
  return Utf8ToWindows1252(utf8).value_or("?");
}

// What an author reads in the train description when its line
// description cannot be read: which file, what is wrong, what to do.
std::string LineFileProblem(FileSystem& fs, const std::string& line_path,
                            const Status& read) {
  const std::string beside =
      "the line description beside this file, \"" + line_path + "\", ";
  const std::string not_checked = ", so this train description is not checked";
  const FileInfo info = fs.Stat(line_path);
  if (info.kind == FileKind::kFolder || info.kind == FileKind::kOther) {
    return beside + "is not a normal file but " +
           (info.kind == FileKind::kFolder ? "a folder"
                                           : "a pipe, a device or a socket") +
           not_checked + ": put the line description there as a text file";
  }
  if (info.kind == FileKind::kNormal && info.size > kMaxInputBytes) {
    return beside + "holds " + std::to_string(info.size) +
           " bytes, far more than any line description (at most " +
           std::to_string(kMaxInputBytes >> 20) + " MiB are read)" +
           not_checked + ": is it the right file?";
  }
  return beside + "cannot be read" + not_checked + ": " + read.message();
}

}  // namespace

DescriptionKind KindOfDescription(std::string_view path) {
  const std::string_view base = BaseName(path);
  if (base.ends_with(kLineSuffix) && base.size() > kLineSuffix.size()) {
    return DescriptionKind::kLine;
  }
  if (base.ends_with(kTrainSuffix) && base.size() > kTrainSuffix.size()) {
    return DescriptionKind::kTrain;
  }
  return DescriptionKind::kNone;
}

std::string LineFileForTrain(std::string_view train_path,
                             const OpenBuffers& buffers, FileSystem& fs) {
  const std::string_view base = BaseName(train_path);
  if (!base.ends_with(kTrainSuffix)) return "";
  const std::string_view stem =
      base.substr(0, base.size() - kTrainSuffix.size());
  for (std::size_t cut = stem.rfind('_');
       cut != std::string_view::npos && cut > 0;
       cut = stem.rfind('_', cut - 1)) {
    std::string candidate = std::string(Folder(train_path)) +
                            std::string(stem.substr(0, cut)) +
                            std::string(kLineSuffix);
    if (buffers.count(candidate) != 0 ||
        fs.Stat(candidate).kind != FileKind::kMissing) {
      return candidate;
    }
  }
  return "";
}

DescriptionCheck CheckDescription(const std::string& path, DescriptionKind kind,
                                  const OpenBuffers& buffers, FileSystem& fs) {
  DescriptionCheck check;
  check.scenario = std::make_unique<Scenario>();
  OpenBuffers extra;
  std::string train_file;
  if (kind == DescriptionKind::kTrain) {
    check.train_path = path;
    check.line_path = LineFileForTrain(path, buffers, fs);
    if (check.line_path.empty()) {
      check.no_line_file = true;
      return check;
    }
    if (buffers.count(check.line_path) == 0) {
      // Read once, here, and handed to the compile from memory.
      std::string bytes;
      const Status read = ReadNormalFile(fs, check.line_path, &bytes);
      if (!read.ok()) {
        check.line_file_problem = LineFileProblem(fs, check.line_path, read);
        return check;
      }
      extra.emplace(check.line_path, std::move(bytes));
    }
    train_file = path;
  } else {
    check.line_path = path;
    // A name that no editor buffer and, in practice, no file has.
    train_file = std::string(Folder(path)) + "\n-.txt";
    extra.emplace(train_file, std::string(kEmptyTrain));
  }

  Scenario& s = *check.scenario;
  const std::string line_name = LineNameFromFile(check.line_path);
  s.line_name = NameBytes(line_name);
  s.train_name = NameBytes(TrainNameFromFile(train_file, line_name));
  CompileFiles files;
  files.line_description = check.line_path;
  files.train_description = train_file;
  files.delete_descriptions = false;
  files.write_outputs = false;
  EditorFileSystem editor(buffers, std::move(extra), fs);
  // With the grid, so that curves are read and checked as compile reads
  // them.
  check.warnings = CompileAndLint(s, 1, editor, files).warnings;
  check.diagnostics = s.errors.diagnostics;
  return check;
}

}  // namespace scenario
