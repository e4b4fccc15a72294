#include "tools/editor_support.h"

#include "base/file_system.h"
#include "line/description_layout.h"
#include "tools/editor_grammar.h"
#include "tools/editor_snippets.h"
#include "tools/notepadpp_language.h"
#include "tools/output_folder.h"

namespace scenario {

namespace {

std::vector<EditorFile> VsCodeFiles() {
  std::vector<EditorFile> files;
  for (const DescriptionFile file :
       {DescriptionFile::kLine, DescriptionFile::kTrain}) {
    const std::string name =
        file == DescriptionFile::kLine ? "scenario-line" : "scenario-train";
    files.push_back(
        {"syntaxes/" + name + ".tmLanguage.json", TextMateGrammar(file)});
    files.push_back({"snippets/" + name + ".json", VsCodeSnippets(file)});
    files.push_back({"test/keywords/" + name + "-keywords.test.txt",
                     GrammarKeywordTest(file)});
  }
  files.push_back(
      {"language-configuration.json", VsCodeLanguageConfiguration()});
  return files;
}

}  // namespace

std::optional<Editor> EditorNamed(std::string_view name) {
  if (name == "vscode") return Editor::kVsCode;
  if (name == "notepad++") return Editor::kNotepadPlusPlus;
  return std::nullopt;
}

std::string_view EditorNames() { return "vscode, notepad++"; }

std::vector<EditorFile> EditorSupportFiles(Editor editor) {
  if (editor == Editor::kVsCode) return VsCodeFiles();
  return {{"scenario-description.udl.xml", NotepadPlusPlusLanguage()}};
}

Status WriteEditorSupport(FileSystem& fs, const std::string& folder,
                          const std::vector<EditorFile>& files,
                          std::vector<std::string>* written) {
  for (const EditorFile& file : files) {
    const std::string path =
        folder.empty() ? "/" + file.path : folder + "/" + file.path;
    const std::size_t slash = path.rfind('/');
    if (slash != 0) {
      Status status = MakeOutputFolder(fs, path.substr(0, slash));
      if (!status.ok()) return status;
    }
    Status status = fs.WriteFileReplacing(path, file.contents);
    if (!status.ok()) return status;
    written->push_back(path);
  }
  return Status::Ok();
}

}  // namespace scenario
