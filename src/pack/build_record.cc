#include "pack/build_record.h"

#include <charconv>
#include <limits>
#include <nlohmann/json.hpp>

#include "base/content_digest.h"
#include "base/file_system.h"

namespace scenario {
namespace {

using nlohmann::json;

// The record's layout. In files: raise it whenever the layout or the
// meaning of an entry changes, so that a record of the old layout reads as
// empty. The first layout had no such key and stamped the descriptions
// instead of digesting them.
constexpr int kRecordLayout = 2;

// A digest as 16 hex digits: a JSON number that large would lose its low
// bits in many readers.
std::string DigestText(std::uint64_t digest) {
  char text[16];
  for (int i = 15; i >= 0; --i) {
    text[i] = "0123456789abcdef"[digest & 0xf];
    digest >>= 4;
  }
  return std::string(text, sizeof text);
}

bool ReadDigest(const json& j, std::uint64_t* digest) {
  if (!j.is_string()) return false;
  const std::string& text = j.get_ref<const std::string&>();
  if (text.size() != 16) return false;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), *digest, 16);
  return error == std::errc() && end == text.data() + text.size();
}

json OutputJson(const OutputRecord& o) {
  return {{"size", o.stamp.size},
          {"mtime_ns", o.stamp.mtime_ns},
          {"inode", o.stamp.inode},
          {"digest", DigestText(o.digest)}};
}

// Every read checks the type first: the record may have been edited or cut
// short, and a mismatch must never throw.
bool ReadOutput(const json& j, OutputRecord* o) {
  if (!j.is_object()) return false;
  auto u = j.find("size");
  auto m = j.find("mtime_ns");
  auto i = j.find("inode");
  auto d = j.find("digest");
  if (u == j.end() || m == j.end() || i == j.end() || d == j.end() ||
      !u->is_number_unsigned() || !m->is_number_integer() ||
      !i->is_number_unsigned() || !ReadDigest(*d, &o->digest)) {
    return false;
  }
  o->stamp.size = u->get<std::uint64_t>();
  o->stamp.mtime_ns = m->get<std::int64_t>();
  o->stamp.inode = i->get<std::uint64_t>();
  return true;
}

bool ReadScenario(const json& j, ScenarioRecord* r) {
  if (!j.is_object()) return false;
  auto grid = j.find("grid");
  auto outputs = j.find("outputs");
  auto codes = j.find("codes");
  auto first = j.find("first_diagnostic");
  auto warnings = j.find("warning_count");
  auto line = j.find("line");
  auto train = j.find("train");
  if (grid == j.end() || !grid->is_boolean() || outputs == j.end() ||
      !outputs->is_object() || codes == j.end() || !codes->is_array() ||
      first == j.end() || !first->is_string() || warnings == j.end() ||
      !warnings->is_number_unsigned() ||
      warnings->get<std::uint64_t>() >
          static_cast<std::uint64_t>(std::numeric_limits<int>::max()) ||
      line == j.end() || train == j.end() || !ReadDigest(*line, &r->line) ||
      !ReadDigest(*train, &r->train)) {
    return false;
  }
  r->grid = grid->get<bool>();
  for (const auto& [name, output] : outputs->items()) {
    if (!ReadOutput(output, &r->outputs[name])) return false;
  }
  for (const json& code : *codes) {
    if (!code.is_number_integer() ||
        code.get<std::int64_t>() < std::numeric_limits<std::int32_t>::min() ||
        code.get<std::int64_t>() > std::numeric_limits<std::int32_t>::max()) {
      return false;
    }
    r->codes.push_back(static_cast<std::int32_t>(code.get<std::int64_t>()));
  }
  r->first_diagnostic = first->get<std::string>();
  r->warnings = static_cast<int>(warnings->get<std::uint64_t>());
  return true;
}

bool ReadGrid(const json& j, GridRecord* g) {
  if (!j.is_object()) return false;
  auto line = j.find("line");
  auto grid = j.find("grid");
  return line != j.end() && grid != j.end() && ReadDigest(*line, &g->line) &&
         ReadOutput(*grid, &g->grid);
}

// True when doc is a record of this version in this layout.
bool IsOurs(const json& doc, std::string_view version) {
  if (!doc.is_object()) return false;
  auto program = doc.find("program");
  auto layout = doc.find("layout");
  return program != doc.end() && program->is_string() &&
         program->get_ref<const std::string&>() == version &&
         layout != doc.end() && layout->is_number_integer() &&
         layout->get<std::int64_t>() == kRecordLayout;
}

}  // namespace

std::optional<FileStamp> StampFile(FileSystem& fs, const std::string& path) {
  const FileInfo info = fs.Stat(path);
  if (info.kind != FileKind::kNormal) return std::nullopt;
  return FileStamp{info.size, info.mtime_ns, info.inode};
}

std::optional<std::uint64_t> DigestFile(FileSystem& fs,
                                        const std::string& path) {
  std::string bytes;
  if (!ReadNormalFile(fs, path, &bytes).ok()) return std::nullopt;
  return ContentDigest(bytes);
}

BuildRecord ParseBuildRecord(std::string_view text, std::string_view version) {
  BuildRecord record;
  const json doc = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!IsOurs(doc, version)) return record;
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
      if (ReadGrid(entry, &g)) record.grids[name] = g;
    }
  }
  return record;
}

std::string SerializeBuildRecord(const BuildRecord& record,
                                 std::string_view version) {
  json scenarios = json::object();
  for (const auto& [name, r] : record.scenarios) {
    json outputs = json::object();
    for (const auto& [output, o] : r.outputs) outputs[output] = OutputJson(o);
    scenarios[name] = {{"line", DigestText(r.line)},
                       {"train", DigestText(r.train)},
                       {"grid", r.grid},
                       {"outputs", outputs},
                       {"codes", r.codes},
                       {"first_diagnostic", r.first_diagnostic},
                       {"warning_count", r.warnings}};
  }
  json grids = json::object();
  for (const auto& [name, g] : record.grids) {
    grids[name] = {{"line", DigestText(g.line)}, {"grid", OutputJson(g.grid)}};
  }
  const json doc = {{"program", std::string(version)},
                    {"layout", kRecordLayout},
                    {"scenarios", scenarios},
                    {"grids", grids}};
  // Names are UTF-8 file names; a byte that is not becomes U+FFFD and the
  // entry simply never matches.
  return doc.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
}

bool IsUnchanged(const OutputRecord& record, const OutputNow& now) {
  if (!now.stamp || *now.stamp != record.stamp) return false;
  const std::optional<std::uint64_t> digest = now.digest();
  return digest && *digest == record.digest;
}

bool IsUpToDate(const ScenarioRecord& record, bool grid, std::uint64_t line,
                std::uint64_t train,
                const std::map<std::string, OutputNow>& outputs) {
  if (record.grid != grid || record.line != line || record.train != train ||
      record.outputs.size() != outputs.size()) {
    return false;
  }
  // Every stamp first: a file that moved is not read, nor any other.
  for (const auto& [name, now] : outputs) {
    auto then = record.outputs.find(name);
    if (then == record.outputs.end() || !now.stamp ||
        *now.stamp != then->second.stamp) {
      return false;
    }
  }
  for (const auto& [name, now] : outputs) {
    if (!IsUnchanged(record.outputs.at(name), now)) return false;
  }
  return true;
}

}  // namespace scenario
