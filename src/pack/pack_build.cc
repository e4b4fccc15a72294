#include "pack/pack_build.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

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

// folder is "" for the root, as ApplicationPath gives it.
std::string Join(const std::string& folder, const std::string& relative) {
  return folder + "/" + relative;
}

std::string FolderOf(const std::string& relative) {
  const std::size_t slash = relative.rfind('/');
  return slash == std::string::npos ? "" : relative.substr(0, slash);
}

// The build record of an output folder ("" for the output folder itself).
std::string RecordPath(const std::string& output, const std::string& folder) {
  return Join(output, folder.empty()
                          ? std::string(kBuildRecordName)
                          : folder + "/" + std::string(kBuildRecordName));
}

std::string BaseOf(const std::string& relative) {
  const std::size_t slash = relative.rfind('/');
  return slash == std::string::npos ? relative : relative.substr(slash + 1);
}

// One line of the pack, shared by the threads that compile its trains.
struct LineWork {
  const PackLine* line = nullptr;
  std::string input;             // the description's path
  std::string grid;              // the grid file's path
  bool grid_up_to_date = false;  // decided before any thread starts

  // Read by the first of its trains to run; the others wait for it.
  std::once_flag read_once;
  std::optional<FileStamp> stamp;  // the description, before it was read
  std::unique_ptr<const SharedLine> shared;
  // Written by the first of its trains to reach its writing.
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
  std::optional<FileStamp> train_stamp;  // before it was read
};

// What the build left in one output folder, and what it changes there.
struct FolderRecord {
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
  void Prepare();
  void Compile(Task& task);
  void Work();
  void UpdateRecords();
  void Notify(const ScenarioRow* finished, const std::string& started);

  const PackPlan& plan_;
  const PackOptions& options_;
  FileSystem& fs_;
  PackObserver* observer_;

  PackOutcome outcome_;
  std::vector<std::unique_ptr<LineWork>> lines_;
  std::vector<Task> tasks_;
  std::map<std::string, FolderRecord> folders_;  // by relative folder
  std::atomic<std::size_t> next_task_ = 0;
  std::mutex notify_mutex_;
  int done_ = 0;
};

