#include "tools/editor_support.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "base/fake_file_system.h"
#include "line/description_layout.h"
#include "tools/editor_grammar.h"
#include "tools/editor_snippets.h"

namespace scenario {
namespace {

using nlohmann::json;

// The scopes a grammar gives keywords, wherever its row rules stand.
void CollectKeywordScopes(const json& node, std::set<std::string>* scopes) {
  if (node.is_object()) {
    if (node.contains("beginCaptures") && node.contains("name") &&
        node["name"].get<std::string>().starts_with("meta.row.")) {
      scopes->insert(node["beginCaptures"]["1"]["name"].get<std::string>());
    }
    for (const auto& [key, value] : node.items()) {
      CollectKeywordScopes(value, scopes);
    }
  } else if (node.is_array()) {
    for (const json& value : node) CollectKeywordScopes(value, scopes);
  }
}

TEST(EditorGrammar, EveryRowKindOfItsFileHasAKeywordScopeOfItsOwn) {
  std::set<std::string> all;
  for (const DescriptionFile file :
       {DescriptionFile::kLine, DescriptionFile::kTrain}) {
    const json grammar = json::parse(TextMateGrammar(file));
    EXPECT_EQ(grammar["scopeName"], GrammarScopeName(file));
    std::set<std::string> scopes;
    CollectKeywordScopes(grammar, &scopes);
    std::set<std::string> expected;
    for (const RowKind kind : RowKindsOfFile(file)) {
      expected.insert(RowKeywordScope(kind));
      all.insert(RowKeywordScope(kind));
    }
    EXPECT_EQ(scopes, expected);
  }
  EXPECT_EQ(all.size(), static_cast<std::size_t>(kRowKindCount));
}

// One snippet per keyword form, with a tab stop for each value its reader
// reads.
TEST(EditorSnippets, EveryKeywordFormHasARowWithAllItsFields) {
  for (const DescriptionFile file :
       {DescriptionFile::kLine, DescriptionFile::kTrain}) {
    const json snippets = json::parse(VsCodeSnippets(file));
    std::set<std::string> prefixes;
    for (const auto& [name, snippet] : snippets.items()) {
      prefixes.insert(snippet["prefix"].get<std::string>());
    }
    for (const RowKind kind : RowKindsOfFile(file)) {
      for (const std::string& form : RowKindKeywordForms(kind)) {
        SCOPED_TRACE(form);
        EXPECT_EQ(prefixes.count(form), 1u);
        const std::string key = std::string(RowKindName(kind)) + ": " + form;
        ASSERT_TRUE(snippets.contains(key));
        const std::string body = snippets[key]["body"];
        const std::size_t n = RowKindValueCount(kind);
        EXPECT_NE(body.find("${" + std::to_string(n) + ":"), std::string::npos);
        EXPECT_EQ(body.find("${" + std::to_string(n + 1) + ":"),
                  std::string::npos);
      }
    }
  }
}

TEST(EditorSupport, WritesEachFileUnderItsFolder) {
  FakeFileSystem fs;
  std::vector<std::string> written;
  ASSERT_TRUE(WriteEditorSupport(fs, "out", EditorSupportFiles(Editor::kVsCode),
                                 &written)
                  .ok());
  EXPECT_EQ(written.size(), EditorSupportFiles(Editor::kVsCode).size());
  EXPECT_TRUE(fs.Has("out/syntaxes/scenario-line.tmLanguage.json"));
  EXPECT_TRUE(fs.Has("out/language-configuration.json"));
  EXPECT_EQ(fs.folders.count("out/snippets"), 1u);
}

TEST(EditorSupport, AFailedWriteNamesTheFileAndStops) {
  FakeFileSystem fs;
  fs.fail_writes.insert("out/snippets/scenario-line.json");
  std::vector<std::string> written;
  const Status status = WriteEditorSupport(
      fs, "out", EditorSupportFiles(Editor::kVsCode), &written);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("out/snippets/scenario-line.json"),
            std::string::npos)
      << status.message();
  EXPECT_EQ(written, std::vector<std::string>{
                         "out/syntaxes/scenario-line.tmLanguage.json"});
}

TEST(EditorSupport, KnowsItsEditorsByName) {
  EXPECT_EQ(EditorNamed("vscode"), Editor::kVsCode);
  EXPECT_EQ(EditorNamed("notepad++"), Editor::kNotepadPlusPlus);
  EXPECT_EQ(EditorNamed("VSCode"), std::nullopt);
}

}  // namespace
}  // namespace scenario
