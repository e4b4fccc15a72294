#ifndef SCENARIO_TOOLS_EDITOR_GRAMMAR_H_
#define SCENARIO_TOOLS_EDITOR_GRAMMAR_H_

// The TextMate grammars that colour the two description files in an
// editor (VS Code takes them as they are), made from the readers' own
// keyword table (line/description_layout.h), so that no second list of
// keywords exists.
//
// What a grammar marks, line by line:
//   - the text before "[generale]", which the readers pass over, as a
//     comment;
//   - section headers ("[curve]"): the known ones and any other bracketed
//     line;
//   - dash lines ("-----"), which the readers pass over, as a comment;
//   - a row's keyword, at the start of its line and alone in its field,
//     with a scope of its own kind (RowKeywordScope); in a line file the
//     general rows only in the general part (from "[generale]" to the next
//     bracketed line) and the others only after it, and in exact case
//     where the reader asks for it;
//   - a row's values: numbers, quoted texts, other texts, the commas.
// A keyword is coloured only in the forms RowKindKeywordForms lists; the
// readers' substring tests accept more (see the README's "Editors").

#include <string>
#include <string_view>

#include "line/description_layout.h"
#include "line/read_log.h"

namespace scenario {

// "source.scenario-line", "source.scenario-train".
std::string GrammarScopeName(DescriptionFile file);

// The scope a row kind's keyword gets, e.g.
// "keyword.other.row.gradient.scenario".
std::string RowKeywordScope(RowKind kind);

// The grammar as JSON text, ending with a line end.
std::string TextMateGrammar(DescriptionFile file);

// A test file for the grammar test tool: every keyword form of the file's
// row kinds in a row of its own, each followed by the assertion of its
// scope, in a file laid out as the readers read it. The grammar's tests
// run it, so every row kind's keyword is checked in the real tokenizer.
std::string GrammarKeywordTest(DescriptionFile file);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_EDITOR_GRAMMAR_H_
