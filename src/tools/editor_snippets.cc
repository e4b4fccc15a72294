#include "tools/editor_snippets.h"

#include <nlohmann/json.hpp>

#include "line/row_fields.h"
#include "line/row_snippet.h"

namespace scenario {

namespace {

using Json = nlohmann::ordered_json;

// "gradient [pendenze]: position (m), gradient (per mille)" and, line by
// line, each field's meaning.
std::string SnippetDescription(RowKind kind) {
  std::string text = std::string(RowKindName(kind)) + ", under " +
                     std::string(RowKindSection(kind));
  for (const FieldGuide& field : RowFields(kind)) {
    text += "\n" + FieldLabel(field) + ": " + std::string(field.meaning);
  }
  return text;
}

}  // namespace

std::string VsCodeSnippets(DescriptionFile file) {
  Json snippets = Json::object();
  for (const RowKind kind : RowKindsOfFile(file)) {
    for (const std::string& form : RowKindKeywordForms(kind)) {
      snippets[std::string(RowKindName(kind)) + ": " + form] = {
          {"prefix", form},
          {"body", RowSnippet(form, kind, SnippetForm::kPlaceholders)},
          {"description", SnippetDescription(kind)},
      };
    }
  }
  for (const std::string_view header : DescriptionSections(file)) {
    snippets["section " + std::string(header)] = {
        {"prefix", std::string(header)},
        {"body", std::string(header)},
        {"description", "section header"},
    };
  }
  return snippets.dump(2) + "\n";
}

std::string VsCodeLanguageConfiguration() {
  const Json configuration = {
      {"brackets", Json::array({Json::array({"[", "]"})})},
      {"autoClosingPairs", Json::array({{{"open", "["}, {"close", "]"}},
                                        {{"open", "\""}, {"close", "\""}}})},
      {"surroundingPairs",
       Json::array({Json::array({"[", "]"}), Json::array({"\"", "\""})})},
      {"wordPattern", "[^\\s,\\[\\]\"]+"},
  };
  return configuration.dump(2) + "\n";
}

}  // namespace scenario
