#include "tools/notepadpp_language.h"

#include <string_view>
#include <vector>

#include "line/description_layout.h"
#include "line/read_log.h"

namespace scenario {

namespace {

// Text as XML character data or an attribute value between double quotes.
std::string XmlText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The keyword forms of the chosen rows, blank-parted, those with blanks in
// double quotes.
std::string KeywordList(DescriptionFile file, bool general) {
  std::string list;
  for (const RowKind kind : RowKindsOfFile(file)) {
    const bool in_general = RowKindSection(kind) == "[generale]";
    if (file == DescriptionFile::kLine && in_general != general) continue;
    for (const std::string& form : RowKindKeywordForms(kind)) {
      if (!list.empty()) list += ' ';
      list += form.find(' ') == std::string::npos ? form : '"' + form + '"';
    }
  }
  return list;
}

struct KeywordEntry {
  std::string name;
  std::string value;
};

std::vector<KeywordEntry> KeywordEntries() {
  std::vector<KeywordEntry> entries = {
      // Line comment, its continuation and end, block comment open, close.
      {"Comments", "00- 01 02 03 04"},
      {"Numbers, prefix1", ""},
      {"Numbers, prefix2", ""},
      {"Numbers, extras1", ""},
      {"Numbers, extras2", ""},
      {"Numbers, suffix1", ""},
      {"Numbers, suffix2", ""},
      {"Numbers, range", ""},
      {"Operators1", ","},
      {"Operators2", ""},
      {"Folders in code1, open", ""},
      {"Folders in code1, middle", ""},
      {"Folders in code1, close", ""},
      {"Folders in code2, open", ""},
      {"Folders in code2, middle", ""},
      {"Folders in code2, close", ""},
      {"Folders in comment, open", ""},
      {"Folders in comment, middle", ""},
      {"Folders in comment, close", ""},
      {"Keywords1", KeywordList(DescriptionFile::kLine, true)},
      {"Keywords2", KeywordList(DescriptionFile::kLine, false)},
      {"Keywords3", KeywordList(DescriptionFile::kTrain, true)},
  };
  for (int i = 4; i <= 8; ++i) {
    entries.push_back({"Keywords" + std::to_string(i), ""});
  }
  // Each delimiter: open, escape, close. The first is a section header,
  // the second a quoted text.
  std::string delimiters = "00[ 01 02] 03\" 04 05\"";
  for (int i = 6; i < 24; ++i) {
    delimiters += std::string(" ") + (i < 10 ? "0" : "") + std::to_string(i);
  }
  entries.push_back({"Delimiters", delimiters});
  return entries;
}

struct Style {
  const char* name;
  const char* colour;  // RRGGBB
  int font_style;      // 0 plain, 1 bold, 2 italic
};

constexpr Style kStyles[] = {
    {"DEFAULT", "000000", 0},         {"COMMENTS", "808080", 2},
    {"LINE COMMENTS", "808080", 2},   {"NUMBERS", "098658", 0},
    {"KEYWORDS1", "0000C0", 1},       {"KEYWORDS2", "AF00DB", 1},
    {"KEYWORDS3", "0070C0", 1},       {"KEYWORDS4", "000000", 0},
    {"KEYWORDS5", "000000", 0},       {"KEYWORDS6", "000000", 0},
    {"KEYWORDS7", "000000", 0},       {"KEYWORDS8", "000000", 0},
    {"OPERATORS", "606060", 0},       {"FOLDER IN CODE1", "000000", 0},
    {"FOLDER IN CODE2", "000000", 0}, {"FOLDER IN COMMENT", "000000", 0},
    {"DELIMITERS1", "C05000", 1},     {"DELIMITERS2", "A31515", 0},
    {"DELIMITERS3", "000000", 0},     {"DELIMITERS4", "000000", 0},
    {"DELIMITERS5", "000000", 0},     {"DELIMITERS6", "000000", 0},
    {"DELIMITERS7", "000000", 0},     {"DELIMITERS8", "000000", 0},
};

}  // namespace

std::string NotepadPlusPlusLanguage() {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
      "<!-- Made by scenario-compiler editor-support notepad++ from the "
      "readers' keyword table: do not edit. -->\n"
      "<NotepadPlus>\n"
      "    <UserLang name=\"" +
      XmlText(kNotepadPlusPlusLanguageName) +
      "\" ext=\"txt\" udlVersion=\"2.1\">\n"
      "        <Settings>\n"
      "            <Global caseIgnored=\"yes\" allowFoldOfComments=\"no\" "
      "foldCompact=\"no\" forcePureLC=\"2\" decimalSeparator=\"0\" />\n"
      "            <Prefix Keywords1=\"no\" Keywords2=\"no\" Keywords3=\"no\" "
      "Keywords4=\"no\" Keywords5=\"no\" Keywords6=\"no\" Keywords7=\"no\" "
      "Keywords8=\"no\" />\n"
      "        </Settings>\n"
      "        <KeywordLists>\n";
  for (const KeywordEntry& entry : KeywordEntries()) {
    xml += "            <Keywords name=\"" + XmlText(entry.name) + "\">" +
           XmlText(entry.value) + "</Keywords>\n";
  }
  xml +=
      "        </KeywordLists>\n"
      "        <Styles>\n";
  for (const Style& style : kStyles) {
    xml += std::string("            <WordsStyle name=\"") + style.name +
           "\" fgColor=\"" + style.colour +
           "\" bgColor=\"FFFFFF\" fontName=\"\" fontStyle=\"" +
           std::to_string(style.font_style) + "\" nesting=\"0\" />\n";
  }
  return xml +
         "        </Styles>\n"
         "    </UserLang>\n"
         "</NotepadPlus>\n";
}

}  // namespace scenario
