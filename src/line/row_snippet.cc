#include "line/row_snippet.h"

#include "line/row_fields.h"

namespace scenario {

namespace {

// The snippet escapes: "$", "}" and "\" stand for themselves after "\".
std::string SnippetText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '$' || c == '}' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string RowSnippet(std::string_view keyword, RowKind kind,
                       SnippetForm form) {
  const bool placeholders = form == SnippetForm::kPlaceholders;
  std::string text = placeholders ? SnippetText(keyword) : std::string(keyword);
  int n = 1;
  for (const FieldGuide& field : RowFields(kind)) {
    const std::string label = FieldLabel(field);
    text += placeholders
                ? ",  ${" + std::to_string(n++) + ":" + SnippetText(label) + "}"
                : ",  " + label;
  }
  return text;
}

}  // namespace scenario
