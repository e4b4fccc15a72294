#include "tools/editor_grammar.h"

#include <cassert>
#include <cctype>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <vector>

namespace scenario {

namespace {

using Json = nlohmann::ordered_json;

// A keyword or a header as an Oniguruma pattern that matches it literally.
std::string Literal(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}/-#").find(c) !=
        std::string_view::npos) {
      out += '\\';
    }
    out += c;
  }
  return out;
}

// "kilometre record \"tre\"" -> "kilometre-record-tre".
std::string Slug(std::string_view name) {
  std::string slug;
  for (const char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      slug += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug;
}

// "(?i:a|b)" or "(?:a|b)", in the reader's letter case.
std::string KeywordAlternation(RowKind kind) {
  std::string alternation = RowKindKeywordExactCase(kind) ? "(?:" : "(?i:";
  bool first = true;
  for (const std::string& form : RowKindKeywordForms(kind)) {
    if (!first) alternation += '|';
    alternation += Literal(form);
    first = false;
  }
  return alternation + ")";
}

// A row of the kind: its keyword alone in the line's first field, then its
// values to the line end.
Json RowRule(RowKind kind) {
  return {
      {"name", "meta.row." + Slug(RowKindName(kind)) + ".scenario"},
      {"begin", "^\\s*(" + KeywordAlternation(kind) + ")\\s*(?=,|$)"},
      {"beginCaptures", {{"1", {{"name", RowKeywordScope(kind)}}}}},
      {"end", "$"},
      {"patterns", Json::array({{{"include", "#values"}}})},
  };
}

// What follows a keyword: commas, quoted texts, whole numbers (a field of
// blank-parted numbers is several), and any other field as a text.
Json ValueRules() {
  return Json::array({
      {{"name", "punctuation.separator.comma.scenario"}, {"match", ","}},
      {{"name", "string.quoted.double.scenario"},
       {"begin", "(?<=,)\\s*\""},
       {"end", "\"|$"}},
      {{"name", "constant.numeric.integer.scenario"},
       {"match", "(?<=[\\s,])[+-]?\\d+(?=[\\s,]|$)"}},
      {{"match",
        "(?<=,)\\s*((?![+-]?\\d+(?:\\s+[+-]?\\d+)*\\s*(?:,|$))[^,\\s\"][^,]*?)"
        "\\s*(?=,|$)"},
       {"captures", {{"1", {{"name", "string.unquoted.scenario"}}}}}},
  });
}

// The known headers of the file, any case, as one pattern.
std::string KnownSections(DescriptionFile file) {
  std::string names = "(?i:";
  bool first = true;
  for (const std::string_view header : DescriptionSections(file)) {
    assert(header.size() > 2 && header.front() == '[' && header.back() == ']');
    if (!first) names += '|';
    names += Literal(header.substr(1, header.size() - 2));
    first = false;
  }
  return "\\[" + names + ")\\]";
}

// The rules every grammar has, by name in its repository.
Json CommonRepository(DescriptionFile file) {
  Json repository;
  repository["preamble"] = {{"name", "comment.block.preamble.scenario"},
                            {"begin", "\\A(?!\\s*\\[(?i:generale)\\])"},
                            {"end", "(?=\\[(?i:generale)\\])"}};
  repository["section"] = {
      {"patterns",
       Json::array(
           {{{"match", "^\\s*(" + KnownSections(file) + ")\\s*$"},
             {"captures", {{"1", {{"name", "entity.name.section.scenario"}}}}}},
            {{"match", "^\\s*(\\[[^\\],]*\\])\\s*$"},
             {"captures",
              {{"1", {{"name", "entity.name.section.other.scenario"}}}}}}})}};
  repository["dashes"] = {{"name", "comment.line.dashes.scenario"},
                          {"match", "^\\s*-[^,]*"}};
  repository["values"] = {{"patterns", ValueRules()}};
  return repository;
}

Json Includes(std::initializer_list<const char*> names) {
  Json patterns = Json::array();
  for (const char* name : names) {
    patterns.push_back({{"include", std::string("#") + name}});
  }
  return patterns;
}

Json RowRules(DescriptionFile file, bool general) {
  Json rules = Json::array();
  for (const RowKind kind : RowKindsOfFile(file)) {
    const bool in_general = RowKindSection(kind) == "[generale]";
    if (file == DescriptionFile::kTrain || in_general == general) {
      rules.push_back(RowRule(kind));
    }
  }
  return rules;
}

}  // namespace

std::string GrammarScopeName(DescriptionFile file) {
  return file == DescriptionFile::kLine ? "source.scenario-line"
                                        : "source.scenario-train";
}

std::string RowKeywordScope(RowKind kind) {
  return "keyword.other.row." + Slug(RowKindName(kind)) + ".scenario";
}

std::string TextMateGrammar(DescriptionFile file) {
  const bool line = file == DescriptionFile::kLine;
  Json grammar;
  grammar["name"] =
      line ? "Scenario line description" : "Scenario train description";
  grammar["scopeName"] = GrammarScopeName(file);
  grammar["comment"] =
      "Made by `scenario-compiler editor-support vscode` from the readers' "
      "keyword table: do not edit.";
  Json repository = CommonRepository(file);
  if (line) {
    // The general rows are read only from "[generale]" to the next
    // bracketed field, the others only after it.
    grammar["patterns"] =
        Includes({"preamble", "general-part", "section", "dashes", "rows"});
    Json general_patterns = Includes({"dashes"});
    for (Json& rule : RowRules(file, true)) general_patterns.push_back(rule);
    repository["general-part"] = {
        {"begin", "(\\[(?i:generale)\\])"},
        {"beginCaptures", {{"1", {{"name", "entity.name.section.scenario"}}}}},
        {"end", "(?=^\\s*\\[[^\\]]*\\])"},
        {"patterns", general_patterns}};
    repository["rows"] = {{"patterns", RowRules(file, false)}};
  } else {
    grammar["patterns"] =
        Includes({"preamble", "general-header", "section", "dashes", "rows"});
    repository["general-header"] = {
        {"match", "(\\[(?i:generale)\\])"},
        {"captures", {{"1", {{"name", "entity.name.section.scenario"}}}}}};
    repository["rows"] = {{"patterns", RowRules(file, false)}};
  }
  grammar["repository"] = repository;
  return grammar.dump(2) + "\n";
}

std::string GrammarKeywordTest(DescriptionFile file) {
  const bool line = file == DescriptionFile::kLine;
  std::string text = "# SYNTAX TEST \"" + GrammarScopeName(file) +
                     "\" \"every keyword form of the " +
                     (line ? "line" : "train") +
                     " description's rows, made by scenario-compiler "
                     "editor-support vscode: do not edit\"\n"
                     "[generale]\n"
                     "# <---------- entity.name.section.scenario\n";
  // The line's general rows first, then its other rows after a header.
  for (const bool general : {true, false}) {
    if (line && !general) {
      text += "[curve]\n# <------- entity.name.section.scenario\n";
    }
    for (const RowKind kind : RowKindsOfFile(file)) {
      const bool in_general = RowKindSection(kind) == "[generale]";
      if (line && in_general != general) continue;
      if (!line && !general) continue;
      for (const std::string& form : RowKindKeywordForms(kind)) {
        text += form + ",  0\n# <" + std::string(form.size(), '-') + " " +
                RowKeywordScope(kind) + "\n";
      }
    }
  }
  return text + "[fine]\n";
}

}  // namespace scenario
