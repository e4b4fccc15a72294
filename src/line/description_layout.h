#ifndef SCENARIO_LINE_DESCRIPTION_LAYOUT_H_
#define SCENARIO_LINE_DESCRIPTION_LAYOUT_H_

// How the two description files are laid out as authors write them: which
// file each row kind belongs to, the section headers in their usual order,
// the section each row kind stands under, and the keywords an author
// writes for it. The editors' help (the language server, the editor
// grammars and snippets) takes all of this from here.
//
// The readers never look at this table: they find rows by substring tests
// (line_keywords, train_keywords), which accept far more than the forms
// listed here. Invariants (held by description_layout_test): every form of
// a row kind passes its reader's test for that kind and no other; the
// first form is RowKindKeyword; every row kind's section is among its
// file's headers.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "line/read_log.h"

namespace scenario {

// The two description files.
enum class DescriptionFile : std::uint8_t {
  kLine,   // "NAME_linea.txt"
  kTrain,  // "NAME_TRAIN-.txt"
};

// The file whose reader reads the row kind.
DescriptionFile RowKindFile(RowKind kind);

// The row kinds of a file, in the readers' order (that of RowKind).
std::vector<RowKind> RowKindsOfFile(DescriptionFile file);

// The section headers of a file in their usual order, "[generale]" first
// and "[fine]" last. Only "[generale]" means anything to the readers (and,
// in the line file, the first bracketed field after it, which ends the
// general part); the others are for the author's eye.
std::span<const std::string_view> DescriptionSections(DescriptionFile file);

// The section the built-in descriptions write the row kind under, e.g.
// "[pendenze]" for a gradient.
std::string_view RowKindSection(RowKind kind);

// Whether the reader tests the row kind's keyword in exact letter case
// (the line's general rows but the length); the others ignore case.
bool RowKindKeywordExactCase(RowKind kind);

// The keywords an author writes for the row kind, RowKindKeyword first:
// for a curve the twelve "curva" + side (s left, d right) + class (1 to 6),
// for the signal repetition its 4 and 9 codes forms, else the one keyword.
std::vector<std::string> RowKindKeywordForms(RowKind kind);

}  // namespace scenario

#endif  // SCENARIO_LINE_DESCRIPTION_LAYOUT_H_
