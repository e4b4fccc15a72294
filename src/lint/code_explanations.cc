#include "lint/code_explanations.h"

#include <charconv>
#include <cstdint>
#include <span>
#include <system_error>

#include "model/code_table.h"
#include "model/errors.h"

namespace scenario {

namespace {

constexpr std::string_view kProgram = "scenario-compiler";

constexpr std::size_t kWidth = 76;

// Appends text as paragraphs wrapped at kWidth, each line after indent.
void AppendWrapped(std::string* out, std::string_view text,
                   std::string_view indent = "") {
  std::string line(indent);
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(at, end - at);
    if (line.size() > indent.size() && line.size() + 1 + word.size() > kWidth) {
      *out += line + "\n";
      line = std::string(indent);
    }
    if (line.size() > indent.size()) line += ' ';
    line += word;
    at = end + 1;
  }
  if (line.size() > indent.size()) *out += line + "\n";
}

std::string_view FileWords(std::string_view file) {
  if (file == "line") return "the line description";
  if (file == "train") return "the train description";
  if (file == "both") return "either description";
  return "the compiled scenario (no description row)";
}

// Each line of rows after indent.
void AppendRows(std::string* out, std::string_view rows,
                std::string_view indent) {
  std::size_t at = 0;
  while (at <= rows.size()) {
    std::size_t end = rows.find('\n', at);
    if (end == std::string_view::npos) end = rows.size();
    *out += std::string(indent) + std::string(rows.substr(at, end - at)) + "\n";
    at = end + 1;
  }
}

// "|" would end a Markdown table cell.
std::string TableCell(std::string_view text) {
  std::string cell;
  for (char c : text) {
    if (c == '|') cell += '\\';
    cell += c;
  }
  return cell;
}

// The reference's example under an entry's heading: the wrong rows and
// their correction, or a pointer to the table when no row shows it.
template <typename Explanation>
void AppendReferenceExample(std::string* out, const Explanation& e) {
  if (e.wrong.empty()) {
    *out += "No single row shows it; see the table above.\n";
    return;
  }
  *out += "Wrong:\n\n";
  AppendRows(out, e.wrong, "    ");
  *out += "\nRight:\n\n";
  AppendRows(out, e.right, "    ");
}

// The body both kinds of explanation share: the cause, what to change,
// and a wrong row with its correction when there is one.
template <typename Explanation>
void AppendCauseAndCure(std::string* out, const Explanation& e) {
  AppendWrapped(out, e.cause);
  *out += "\n";
  AppendWrapped(out, "What to change: " + std::string(e.fix));
  if (!e.wrong.empty()) {
    *out += "\nWrong:\n";
    AppendRows(out, e.wrong, "    ");
    *out += "Right:\n";
    AppendRows(out, e.right, "    ");
  }
}

// The page's first half: the table of codes, then one heading per code
// with its example.
void AppendCodesMarkdown(std::string* out) {
  *out +=
      "# Error codes\n\n"
      "<!-- Rendered from the program's own table by `scenario-compiler "
      "explain --all`; a test keeps the two equal. -->\n\n"
      "Every code that a compile can record, with what causes it and what "
      "to change. `scenario-compiler explain CODE` prints the same entry on "
      "a terminal. A diagnostic gives the file, line and column of the row "
      "that met the problem; codes 2 and 11 to 13 are found in the compiled "
      "line and give a position (or nothing) instead.\n\n"
      "| Code | File | What causes it | What to change |\n"
      "|---|---|---|---|\n";
  for (const CodeEntry& e : kCodeTable) {
    *out += "| [" + std::to_string(e.code) + "](#code-" +
            std::to_string(e.code) + ") | " +
            (e.file.empty() ? std::string("-") : std::string(e.file)) + " | " +
            TableCell(e.cause) + " | " + TableCell(e.fix) + " |\n";
  }
  for (const CodeEntry& e : kCodeTable) {
    *out += "\n<a id=\"code-" + std::to_string(e.code) + "\"></a>\n## " +
            std::to_string(e.code) + ": " + std::string(e.summary) + "\n\n";
    AppendReferenceExample(out, e);
  }
}

// The page's second half: the table of warning kinds, then one heading per
// kind with its example.
void AppendWarningsMarkdown(std::string* out) {
  *out +=
      "\n# Warnings\n\n"
      "`compile`, `check`, `watch` and `lint` also report what the compiler "
      "compiles but an author almost certainly did not mean. A warning never "
      "changes the compiled files; `-w` hides every warning, `--no-warn NAME` "
      "silences one kind and `--werror` makes warnings fail the command. "
      "`scenario-compiler "
      "explain NAME` prints an entry.\n\n"
      "| Name | What causes it | What to change |\n"
      "|---|---|---|\n";
  for (const WarningKindInfo& e : WarningKinds()) {
    *out += "| [" + std::string(e.name) + "](#" + std::string(e.name) + ") | " +
            TableCell(e.cause) + " | " + TableCell(e.fix) + " |\n";
  }
  for (const WarningKindInfo& e : WarningKinds()) {
    *out += "\n<a id=\"" + std::string(e.name) + "\"></a>\n## " +
            std::string(e.name) + ": " + std::string(e.summary) + "\n\n";
    AppendReferenceExample(out, e);
  }
}

}  // namespace

const CodeEntry* FindCodeExplanation(std::string_view code) {
  std::int32_t value = 0;
  const char* first = code.data();
  const char* last = code.data() + code.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (code.empty() || ec != std::errc() || end != last) return nullptr;
  return FindCodeEntry(value);
}

std::string ExplainHint(std::string_view code_or_name) {
  return "(try: " + std::string(kProgram) + " explain " +
         std::string(code_or_name) + ")";
}

std::string RenderExplanation(const CodeEntry& e) {
  std::string out =
      "error " + std::to_string(e.code) + ": " + std::string(e.summary) + "\n";
  out += "Found in " + std::string(FileWords(e.file)) + ".\n\n";
  AppendCauseAndCure(&out, e);
  return out;
}

std::string RenderExplanation(const WarningKindInfo& e) {
  std::string out =
      "warning " + std::string(e.name) + ": " + std::string(e.summary);
  out += "\nA warning: the files are compiled as written. `--no-warn " +
         std::string(e.name) + "` silences it.\n\n";
  AppendCauseAndCure(&out, e);
  return out;
}

std::string RenderExplanationsMarkdown() {
  std::string out;
  AppendCodesMarkdown(&out);
  AppendWarningsMarkdown(&out);
  return out;
}

}  // namespace scenario
