// The field tables of the format reference (docs/format.md) are made from
// the row field table: this test fails when the file is stale, and with
// SCENARIO_REFRESH_FORMAT_DOC=1 in its environment it rewrites them:
//
//   SCENARIO_REFRESH_FORMAT_DOC=1 build/line_tests
//   --gtest_filter='FormatReference.*'
//
// (one command).
//
// A block stands between "<!-- fields of KEYWORD -->" and
// "<!-- end of fields -->", KEYWORD being the row's built-in keyword
// (RowKindKeyword). Rows that share their fields (the three kilometre
// records, the three selectors) share one block.

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "base/file_system.h"
#include "line/row_fields.h"

namespace scenario {
namespace {

constexpr std::string_view kBegin = "<!-- fields of ";
constexpr std::string_view kBeginEnd = " -->\n";
constexpr std::string_view kEnd = "<!-- end of fields -->";

std::string FieldTable(std::span<const FieldGuide> fields) {
  std::string out =
      "| No. | Field | Width | Values | Meaning | The compiler |\n"
      "|---|---|---|---|---|---|\n";
  int n = 1;
  for (const FieldGuide& f : fields) {
    out += "| " + std::to_string(n++) + " | " + FieldLabel(f) + " | " +
           std::string(FieldWidthName(f.width)) + " | " + std::string(f.range) +
           " | " + std::string(f.meaning);
    if (!f.simulator.empty()) {
      out += " The simulator: " + std::string(f.simulator);
    }
    out += " | " + std::string(f.compile) + " |\n";
  }
  return out;
}

const RowKind* KindOfKeyword(std::string_view keyword) {
  static RowKind kinds[kRowKindCount];
  for (int k = 0; k < kRowKindCount; ++k) {
    kinds[k] = static_cast<RowKind>(k);
    if (RowKindKeyword(kinds[k]) == keyword) return &kinds[k];
  }
  return nullptr;
}

// Rewrites every block of text from the table; *shown gets the field
// lists shown. False, with *error, on a block that names no row.
bool Regenerate(const std::string& text, std::string* out,
                std::set<const FieldGuide*>* shown, std::string* error) {
  std::size_t at = 0;
  while (true) {
    const std::size_t begin = text.find(kBegin, at);
    if (begin == std::string::npos) break;
    const std::size_t name_at = begin + kBegin.size();
    const std::size_t name_end = text.find(kBeginEnd, name_at);
    const std::size_t end = text.find(kEnd, name_at);
    if (name_end == std::string::npos || end == std::string::npos ||
        end < name_end) {
      *error = "an unclosed block at byte " + std::to_string(begin);
      return false;
    }
    const std::string keyword = text.substr(name_at, name_end - name_at);
    const RowKind* kind = KindOfKeyword(keyword);
    if (kind == nullptr) {
      *error = "a block of \"" + keyword + "\", which is no row's keyword";
      return false;
    }
    shown->insert(RowFields(*kind).data());
    *out += text.substr(at, name_end + kBeginEnd.size() - at);
    *out += FieldTable(RowFields(*kind));
    at = end;
  }
  *out += text.substr(at);
  return true;
}

TEST(FormatReference, FieldTablesAreTheRowFieldTable) {
  const std::string path = SCENARIO_DOCS_DIR "/format.md";
  std::string text;
  ASSERT_TRUE(RealFileSystem().ReadFile(path, &text).ok()) << path;
  std::string fresh;
  std::set<const FieldGuide*> shown;
  std::string error;
  ASSERT_TRUE(Regenerate(text, &fresh, &shown, &error)) << error;
  for (int k = 0; k < kRowKindCount; ++k) {
    const RowKind kind = static_cast<RowKind>(k);
    EXPECT_TRUE(shown.count(RowFields(kind).data()))
        << "docs/format.md shows no fields of \"" << RowKindKeyword(kind)
        << "\": add a block <!-- fields of " << RowKindKeyword(kind)
        << " --> ... <!-- end of fields --> where the row is described";
  }
  if (fresh == text) return;
  const char* refresh = std::getenv("SCENARIO_REFRESH_FORMAT_DOC");
  if (refresh != nullptr && std::string_view(refresh) == "1") {
    ASSERT_TRUE(RealFileSystem().WriteFileReplacing(path, fresh).ok());
    return;
  }
  ADD_FAILURE() << "docs/format.md's field tables differ from the row field "
                   "table (line/row_fields.cc); refresh them with\n"
                   "  SCENARIO_REFRESH_FORMAT_DOC=1 build/line_tests "
                   "--gtest_filter='FormatReference.*'";
}

}  // namespace
}  // namespace scenario
