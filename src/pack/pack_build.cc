#include "pack/pack_build.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "base/content_digest.h"
#include "base/strings.h"
#include "base/windows1252.h"
#include "compile/compile_stage.h"
#include "lint/lint.h"
#include "model/scenario.h"
#include "pack/build_record.h"
#include "pack/shared_line.h"
#include "tools/diagnostic_report.h"

namespace scenario {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The keys of the maps below: the folder of a path in the pack ("" for the
// pack's own), and the file name a build record files an entry under.
std::string FolderOf(std::string_view relative) {
  return std::string(PackFolderOf(relative));
}
std::string NameOf(std::string_view relative) {
  return std::string(BaseName(relative));
}

// The build record of an output folder ("" for the output folder itself).
std::string RecordPath(const std::string& output, std::string_view folder) {
  return PackPath(output, JoinPath(folder, kBuildRecordName));
}

// Fills the row from the compile of its pair: the codes from the
// diagnostics the compile recorded in s, the warnings from the lint's
// findings, the files and the end from the compile's result. line_file and
// train_file are the descriptions' paths, for the first diagnostic.
void FillRow(const Scenario& s, const LintReport& report,
             const std::string& line_file, const std::string& train_file,
             ScenarioRow* row) {
  const CompileResult& result = report.result;
  for (const Diagnostic& d : s.errors.diagnostics) row->codes.push_back(d.code);
  if (!s.errors.diagnostics.empty()) {
    const Diagnostic& first = s.errors.diagnostics.front();
    row->first_diagnostic = FormatDiagnostic(
        first, s.param_table,
        first.code == kCodeKilometreRecord ? line_file : train_file);
  }
  row->warnings = static_cast<int>(report.warnings.size());
  row->written = result.written;
  row->state = result.end == CompileEnd::kWritten
                   ? ScenarioState::kBuilt
                   : ScenarioState::kNothingWritten;
  row->problem = CompileEndMessage(result);
}

// One line of the pack, shared by the threads that compile its trains.
struct LineWork {
  const PackLine* line = nullptr;
  std::string input;  // the description's path
  std::string grid;   // the grid file's path
  // Decided before any thread starts: the grid file is as the record left
  // it, made from the line whose digest is grid_from.
  bool grid_as_recorded = false;
  std::uint64_t grid_from = 0;

  // Read by the first of its trains to run; the others wait for it.
  std::once_flag read_once;
  // The digest of the description, read just before the compile read it.
  std::optional<std::uint64_t> digest;
  std::unique_ptr<const SharedLine> shared;
  // Written by the first of its trains to reach its writing, unless it is
  // as recorded and made from the line as it was read.
  std::once_flag grid_once;
  Status grid_status;
  bool grid_written = false;
  // Trains still to compile; the last one frees the line.
  std::atomic<int> remaining = 0;
};

struct Task {
  const PackPair* pair = nullptr;
  LineWork* line = nullptr;
  std::size_t row = 0;
  // The digest of the train description, as the readability check read it
  // just before the compile read it.
  std::optional<std::uint64_t> train_digest;
};

// An output folder: whether it could be made, what the build left in it,
// and what it changes there.
struct FolderRecord {
  Status made;  // not ok: nothing of its pairs is compiled
  BuildRecord before;
  std::vector<const Task*> tasks;
  std::vector<const LineWork*> lines;
};

class PackBuilder {
 public:
  PackBuilder(const PackPlan& plan, const PackOptions& options, FileSystem& fs,
              PackObserver* observer)
      : plan_(plan), options_(options), fs_(fs), observer_(observer) {}

  PackOutcome Run();

 private:
  // Before any thread starts.
  void AddReportedTrains();
  void MakeLines();
  void OpenFolders();
  std::vector<std::size_t> CheckPairs();
  bool IsPairUpToDate(const PackPair& pair, const ScenarioRecord& recorded);
  OutputNow OutputAsItStands(const std::string& path);
  std::optional<std::uint64_t> DigestOnce(const std::string& path);
  void MakeTasks(const std::vector<std::size_t>& pending);
  void CheckGrids();
  // On the compiling threads.
  void Work();
  void Compile(Task& task);
  void ReadLineOnce(LineWork& line);
  SharedLine::GridWriter GridWriterFor(LineWork& line);
  void Notify(const ScenarioRow* finished, const std::string& started);
  // Once every thread is done.
  void UpdateRecords();
  void UpdateRecord(const std::string& folder, const FolderRecord& work);
  void RecordGrids(const FolderRecord& work, BuildRecord* record);
  std::optional<ScenarioRecord> RecordOf(const Task& task);

  const PackPlan& plan_;
  const PackOptions& options_;
  FileSystem& fs_;
  PackObserver* observer_;

  PackOutcome outcome_;
  std::vector<std::unique_ptr<LineWork>> lines_;
  std::vector<Task> tasks_;
  std::map<std::string, FolderRecord> folders_;  // by relative folder
  // The digests of the files read so far, by path: while the pairs are
  // checked, then again from the start once every thread is done.
  std::map<std::string, std::optional<std::uint64_t>> digests_;
  std::atomic<std::size_t> next_task_ = 0;
  std::mutex notify_mutex_;
  int done_ = 0;
};

PackOutcome PackBuilder::Run() {
  const Clock::time_point start = Clock::now();
  AddReportedTrains();
  MakeLines();
  OpenFolders();
  MakeTasks(CheckPairs());
  CheckGrids();
  const std::size_t threads = std::min<std::size_t>(
      static_cast<std::size_t>(std::max(options_.jobs, 1)), tasks_.size());
  if (threads <= 1) {
    Work();
  } else {
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < threads; ++i) {
      workers.emplace_back([this] { Work(); });
    }
    for (std::thread& worker : workers) worker.join();
  }
  UpdateRecords();
  for (const auto& line : lines_) {
    if (line->grid_written) ++outcome_.grids_written;
  }
  outcome_.seconds = SecondsSince(start);
  return std::move(outcome_);
}

void PackBuilder::AddReportedTrains() {
  for (const PackReport& report : plan_.reports) {
    if (!report.train) continue;
    ScenarioRow row;
    row.scenario = report.scenario;
    row.train_file = report.file;
    row.state = ScenarioState::kNotBuilt;
    row.problem = report.message;
    outcome_.rows.push_back(std::move(row));
  }
}

void PackBuilder::MakeLines() {
  for (const PackLine& line : plan_.lines) {
    auto work = std::make_unique<LineWork>();
    work->line = &line;
    work->input = PackPath(options_.pack, line.file);
    work->grid = PackPath(options_.output, line.grid);
    lines_.push_back(std::move(work));
  }
}

// The output folders, made before any thread writes, and what the last
// build left in each.
void PackBuilder::OpenFolders() {
  for (const PackPair& pair : plan_.pairs) {
    const std::string folder = FolderOf(pair.param_file);
    if (folders_.count(folder) != 0) continue;
    FolderRecord& record = folders_[folder];
    record.made = fs_.CreateFolders(PackPath(options_.output, folder));
    if (!record.made.ok()) {
      outcome_.troubles.push_back(record.made.message());
      continue;
    }
    // What builds killed while writing left (never a running build's).
    RemoveStaleTemporaries(fs_, PackPath(options_.output, folder));
    std::string text;
    const std::string record_path = RecordPath(options_.output, folder);
    if (!options_.force && fs_.IsNormalFile(record_path) &&
        fs_.ReadFile(record_path, &text).ok()) {
      record.before = ParseBuildRecord(text, options_.version);
    }
  }
}

// A row for every pair; returns the pairs to compile (into plan_.pairs).
std::vector<std::size_t> PackBuilder::CheckPairs() {
  std::vector<std::size_t> pending;
  for (std::size_t i = 0; i < plan_.pairs.size(); ++i) {
    const PackPair& pair = plan_.pairs[i];
    ScenarioRow row;
    row.scenario = pair.scenario;
    row.train_file = pair.train_file;
    const FolderRecord& folder = folders_[FolderOf(pair.param_file)];
    auto recorded = folder.before.scenarios.find(NameOf(pair.train_file));
    if (!folder.made.ok()) {
      row.state = ScenarioState::kNotBuilt;
      row.problem = folder.made.message();
    } else if (!options_.force && recorded != folder.before.scenarios.end() &&
               IsPairUpToDate(pair, recorded->second)) {
      row.state = ScenarioState::kUpToDate;
      row.codes = recorded->second.codes;
      row.first_diagnostic = recorded->second.first_diagnostic;
      row.warnings = recorded->second.warnings;
    } else {
      pending.push_back(i);
    }
    outcome_.rows.push_back(std::move(row));
  }
  return pending;
}

bool PackBuilder::IsPairUpToDate(const PackPair& pair,
                                 const ScenarioRecord& recorded) {
  const LineWork& line = *lines_[pair.line];
  const std::optional<std::uint64_t> line_digest = DigestOnce(line.input);
  const std::optional<std::uint64_t> train_digest =
      DigestOnce(PackPath(options_.pack, pair.train_file));
  if (!line_digest || !train_digest) return false;
  std::map<std::string, OutputNow> outputs;
  if (options_.grid) {
    outputs[NameOf(line.line->grid)] = OutputAsItStands(line.grid);
  }
  outputs[NameOf(pair.param_file)] =
      OutputAsItStands(PackPath(options_.output, pair.param_file));
  outputs[NameOf(pair.cell_file)] =
      OutputAsItStands(PackPath(options_.output, pair.cell_file));
  return IsUpToDate(recorded, options_.grid, *line_digest, *train_digest,
                    outputs);
}

OutputNow PackBuilder::OutputAsItStands(const std::string& path) {
  return OutputNow{StampFile(fs_, path),
                   [this, path] { return DigestOnce(path); }};
}

// Not thread-safe: called before the threads start and after they end.
std::optional<std::uint64_t> PackBuilder::DigestOnce(const std::string& path) {
  auto known = digests_.find(path);
  if (known != digests_.end()) return known->second;
  return digests_[path] = DigestFile(fs_, path);
}

// Rows in file order, and a task for each pair to compile.
void PackBuilder::MakeTasks(const std::vector<std::size_t>& pending) {
  std::sort(outcome_.rows.begin(), outcome_.rows.end(),
            [](const ScenarioRow& a, const ScenarioRow& b) {
              return a.train_file < b.train_file;
            });
  std::map<std::string, std::size_t> row_of;
  for (std::size_t r = 0; r < outcome_.rows.size(); ++r) {
    row_of[outcome_.rows[r].train_file] = r;
  }
  // Tasks in the plan's order keep each line's trains together, so that a
  // line is freed soon after its first train.
  for (std::size_t i : pending) {
    const PackPair& pair = plan_.pairs[i];
    LineWork* line = lines_[pair.line].get();
    Task task;
    task.pair = &pair;
    task.line = line;
    task.row = row_of[pair.train_file];
    tasks_.push_back(task);
    ++line->remaining;
  }
  for (const Task& task : tasks_) {
    folders_[FolderOf(task.pair->param_file)].tasks.push_back(&task);
  }
}

// Which grids of the lines to compile are as the last build wrote them.
void PackBuilder::CheckGrids() {
  for (const auto& line : lines_) {
    if (line->remaining == 0 || !options_.grid) continue;
    FolderRecord& folder = folders_[FolderOf(line->line->grid)];
    folder.lines.push_back(line.get());
    auto recorded = folder.before.grids.find(NameOf(line->line->grid));
    if (options_.force || recorded == folder.before.grids.end()) continue;
    line->grid_as_recorded =
        IsUnchanged(recorded->second.grid, OutputAsItStands(line->grid));
    line->grid_from = recorded->second.line;
  }
}

void PackBuilder::Work() {
  for (;;) {
    const std::size_t i = next_task_++;
    if (i >= tasks_.size()) return;
    Compile(tasks_[i]);
  }
}

void PackBuilder::Compile(Task& task) {
  const Clock::time_point start = Clock::now();
  ScenarioRow& row = outcome_.rows[task.row];
  Notify(nullptr, row.scenario);
  LineWork& line = *task.line;
  const PackPair& pair = *task.pair;

  CompileFiles files;
  files.train_description = PackPath(options_.pack, pair.train_file);
  files.grid_file = line.grid;
  files.param_file = PackPath(options_.output, pair.param_file);
  files.cell_file = PackPath(options_.output, pair.cell_file);

  // A train that cannot be read is not compiled at all: the compile would
  // take it for an empty train and replace the scenario's good files with
  // those of the line alone.
  std::string train_bytes;
  if (const Status readable =
          ReadNormalFile(fs_, files.train_description, &train_bytes);
      !readable.ok()) {
    row.state = ScenarioState::kNotBuilt;
    row.problem = readable.message() + "; its files are kept as they were";
  } else {
    task.train_digest = ContentDigest(train_bytes);
    ReadLineOnce(line);
    Scenario s;
    const LintReport report = line.shared->CompileAndLintTrain(
        Utf8ToWindows1252(pair.train_name).value_or(""), fs_, files,
        GridWriterFor(line), &s);
    FillRow(s, report, line.input, files.train_description, &row);
  }
  row.seconds = SecondsSince(start);

  // The last train over the line frees its state and grid.
  if (--line.remaining == 0) line.shared.reset();
  Notify(&row, "");
}

void PackBuilder::ReadLineOnce(LineWork& line) {
  std::call_once(line.read_once, [&] {
    line.digest = DigestFile(fs_, line.input);
    // The plan checked the names: they have Windows-1252 bytes.
    line.shared = std::make_unique<const SharedLine>(
        Utf8ToWindows1252(line.line->name).value_or(""), options_.grid ? 1 : 0,
        fs_, line.input);
  });
}

// The first of the line's trains to reach its writing writes the grid,
// unless the one there is as recorded and made from the line as it was
// read (which the check before the threads could not know: the line may
// have changed since); the others find it done.
SharedLine::GridWriter PackBuilder::GridWriterFor(LineWork& line) {
  return [this, &line](bool* wrote) {
    *wrote = false;
    std::call_once(line.grid_once, [&] {
      if (line.grid_as_recorded && line.digest == line.grid_from) return;
      line.grid_status = line.shared->WriteGrid(fs_, line.grid);
      line.grid_written = line.grid_status.ok();
      *wrote = line.grid_written;
    });
    return line.grid_status;
  };
}

void PackBuilder::Notify(const ScenarioRow* finished,
                         const std::string& started) {
  std::lock_guard<std::mutex> lock(notify_mutex_);
  if (finished != nullptr) ++done_;
  if (observer_ == nullptr) return;
  if (finished != nullptr) {
    observer_->Finished(*finished, done_, static_cast<int>(tasks_.size()));
  } else {
    observer_->Started(started, done_, static_cast<int>(tasks_.size()));
  }
}

void PackBuilder::UpdateRecords() {
  // The outputs were written since the check read them.
  digests_.clear();
  for (const auto& [folder, work] : folders_) {
    if (!work.tasks.empty()) UpdateRecord(folder, work);
  }
}

void PackBuilder::UpdateRecord(const std::string& folder,
                               const FolderRecord& work) {
  const std::string record_path = RecordPath(options_.output, folder);
  // Read again: another build may have written it meanwhile. Entries only
  // ever describe files as they stand, so keeping theirs is safe.
  std::string text;
  BuildRecord record;
  if (fs_.IsNormalFile(record_path) && fs_.ReadFile(record_path, &text).ok()) {
    record = ParseBuildRecord(text, options_.version);
  }
  RecordGrids(work, &record);
  for (const Task* task : work.tasks) {
    const std::string name = NameOf(task->pair->train_file);
    record.scenarios.erase(name);
    std::optional<ScenarioRecord> entry = RecordOf(*task);
    if (entry) record.scenarios[name] = std::move(*entry);
  }
  Status status = fs_.WriteFileReplacing(
      record_path, SerializeBuildRecord(record, options_.version));
  if (!status.ok()) outcome_.troubles.push_back(status.message());
}

void PackBuilder::RecordGrids(const FolderRecord& work, BuildRecord* record) {
  for (const LineWork* line : work.lines) {
    const std::string name = NameOf(line->line->grid);
    if (line->grid_written && line->digest) {
      // The stamp before the digest: were the file replaced in between (by
      // another build), the stamp recorded would not be the new file's, and
      // the next build would write it again rather than trust the digest.
      const std::optional<FileStamp> grid = StampFile(fs_, line->grid);
      const std::optional<std::uint64_t> digest = DigestOnce(line->grid);
      if (grid && digest) {
        record->grids[name] = GridRecord{*line->digest, {*grid, *digest}};
        continue;
      }
    }
    // An entry stays only for a file that stands as the check found it:
    // as recorded, and not written since.
    if (line->grid_written || !line->grid_as_recorded) {
      record->grids.erase(name);
    }
  }
}

// The record of a compiled pair, when it was built and every output it
// wrote stands; nullopt otherwise (it is compiled again next time).
std::optional<ScenarioRecord> PackBuilder::RecordOf(const Task& task) {
  const ScenarioRow& row = outcome_.rows[task.row];
  if (row.state != ScenarioState::kBuilt || !task.line->digest ||
      !task.train_digest) {
    return std::nullopt;
  }
  ScenarioRecord entry;
  entry.line = *task.line->digest;
  entry.train = *task.train_digest;
  entry.grid = options_.grid;
  std::vector<std::string> outputs = {task.pair->param_file,
                                      task.pair->cell_file};
  if (options_.grid) outputs.push_back(task.line->line->grid);
  for (const std::string& output : outputs) {
    // The stamp before the digest, as for the grid.
    const std::string path = PackPath(options_.output, output);
    const std::optional<FileStamp> stamp = StampFile(fs_, path);
    const std::optional<std::uint64_t> digest = DigestOnce(path);
    if (!stamp || !digest) return std::nullopt;
    entry.outputs[NameOf(output)] = OutputRecord{*stamp, *digest};
  }
  entry.codes = row.codes;
  entry.first_diagnostic = row.first_diagnostic;
  entry.warnings = row.warnings.value_or(0);
  return entry;
}

}  // namespace

PackOutcome BuildPack(const PackPlan& plan, const PackOptions& options,
                      FileSystem& fs, PackObserver* observer) {
  return PackBuilder(plan, options, fs, observer).Run();
}

}  // namespace scenario