PackOutcome PackBuilder::Run() {
  const Clock::time_point start = Clock::now();
  Prepare();
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

void PackBuilder::Prepare() {
  for (const PackReport& report : plan_.reports) {
    if (!report.train) continue;
    ScenarioRow row;
    row.scenario = report.scenario;
    row.train_file = report.file;
    row.state = ScenarioState::kNotBuilt;
    row.problem = report.message;
    outcome_.rows.push_back(std::move(row));
  }
  for (const PackLine& line : plan_.lines) {
    auto work = std::make_unique<LineWork>();
    work->line = &line;
    work->input = Join(options_.pack, line.file);
    work->grid = Join(options_.output, line.grid);
    lines_.push_back(std::move(work));
  }

  // The output folders, made before any thread writes, and what the last
  // build left in each.
  for (const PackPair& pair : plan_.pairs) {
    const std::string folder = FolderOf(pair.param_file);
    if (folders_.count(folder) != 0) continue;
    FolderRecord& record = folders_[folder];
    const std::string path = options_.output + "/" + folder;
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) {
      outcome_.troubles.push_back("cannot create the folder \"" + path +
                                  "\": " + ec.message());
    }
    std::string text;
    const std::string record_path = RecordPath(options_.output, folder);
    if (!options_.force && fs_.IsNormalFile(record_path) &&
        fs_.ReadFile(record_path, &text).ok()) {
      record.before = ParseBuildRecord(text, options_.version);
    }
  }

  std::vector<std::size_t> pending;  // into plan_.pairs
  for (std::size_t i = 0; i < plan_.pairs.size(); ++i) {
    const PackPair& pair = plan_.pairs[i];
    const LineWork& line = *lines_[pair.line];
    ScenarioRow row;
    row.scenario = pair.scenario;
    row.train_file = pair.train_file;
    const FolderRecord& folder = folders_[FolderOf(pair.param_file)];
    auto recorded = folder.before.scenarios.find(BaseOf(pair.train_file));
    const std::optional<FileStamp> line_stamp = StampFile(line.input);
    const std::optional<FileStamp> train_stamp =
        StampFile(Join(options_.pack, pair.train_file));
    bool up_to_date = false;
    if (!options_.force && recorded != folder.before.scenarios.end() &&
        line_stamp && train_stamp) {
      std::map<std::string, std::optional<FileStamp>> outputs;
      if (options_.grid)
        outputs[BaseOf(line.line->grid)] = StampFile(line.grid);
      outputs[BaseOf(pair.param_file)] =
          StampFile(Join(options_.output, pair.param_file));
      outputs[BaseOf(pair.cell_file)] =
          StampFile(Join(options_.output, pair.cell_file));
      up_to_date = IsUpToDate(recorded->second, options_.grid, *line_stamp,
                              *train_stamp, outputs);
    }
    if (up_to_date) {
      row.state = ScenarioState::kUpToDate;
      row.codes = recorded->second.codes;
      row.first_diagnostic = recorded->second.first_diagnostic;
      row.warnings = recorded->second.warnings;
      outcome_.rows.push_back(std::move(row));
      continue;
    }
    outcome_.rows.push_back(std::move(row));
    pending.push_back(i);
  }

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
  for (const auto& line : lines_) {
    if (line->remaining == 0 || !options_.grid) continue;
    folders_[FolderOf(line->line->grid)].lines.push_back(line.get());
    const FolderRecord& folder = folders_[FolderOf(line->line->grid)];
    auto recorded = folder.before.grids.find(BaseOf(line->line->grid));
    const std::optional<FileStamp> stamp = StampFile(line->input);
    line->grid_up_to_date =
        !options_.force && stamp && recorded != folder.before.grids.end() &&
        IsUpToDate(recorded->second, *stamp, StampFile(line->grid));
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

  std::call_once(line.read_once, [&] {
    line.stamp = StampFile(line.input);
    // The plan checked the names: they have Windows-1252 bytes.
    line.shared = std::make_unique<const SharedLine>(
        Utf8ToWindows1252(line.line->name).value_or(""), options_.grid ? 1 : 0,
        fs_, line.input);
  });

  CompileFiles files;
  files.train_description = Join(options_.pack, pair.train_file);
  files.grid_file = line.grid;
  files.param_file = Join(options_.output, pair.param_file);
  files.cell_file = Join(options_.output, pair.cell_file);
  task.train_stamp = StampFile(files.train_description);

  const SharedLine& shared = *line.shared;
  const SharedLine::GridWriter write_grid = [&](bool* wrote) {
    *wrote = false;
    std::call_once(line.grid_once, [&] {
      if (line.grid_up_to_date) return;
      line.grid_status = shared.WriteGrid(fs_, line.grid);
      line.grid_written = line.grid_status.ok();
      *wrote = line.grid_written;
    });
    return line.grid_status;
  };
  Scenario s;
  const LintReport report = shared.CompileAndLintTrain(
      Utf8ToWindows1252(pair.train_name).value_or(""), fs_, files, write_grid,
      &s);
  const CompileResult& result = report.result;

  for (const Diagnostic& d : s.errors.diagnostics) row.codes.push_back(d.code);
  if (!s.errors.diagnostics.empty()) {
    const Diagnostic& first = s.errors.diagnostics.front();
    row.first_diagnostic = FormatDiagnostic(first, s.param_table,
                                            first.code == kCodeKilometreRecord
                                                ? line.input
                                                : files.train_description);
  }
  row.warnings = static_cast<int>(report.warnings.size());
  row.written = result.written;
  row.state = result.end == CompileEnd::kWritten
                  ? ScenarioState::kBuilt
                  : ScenarioState::kNothingWritten;
  row.problem = CompileEndMessage(result);
  row.seconds = SecondsSince(start);

  // The last train over the line frees its state and grid.
  if (--line.remaining == 0) line.shared.reset();
  Notify(&row, "");
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
  for (const auto& [folder, work] : folders_) {
    if (work.tasks.empty()) continue;
    const std::string record_path = RecordPath(options_.output, folder);
    // Read again: another build may have written it meanwhile. Entries
    // only ever describe files as they stand, so keeping theirs is safe.
    std::string text;
    BuildRecord record;
    if (fs_.IsNormalFile(record_path) &&
        fs_.ReadFile(record_path, &text).ok()) {
      record = ParseBuildRecord(text, options_.version);
    }
    for (const LineWork* line : work.lines) {
      const std::string name = BaseOf(line->line->grid);
      const std::optional<FileStamp> grid = StampFile(line->grid);
      if (line->grid_written && line->stamp && grid) {
        record.grids[name] = GridRecord{*line->stamp, *grid};
      } else if (!line->grid_up_to_date) {
        record.grids.erase(name);
      }
    }
    for (const Task* task : work.tasks) {
      const ScenarioRow& row = outcome_.rows[task->row];
      const std::string name = BaseOf(task->pair->train_file);
      record.scenarios.erase(name);
      if (row.state != ScenarioState::kBuilt || !task->line->stamp ||
          !task->train_stamp) {
        continue;
      }
      ScenarioRecord entry;
      entry.line = *task->line->stamp;
      entry.train = *task->train_stamp;
      entry.grid = options_.grid;
      std::vector<std::string> outputs = {task->pair->param_file,
                                          task->pair->cell_file};
      if (options_.grid) outputs.push_back(task->line->line->grid);
      bool complete = true;
      for (const std::string& output : outputs) {
        std::optional<FileStamp> stamp =
            StampFile(Join(options_.output, output));
        if (!stamp) complete = false;
        if (stamp) entry.outputs[BaseOf(output)] = *stamp;
      }
      if (!complete) continue;
      entry.codes = row.codes;
      entry.first_diagnostic = row.first_diagnostic;
      entry.warnings = row.warnings.value_or(0);
      record.scenarios[name] = std::move(entry);
    }
    Status status = fs_.WriteFileReplacing(
        record_path, SerializeBuildRecord(record, options_.version));
    if (!status.ok()) outcome_.troubles.push_back(status.message());
  }
}

}  // namespace

PackOutcome BuildPack(const PackPlan& plan, const PackOptions& options,
                      FileSystem& fs, PackObserver* observer) {
  return PackBuilder(plan, options, fs, observer).Run();
}

}  // namespace scenario
