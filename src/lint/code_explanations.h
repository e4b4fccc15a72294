#ifndef SCENARIO_LINT_CODE_EXPLANATIONS_H_
#define SCENARIO_LINT_CODE_EXPLANATIONS_H_

#include <string>
#include <string_view>

#include "lint/warnings.h"
#include "model/code_entry.h"

namespace scenario {

// The long explanations of the codes and the warning kinds, for authors,
// as `scenario-compiler explain` prints them. The texts are the tables'
// own (model/code_table.h, lint/warning_table.cc); this only lays them out.

// The entry of a code written as its number ("16", "1250"); nullptr for
// anything else.
const CodeEntry* FindCodeExplanation(std::string_view code);

// The hint that ends every diagnostic: "(try: scenario-compiler explain
// 16)". code_or_name is a code's number or a warning's name.
std::string ExplainHint(std::string_view code_or_name);

// One entry as `explain` prints it: the summary line, the cause, the fix
// and the example rows. Plain text, UTF-8, ends with a line end.
std::string RenderExplanation(const CodeEntry& e);
std::string RenderExplanation(const WarningKindInfo& e);

// Both tables, codes and warnings, as a Markdown page (the reference's
// list of codes, docs/error-codes.md).
std::string RenderExplanationsMarkdown();

}  // namespace scenario

#endif  // SCENARIO_LINT_CODE_EXPLANATIONS_H_
