#include "tools/round_trip_testing.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <utility>

#include "compile/random_pair_testing.h"
#include "model/cell_file.h"
#include "model/diagnostics.h"
#include "model/grid_file.h"
#include "model/param_file.h"
#include "tools/scenario_files.h"

namespace scenario {

namespace {

// The three files of a compile, in the order they are compared.
struct FileRole {
  const char* name;
  std::string InMemoryCompile::*bytes;
};
constexpr FileRole kRoles[] = {
    {".dat", &InMemoryCompile::cell_file},
    {".sim", &InMemoryCompile::param_file},
    {"_linea.dat", &InMemoryCompile::grid_file},
};

// The first offset where a and b differ; -1 when they are the same.
std::int64_t FirstDifference(const std::string& a, const std::string& b) {
  const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (ia == a.end() && ib == b.end()) return -1;
  return ia - a.begin();
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         text.substr(text.size() - end.size()) == end;
}

// The role of a file decompile names by its path or its role.
const FileRole* RoleOf(std::string_view file) {
  if (EndsWith(file, "_linea.dat")) return &kRoles[2];
  if (EndsWith(file, ".sim")) return &kRoles[1];
  if (EndsWith(file, ".dat")) return &kRoles[0];
  return nullptr;
}

bool Load(const InMemoryCompile& c, LoadedScenario* loaded) {
  return DecodeParamFile(c.param_file, &loaded->table) &&
         DecodeCellFile(c.cell_file, &loaded->cells) &&
         DecodeGridFile(c.grid_file, &loaded->grid);
}

// Compares the second compile with the first, and decompile's report with
// both.
void Compare(const InMemoryCompile& first, const InMemoryCompile& second,
             RoundTrip* trip) {
  trip->same_bytes = true;
  for (const FileRole& role : kRoles) {
    const std::int64_t at =
        FirstDifference(first.*role.bytes, second.*role.bytes);
    if (at < 0) continue;
    trip->same_bytes = false;
    trip->differing_file = role.name;
    trip->differing_offset = at;
    break;
  }
  const Decompiled& d = trip->decompiled;
  if (d.same_bytes != trip->same_bytes) {
    trip->report_problem =
        std::string("decompile says ") +
        (d.same_bytes ? "the same bytes" : "the bytes differ") +
        ", the second compile finds " +
        (trip->same_bytes ? "the same bytes" : "a difference");
    return;
  }
  if (d.same_bytes) return;
  const FileRole* role = RoleOf(d.difference.file);
  if (role == nullptr) {
    trip->report_problem =
        "decompile names no file of the scenario: '" + d.difference.file + "'";
    return;
  }
  const std::int64_t at =
      FirstDifference(first.*role->bytes, second.*role->bytes);
  if (at != d.difference.offset) {
    trip->report_problem = "decompile names offset " +
                           std::to_string(d.difference.offset) + " of " +
                           role->name + ", where the first difference is at " +
                           std::to_string(at);
  }
}

}  // namespace

void RunRoundTrip(std::string_view line_text, std::string_view train_text,
                  std::string_view line_name, std::string_view train_name,
                  RoundTrip* trip) {
  InMemoryCompile first;
  CompileInMemory(line_text, train_text, line_name, train_name, &first);
  trip->written = first.result.end == CompileEnd::kWritten;
  trip->clean = trip->written && first.scenario.errors.diagnostics.empty();
  if (!trip->written) return;
  LoadedScenario loaded;
  if (!Load(first, &loaded)) {
    trip->status = Status::Error("the compiled files do not decode");
    return;
  }
  trip->status = Decompile(loaded, &trip->decompiled);
  if (!trip->status.ok()) return;
  InMemoryCompile second;
  CompileInMemory(trip->decompiled.line_text, trip->decompiled.train_text,
                  line_name, train_name, &second);
  if (!second.scenario.errors.diagnostics.empty()) {
    const Diagnostic& code = second.scenario.errors.diagnostics.front();
    trip->second_code =
        "code " + std::to_string(code.code) + ": " + code.message;
  }
  Compare(first, second, trip);
}

std::string NonIdentityKind(const RoundTrip& trip) {
  const RoundTripDifference& d = trip.decompiled.difference;
  const FileRole* role = RoleOf(d.file);
  std::string kind;
  if (!trip.status.ok()) {
    kind = "refused: " + trip.status.message();
  } else if (!trip.second_code.empty()) {
    kind = "the texts compile with " + trip.second_code;
    // The file a message names differs from scenario to scenario.
    for (std::size_t at = kind.find(" (/"); at != std::string::npos;
         at = kind.find(" (/", at)) {
      kind.erase(at, kind.find(')', at) - at + 1);
    }
  } else {
    kind = std::string(role != nullptr ? role->name : d.file.c_str()) + " " +
           d.what;
  }
  // Numbers become "#" and quoted texts (names, board texts) '"..."'.
  std::string out;
  bool quoted = false;
  for (char ch : kind) {
    const bool digit = std::isdigit(static_cast<unsigned char>(ch)) != 0;
    if (ch == '"') {
      quoted = !quoted;
      if (quoted) out += "\"...\"";
    } else if (quoted) {
      continue;
    } else if (!digit) {
      out += ch;
    } else if (out.empty() || out.back() != '#') {
      out += '#';
    }
  }
  return out;
}

std::string DescribeNonIdentity(const RoundTrip& trip) {
  if (!trip.status.ok()) return "decompile refused: " + trip.status.message();
  const RoundTripDifference& d = trip.decompiled.difference;
  return "decompile reports " + d.file + " offset " + std::to_string(d.offset) +
         ": " + d.what + "; the second compile first differs in " +
         trip.differing_file + " at offset " +
         std::to_string(trip.differing_offset);
}

}  // namespace scenario
