#include "pack/build_record.h"

#include <limits>
#include <nlohmann/json.hpp>

#include "base/file_system.h"

namespace scenario {
namespace {

using nlohmann::json;

json StampJson(const FileStamp& s) {
  return {{"size", s.size}, {"mtime_ns", s.mtime_ns}, {"inode", s.inode}};
}

// Every read checks the type first: the record may have been edited or cut
// short, and a mismatch must never throw.
bool ReadStamp(const json& j, FileStamp* s) {
  if (!j.is_object()) return false;
  auto u = j.find("size");
  auto m = j.find("mtime_ns");
  auto i = j.find("inode");
  if (u == j.end() || m == j.end() || i == j.end() ||
      !u->is_number_unsigned() || !m->is_number_integer() ||
      !i->is_number_unsigned()) {
    return false;
  }
  s->size = u->get<std::uint64_t>();
  s->mtime_ns = m->get<std::int64_t>();
  s->inode = i->get<std::uint64_t>();
  return true;
}

// The key of the warning count. Records written before warnings were
// counted hold a "warnings" key that is always 0; their entries lack this
// one, so they are not read and the scenario is compiled again rather than
// shown without its warnings.
constexpr const char* kWarningCount = "warning_count";

bool ReadScenario(const json& j, ScenarioRecord* r) {
  if (!j.is_object()) return false;
  auto grid = j.find("grid");
  auto outputs = j.find("outputs");
  auto codes = j.find("codes");
  auto first = j.find("first_diagnostic");
  auto warnings = j.find(kWarningCount);
  auto line = j.find("line");
  auto train = j.find("train");
  if (grid == j.end() || !grid->is_boolean() || outputs == j.end() ||
      !outputs->is_object() || codes == j.end() || !codes->is_array() ||
      first == j.end() || !first->is_string() || warnings == j.end() ||
      !warnings->is_number_unsigned() ||
      warnings->get<std::uint64_t>() >
          static_cast<std::uint64_t>(std::numeric_limits<int>::max()) ||
      line == j.end() || train == j.end() || !ReadStamp(*line, &r->line) ||
      !ReadStamp(*train, &r->train)) {
    return false;
  }
  r->grid = grid->get<bool>();
  for (const auto& [name, stamp] : outputs->items()) {
    if (!ReadStamp(stamp, &r->outputs[name])) return false;
  }
  for (const json& code : *codes) {
    if (!code.is_number_integer()) return false;
    r->codes.push_back(code.get<std::int32_t>());
  }
  r->first_diagnostic = first->get<std::string>();
  r->warnings = warnings->get<int>();
  return true;
}

}  // namespace

std::optional<FileStamp> StampFile(FileSystem& fs, const std::string& path) {
  const FileInfo info = fs.Stat(path);
  if (info.kind != FileKind::kNormal) return std::nullopt;
  return FileStamp{info.size, info.mtime_ns, info.inode};
}

BuildRecord ParseBuildRecord(std::string_view text, std::string_view version) {
  BuildRecord record;
  const json doc = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!doc.is_object()) return record;
  auto program = doc.find("program");
  if (program == doc.end() || !program->is_string() ||
      program->get<std::string>() != version) {
    return record;
  }
  auto scenarios = doc.find("scenarios");
  if (scenarios != doc.end() && scenarios->is_object()) {
    for (const auto& [name, entry] : scenarios->items()) {
      ScenarioRecord r;
      if (ReadScenario(entry, &r)) record.scenarios[name] = std::move(r);
    }
  }
  auto grids = doc.find("grids");
  if (grids != doc.end() && grids->is_object()) {
    for (const auto& [name, entry] : grids->items()) {
      GridRecord g;
      if (entry.is_object() && entry.contains("line") &&
          entry.contains("grid") && ReadStamp(entry["line"], &g.line) &&
          ReadStamp(entry["grid"], &g.grid)) {
        record.grids[name] = g;
      }
    }
  }
  return record;
}

std::string SerializeBuildRecord(const BuildRecord& record,
                                 std::string_view version) {
  json scenarios = json::object();
  for (const auto& [name, r] : record.scenarios) {
    json outputs = json::object();
    for (const auto& [output, stamp] : r.outputs) {
      outputs[output] = StampJson(stamp);
    }
    scenarios[name] = {{"line", StampJson(r.line)},
                       {"train", StampJson(r.train)},
                       {"grid", r.grid},
                       {"outputs", outputs},
                       {"codes", r.codes},
                       {"first_diagnostic", r.first_diagnostic},
                       {kWarningCount, r.warnings}};
  }
  json grids = json::object();
  for (const auto& [name, g] : record.grids) {
    grids[name] = {{"line", StampJson(g.line)}, {"grid", StampJson(g.grid)}};
  }
  const json doc = {{"program", std::string(version)},
                    {"scenarios", scenarios},
                    {"grids", grids}};
  // Names are UTF-8 file names; a byte that is not becomes U+FFFD and the
  // entry simply never matches.
  return doc.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
}

bool IsUpToDate(
    const ScenarioRecord& record, bool grid, const FileStamp& line,
    const FileStamp& train,
    const std::map<std::string, std::optional<FileStamp>>& outputs) {
  if (record.grid != grid || record.line != line || record.train != train ||
      record.outputs.size() != outputs.size()) {
    return false;
  }
  for (const auto& [name, now] : outputs) {
    auto then = record.outputs.find(name);
    if (!now || then == record.outputs.end() || then->second != *now) {
      return false;
    }
    // A description as new as an output may have changed after it was
    // read: only strictly older ones count.
    if (line.mtime_ns >= now->mtime_ns || train.mtime_ns >= now->mtime_ns) {
      return false;
    }
  }
  return true;
}

bool IsUpToDate(const GridRecord& record, const FileStamp& line,
                const std::optional<FileStamp>& grid) {
  return grid && record.line == line && record.grid == *grid &&
         line.mtime_ns < grid->mtime_ns;
}

}  // namespace scenario
