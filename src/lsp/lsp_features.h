#ifndef SCENARIO_LSP_LSP_FEATURES_H_
#define SCENARIO_LSP_LSP_FEATURES_H_

// The language server's answers about one document, as protocol JSON:
// diagnostics, hover, document symbols and completion. Pure: they read a
// document and the model of its last check.

#include <nlohmann/json.hpp>
#include <string_view>

#include "lsp/description_check.h"
#include "lsp/editor_document.h"

namespace scenario {

// The diagnostics of a check for the document at path, in editor units:
// the codes placed in the document at the row they name (from the field to
// the end of its line), the codes with no place and those of the other
// file at the first line, the latter with that file's place in the text;
// the warnings placed in the document, with their names as codes.
// Characters with no Windows-1252 byte get a warning each. A train whose
// line description is missing or cannot be read says so at its first line.
nlohmann::json DiagnosticsFor(const std::string& path,
                              const EditorDocument& doc,
                              const DescriptionCheck& check);

// Hover on a line: the row, its fields by name, its position as a
// kilometre reading and the cell it lands in, and what the model holds
// there. null on a line with no row. check may be null.
nlohmann::json HoverFor(DescriptionKind kind, const EditorDocument& doc,
                        int line, const DescriptionCheck* check);

// The outline: sections, with stations (train) and kilometre stones
// (line) inside them.
nlohmann::json SymbolsFor(DescriptionKind kind, const EditorDocument& doc);

// Row keywords and section headers. A row comes with its fields: as a
// snippet's placeholders when the client takes snippets, else as their
// names in plain text. Empty when the position lies after the row's
// keyword.
nlohmann::json CompletionFor(DescriptionKind kind, const EditorDocument& doc,
                             EditorPosition at, bool snippets);

}  // namespace scenario

#endif  // SCENARIO_LSP_LSP_FEATURES_H_
