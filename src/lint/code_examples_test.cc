// The wrong rows of every code's explanation record that code, and their
// corrections do not: the explanations an author reads cannot drift from
// what the compiler does.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/fake_file_system.h"
#include "compile/compile_stage.h"
#include "lint/code_explanations.h"
#include "lint/lint.h"
#include "lint/warnings.h"
#include "model/code_table.h"
#include "model/diagnostics.h"
#include "model/scenario.h"

namespace scenario {
namespace {

// The rows of an explanation's example, without its "# " comment lines.
std::vector<std::string> Rows(std::string_view text) {
  std::vector<std::string> rows;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view row = text.substr(at, end - at);
    if (!row.starts_with("# ")) rows.emplace_back(row);
    at = end + 1;
  }
  return rows;
}

// Case does not matter: "Sfondo uno" still belongs to the line.
bool Holds(const std::string& row, std::string_view word) {
  std::string lower = row;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower.find(word) != std::string::npos;
}

// A 6 km line and a train with nothing placed, and the rows added to them:
// general rows of the line go into its general part, the line's other rows
// after it, and every other row into the train.
struct Pair {
  std::string general;
  std::string line;
  std::string train;

  void Add(const std::string& row) {
    std::string* part = &train;
    for (std::string_view w :
         {"lunghezza", "progressiva", "sfondo", "ripetizione"}) {
      if (Holds(row, w)) part = &general;
    }
    for (std::string_view w :
         {"curva", "pendenza", "montagna", "indicatori", "cartello"}) {
      if (Holds(row, w)) part = &line;
    }
    *part += row + "\r\n";
  }
};

// A pair holding the rows of before, an example's rows (without its "# "
// lines), and the rows of after, in that order.
Pair WithExample(const std::vector<std::string>& before,
                 std::string_view example,
                 const std::vector<std::string>& after = {}) {
  Pair pair;
  for (const std::string& row : before) pair.Add(row);
  for (const std::string& row : Rows(example)) pair.Add(row);
  for (const std::string& row : after) pair.Add(row);
  return pair;
}

struct Outcome {
  std::set<std::int32_t> codes;
  std::set<std::string> warnings;  // their names
};

// What compiling the pair records and warns (nothing is written). The
// pair's train has no station unless an example gives one: no-station is
// silenced here and tested with the small pair (lint/mistakes_test.cc).
Outcome Compile(const Pair& pair) {
  FakeFileSystem fs;
  fs.files["l.txt"] = "[generale]\r\nlunghezza percorso,    6000\r\n" +
                      pair.general + "[curve]\r\n" + pair.line + "[fine]\r\n";
  fs.files["t.txt"] =
      "[generale]\r\nnumero vetture,    4\r\n" + pair.train + "[fine]\r\n";
  Scenario s;
  s.line_name = "L";
  s.train_name = "T";
  CompileFiles files;
  files.line_description = "l.txt";
  files.train_description = "t.txt";
  files.delete_descriptions = false;
  files.write_outputs = false;
  LintOptions options;
  options.disabled.set(WarningBit(WarningKind::kNoStation));
  const LintReport report = CompileAndLint(s, 1, fs, files, options);
  Outcome outcome;
  for (const Diagnostic& d : s.errors.diagnostics) {
    outcome.codes.insert(d.code);
    // Every diagnostic opens with its code's summary from the table.
    EXPECT_TRUE(std::string_view(d.message).starts_with(ExplainCode(d.code)))
        << d.code << ": " << d.message;
    EXPECT_FALSE(ExplainCode(d.code).empty()) << d.code;
  }
  for (const Warning& w : report.warnings) {
    outcome.warnings.insert(std::string(WarningName(w.kind)));
  }
  return outcome;
}

std::set<std::int32_t> Codes(const Pair& pair) { return Compile(pair).codes; }

TEST(CodeExamples, WrongRowsRecordTheirCodeAndRightRowsDoNot) {
  // What the "# " lines of an example describe, as rows.
  struct Case {
    std::int32_t code;
    std::vector<std::string> around;
  };
  const std::string board_1000 =
      "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0";
  auto signal_at = [](const char* metres) {
    return std::string("segnale,    ") + metres +
           ",   2, 3, 1,  1, 0,    0,  0,0,0, 0";
  };
  auto board_at = [](const char* metres) {
    return std::string("indicatori_vmax,  ") + metres +
           ",  90,  95,  100,  0,  ,  ,  ,  0";
  };
  const Case cases[] = {
      {1, {}},
      {2, {}},
      {3, {}},
      {4, {}},
      {5, {}},
      {6, {board_1000}},
      {7, {signal_at("7000")}},
      {8, {}},
      {9, {}},
      {11,
       {board_at("2400"), board_at("2450"),
        "rallentamento,    4150,    30,    300,    0,    0,    0"}},
      {12, {board_at("3650"), board_at("3700"), board_at("3750")}},
      {13, {signal_at("4350"), signal_at("4400"), signal_at("4450")}},
      {15, {}},
      {16, {board_1000}},
      {17, {signal_at("2800")}},
      {18, {signal_at("4000")}},
      {19, {signal_at("4300")}},
      {20, {signal_at("2700")}},
      {21, {board_1000}},
      {22, {}},
      {24, {}},
      {25, {}},
      {103, {}},
      {1250, {}},
      {1251, {}},
  };
  // No example row: a full table, a missing file, a missing header.
  const std::set<std::int32_t> kUntested = {10, 101, 102};

  std::set<std::int32_t> seen(kUntested);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    seen.insert(c.code);
    const std::string code = std::to_string(c.code);
    const CodeEntry* e = FindCodeExplanation(code);
    ASSERT_NE(e, nullptr);
    ASSERT_FALSE(e->wrong.empty());
    const Pair wrong = WithExample(c.around, e->wrong);
    const Pair right = WithExample(c.around, e->right);
    EXPECT_TRUE(Codes(wrong).count(c.code)) << wrong.line << wrong.train;
    EXPECT_EQ(Codes(right), std::set<std::int32_t>())
        << right.line << right.train;
  }
  std::set<std::int32_t> all;
  for (const CodeEntry& e : kCodeTable) all.insert(e.code);
  EXPECT_EQ(seen, all) << "a new code needs a case here";
}

