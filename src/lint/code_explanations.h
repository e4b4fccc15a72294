#ifndef SCENARIO_LINT_CODE_EXPLANATIONS_H_
#define SCENARIO_LINT_CODE_EXPLANATIONS_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

// The long explanation of a recorded code, for authors: what causes it,
// what to change, and a short wrong row with its correction. One table
// holds them all; `scenario-compiler explain` prints an entry and the
// format reference's table of codes is rendered from the same table (a
// test keeps the two equal).
struct CodeExplanation {
  std::int32_t code;
  // "line", "train", "both" or "" (no description file: the compile
  // stage's own checks).
  std::string_view file;
  std::string_view cause;
  std::string_view fix;
  // Rows as an author writes them, one per line ('\n' between rows); a
  // line that starts with "# " says in words what stands around the row.
  // Both empty when no single row shows the code.
  std::string_view wrong;
  std::string_view right;
};

// Every entry, in increasing order of code. Covers every code that
// ExplainCode knows.
std::span<const CodeExplanation> CodeExplanations();

// The entry of a code written as its number ("16", "1250"); nullptr for
// anything else.
const CodeExplanation* FindCodeExplanation(std::string_view code);

// The long explanation of a warning kind, by its stable name; the one-line
// summary is the kind's own (base/warnings.h).
struct WarningExplanation {
  std::string_view name;
  std::string_view cause;
  std::string_view fix;
  std::string_view wrong;  // as CodeExplanation; both empty: no row shows it
  std::string_view right;
};

// Every warning kind's entry, in the order of the kinds.
std::span<const WarningExplanation> WarningExplanations();

// The entry of a warning's name ("decimal-comma"); nullptr for any other
// text.
const WarningExplanation* FindWarningExplanation(std::string_view name);

// The hint that ends every diagnostic: "(try: scenario-compiler explain
// 16)". code_or_name is a code's number or a warning's name.
std::string ExplainHint(std::string_view code_or_name);

// One entry as `explain` prints it: the summary line, the cause, the fix
// and the example rows. Plain text, UTF-8, ends with a line end.
std::string RenderExplanation(const CodeExplanation& e);
std::string RenderExplanation(const WarningExplanation& e);

// The whole table, codes and warnings, as a Markdown page (the
// reference's list of codes).
std::string RenderExplanationsMarkdown();

}  // namespace scenario

#endif  // SCENARIO_LINT_CODE_EXPLANATIONS_H_