TEST(WarningExamples, WrongRowsWarnAndRightRowsDoNot) {
  // What the "# " lines of an example describe, as rows before and after
  // the example's own.
  struct Case {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> after;
  };
  const std::string station_2400 =
      "stazione,    2400, 22,  300,  0, 0, 0,  1,1,0,  2,0,0,   60,   "
      "8,14,30, Ponte Rio";
  const Case cases[] = {
      {"passed-over-field", {}, {}},
      {"keyword-case", {}, {}},
      {"decimal-comma", {}, {}},
      {"double-keyword", {}, {}},
      {"rows-out-of-order", {}, {}},
      {"curve-overlap", {}, {}},
      {"times-not-rising", {station_2400}, {}},
      {"time-too-short", {"velocita,    0,    90", station_2400}, {}},
      {"kilometre-stone",
       {"progressiva chilometrica uno,    0,    12000,    0"},
       {}},
      {"speed-above-board",
       {"indicatori_vmax,  3500,  70,  75,  80,  0,  70,  75,  80,  0"},
       {}},
      {"value-altered", {}, {}},
      {"duplicate-position", {}, {}},
      {"item-overwritten",
       {},
       {"stazione,    2400, 22,  400,  0, 0, 0,  1,1,0,  2,0,0,   60,   "
        "8,14,30, Ponte Rio"}},
      {"row-shape", {}, {}},
      {"comment-marker", {}, {}},
      {"field-separator", {}, {}},
      {"non-positive-length", {}, {}},
      {"beyond-line-end", {}, {}},
      {"zero-speed", {}, {}},
      {"implausible-speed", {}, {}},
      {"steep-gradient", {}, {}},
      {"station-name-twice", {}, {}},
  };
  // Rows that need a place of their own in a file (a header, the file's
  // end, the other file) or no row at all.
  const std::set<std::string> kUntested = {
      "misplaced-row",     "other-file-row",    "no-general-section",
      "dash-field-tested", "unread-last-field", "utf8-text",
      "file-encoding",     "no-station"};

  std::set<std::string> seen(kUntested.begin(), kUntested.end());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seen.insert(c.name);
    const std::optional<WarningKind> kind = FindWarningKind(c.name);
    ASSERT_TRUE(kind.has_value());
    const WarningKindInfo* e = &Describe(*kind);
    ASSERT_FALSE(e->wrong.empty());
    const Pair wrong = WithExample(c.before, e->wrong, c.after);
    const Pair right = WithExample(c.before, e->right, c.after);
    const Outcome w = Compile(wrong);
    EXPECT_TRUE(w.warnings.count(c.name))
        << wrong.general << wrong.line << wrong.train;
    const Outcome r = Compile(right);
    EXPECT_EQ(r.warnings, std::set<std::string>())
        << right.general << right.line << right.train;
    EXPECT_EQ(r.codes, std::set<std::int32_t>());
  }
  std::set<std::string> all;
  for (const WarningKindInfo& e : WarningKinds()) {
    all.insert(std::string(e.name));
  }
  EXPECT_EQ(seen, all) << "a new warning needs a case here";
}

}  // namespace
}  // namespace scenario
