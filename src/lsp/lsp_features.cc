#include "lsp/lsp_features.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/strings.h"
#include "base/windows1252.h"
#include "line/read_log.h"
#include "line/row_snippet.h"
#include "lint/warnings.h"
#include "lsp/description_rows.h"
#include "lsp/file_uri.h"
#include "lsp/protocol.h"
#include "model/cell_items.h"
#include "model/kilometre_axis.h"
#include "model/rounding.h"
#include "model/track_cells.h"

namespace scenario {

namespace {

using nlohmann::json;

// At most this many characters with no Windows-1252 byte are reported.
constexpr std::size_t kMaxUnmappedReports = 100;

json Position(EditorPosition p) {
  return {{"line", p.line}, {"character", p.character}};
}

json Range(EditorPosition from, EditorPosition to) {
  return {{"start", Position(from)}, {"end", Position(to)}};
}

json LineRange(const EditorDocument& doc, int line) {
  return Range({line, 0}, doc.LineEnd(line));
}

// A number field's value as the field reader reads it, or nullopt when the
// reader would not take it.
std::optional<std::int64_t> Number(std::string_view text) {
  if (text.empty()) return 0;  // an empty number field reads as 0
  // from_chars takes a minus sign only.
  if (text.starts_with('+') && text.size() > 1 && text[1] != '-') {
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::string Kilometre(const DescriptionCheck* check, std::int64_t position) {
  if (check == nullptr) return "";
  const KilometreAxis axis(check->scenario->param_table);
  return "km " + FormatKilometre(axis.Reading(static_cast<double>(position)));
}

// The text for a diagnostic: the explanation, then where on the line it
// lies.
std::string Message(const Diagnostic& d, const DescriptionCheck& check) {
  std::string text = d.message;
  if (d.position) {
    text += " (at " + std::to_string(*d.position) + " m, " +
            Kilometre(&check, *d.position) + ")";
  }
  return text;
}

json MakeDiagnostic(json range, DiagnosticSeverity severity, json code,
                    const std::string& message) {
  return {{"range", std::move(range)},
          {"severity", severity},
          {"code", std::move(code)},
          {"source", kServerName},
          {"message", message}};
}

std::string FieldText(const ItemField& f) {
  std::string text = f.name + " ";
  if (const auto* number = std::get_if<std::int64_t>(&f.value)) {
    text += std::to_string(*number);
  } else {
    text += "\"" + std::get<std::string>(f.value) + "\"";
  }
  if (!f.unit.empty()) text += " " + f.unit;
  return text;
}

// What the compiled model holds in cell c, where a row puts its item.
std::string InCell(const Scenario& s, std::int64_t c) {
  if (!s.track_cells.Contains(c)) {
    return "Cell " + std::to_string(c) + " lies outside the cell array.";
  }
  const TrackCell& cell = s.track_cells[c];
  if (!HasItem(cell)) return "Cell " + std::to_string(c) + " holds no item.";
  std::string text =
      "Cell " + std::to_string(c) + " holds the " + ItemName(cell, c);
  const std::vector<ItemField> fields = ItemFields(cell, c, &s.param_table);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    text += (i == 0 ? ": " : ", ") + FieldText(fields[i]);
  }
  if (cell.kind == kKindSignal) {
    text += "; look-back marks in cells " + std::to_string(c - 2) + ", " +
            std::to_string(c - 4) + ", " + std::to_string(c - 6) + ", " +
            std::to_string(c - 8);
  }
  return text + ".";
}

// The station of a compiled model at a position: its slot, or 0.
int StationSlot(const Scenario& s, std::int64_t position) {
  for (int k = kFirstStationSlot; k < kFirstBoardTextSlot; ++k) {
    const ParamSlot& slot = s.param_table[k];
    if (slot.long3 == position && (slot.long1 != 0 || slot.long2 != 0)) {
      return k;
    }
  }
  return 0;
}

std::string WhereText(const RowGuide& row, const WrittenRow& written,
                      const DescriptionCheck* check) {
  if (row.rule == CellRule::kNone || written.values.empty()) return "";
  const std::optional<std::int64_t> p = Number(written.values[0]);
  if (!p) return "";
  std::string text = "At " + std::to_string(*p) + " m";
  if (check != nullptr) text += ", " + Kilometre(check, *p);
  text += ". ";
  switch (row.rule) {
    case CellRule::kNone:
      break;
    case CellRule::kFill:
      text += "From cell " + std::to_string(FillCell(*p)) + " on.";
      break;
    case CellRule::kItem:
      text += check != nullptr ? InCell(*check->scenario, ItemCell(*p))
                               : "Cell " + std::to_string(ItemCell(*p)) + ".";
      break;
    case CellRule::kStretch: {
      const std::optional<std::int64_t> end =
          written.values.size() > 1 ? Number(written.values[1]) : std::nullopt;
      if (end) {
        text += "Cells " + std::to_string(FillCell(*p)) + " to " +
                std::to_string(FillCell(*end) - 1) + " (to " +
                std::to_string(*end) + " m";
        if (check != nullptr) text += ", " + Kilometre(check, *end);
        text += ").";
      }
      break;
    }
    case CellRule::kStation: {
      const int k = check != nullptr ? StationSlot(*check->scenario, *p) : 0;
      if (k == 0) break;
      const ParamSlot& slot = check->scenario->param_table[k];
      text += "Slot " + std::to_string(k) + "; stretch " +
              std::to_string(slot.long1) + " to " + std::to_string(slot.long2) +
              " m";
      if (StationStops(slot.byte1)) {
        text += ", stop mark in cell " + std::to_string(slot.long2 / 50 - 1);
      }
      text += ".";
      break;
    }
    case CellRule::kPlan: {
      const std::optional<std::int64_t> length =
          written.values.size() > 1 ? Number(written.values[1]) : std::nullopt;
      if (length) {
        text += "Plan metres " + std::to_string(*p + 1) + " to " +
                std::to_string(*p + *length) + ".";
      }
      break;
    }
  }
  return text;
}

std::string MarkdownText(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '|' || c == '\\' || c == '`' || c == '*' || c == '_' || c == '[' ||
        c == '<') {
      out += '\\';
    }
    out += c;
  }
  return out.empty() ? "(empty: 0)" : out;
}

// Inside a code span nothing is escaped; a backquote would end it.
std::string CodeSpanText(std::string text) {
  for (char& c : text) {
    if (c == '`') c = '\'';
  }
  return text;
}

json CompletionItem(std::string_view label, RowKind kind, bool snippets) {
  const RowGuide& row = GuideOf(kind);
  json item = {{"label", std::string(label)},
               {"kind", CompletionItemKind::kKeyword},
               {"detail", std::string(RowKindName(kind))},
               {"documentation", std::string(row.summary)}};
  // Without snippets the fields' names go in as plain text, for the
  // author to type over: the row's shape still shows.
  item["insertText"] = RowSnippet(
      label, kind,
      snippets ? SnippetForm::kPlaceholders : SnippetForm::kPlainText);
  item["insertTextFormat"] =
      snippets ? InsertTextFormat::kSnippet : InsertTextFormat::kPlainText;
  return item;
}

// A code placed in this document: from its field to the end of its line.
// Any other (no place, or the other file's) stands at the first line, the
// other file's with its place in the message.
json CodeDiagnostic(const std::string& path, const EditorDocument& doc,
                    const Diagnostic& d, const DescriptionCheck& check) {
  if (d.where.file == path && d.where.line > 0) {
    const EditorPosition from = doc.FromCompiler(d.where.line, d.where.column);
    return MakeDiagnostic(Range(from, doc.LineEnd(from.line)),
                          DiagnosticSeverity::kError, d.code,
                          Message(d, check));
  }
  std::string message = Message(d, check);
  if (!d.where.file.empty() && d.where.file != path) {
    std::string place = std::string(BaseName(d.where.file));
    if (d.where.line > 0) {
      place += ":" + std::to_string(d.where.line) + ":" +
               std::to_string(d.where.column);
    }
    message = place + ": " + message;
  }
  return MakeDiagnostic(LineRange(doc, 0), DiagnosticSeverity::kError, d.code,
                        message);
}

// REQUIRES: w stands in this document (w.where.file is path, line > 0).
json WarningDiagnostic(const std::string& path, const EditorDocument& doc,
                       const Warning& w, const DescriptionCheck& check) {
  const EditorPosition from = doc.FromCompiler(w.where.line, w.where.column);
  std::string message = w.text;
  if (w.position) {
    message += " (at " + std::to_string(*w.position) + " m, " +
               Kilometre(&check, *w.position) + ")";
  }
  json warning = MakeDiagnostic(Range(from, doc.LineEnd(from.line)),
                                DiagnosticSeverity::kWarning,
                                std::string(WarningName(w.kind)), message);
  if (w.other && w.other->line > 0) {
    // Where the other row stands; its line is enough to find it.
    const EditorPosition other{w.other->line - 1, 0};
    warning["relatedInformation"] = json::array(
        {{{"location",
           {{"uri",
             PathToFileUri(w.other->file.empty() ? path : w.other->file)},
            {"range", Range(other, other)}}},
          {"message", "the other row"}}});
  }
  return warning;
}

// The row that a line of the document makes, read from the top as the
// readers read it.
WrittenRow RowOnLine(DescriptionKind kind, const EditorDocument& doc,
                     int line) {
  RowScanner rows(kind);
  for (int l = 0; l < line; ++l) rows.Next(doc.ByteLine(l));
  return rows.Next(doc.ByteLine(line));
}

std::string RowHoverText(const WrittenRow& written,
                         const DescriptionCheck* check) {
  const RowGuide& row = GuideOf(*written.kind);
  std::string text = "**" + std::string(RowKindName(*written.kind)) + "** `" +
                     CodeSpanText(Windows1252ToUtf8(written.keyword)) +
                     "`\n\n" + std::string(row.summary) + "\n\n";
  for (std::size_t i = 0; i < row.fields.size(); ++i) {
    const std::string value = i < written.values.size()
                                  ? Windows1252ToUtf8(written.values[i])
                                  : "(missing: read from the next line)";
    const FieldGuide& field = *row.fields[i];
    text += "- " + FieldLabel(field) + ": " + MarkdownText(value) + " — " +
            std::string(field.meaning) + " " + std::string(field.compile);
    if (!field.simulator.empty()) {
      text += " The simulator: " + std::string(field.simulator);
    }
    text += "\n";
  }
  for (std::size_t i = row.fields.size(); i < written.values.size(); ++i) {
    text += "- (more): " + MarkdownText(Windows1252ToUtf8(written.values[i])) +
            "\n";
  }
  const std::string where = WhereText(row, written, check);
  if (!where.empty()) text += "\n" + where;
  return text;
}

// A station or a kilometre stone on the outline, or null for any other
// row.
json RowSymbol(const EditorDocument& doc, int line, const WrittenRow& row) {
  if (!row.kind) return nullptr;
  const int t = GuideOf(*row.kind).text_field;
  if (t < 0 || row.values.size() <= static_cast<std::size_t>(t)) {
    return nullptr;
  }
  const std::string& text = row.values[static_cast<std::size_t>(t)];
  const bool station = *row.kind == RowKind::kStation;
  const bool stone = *row.kind == RowKind::kIndicatorBoard &&
                     LowerWindows1252(text).find("cippo") != std::string::npos;
  if (!station && !stone) return nullptr;
  std::string name = Windows1252ToUtf8(text);
  if (name.empty()) name = "(no name)";
  return {{"name", name},
          {"detail", "at " + row.values[0] + " m"},
          {"kind", station ? SymbolKind::kStruct : SymbolKind::kConstant},
          {"range", LineRange(doc, line)},
          {"selectionRange", LineRange(doc, line)}};
}

}  // namespace

json DiagnosticsFor(const std::string& path, const EditorDocument& doc,
                    const DescriptionCheck& check) {
  json list = json::array();
  if (check.no_line_file) {
    list.push_back(MakeDiagnostic(
        LineRange(doc, 0), DiagnosticSeverity::kWarning, "no-line-file",
        "no line description beside this file: a train description "
        "\"LINE_TRAIN-.txt\" is checked against \"LINE_linea.txt\" in the "
        "same folder"));
  }
  if (!check.line_file_problem.empty()) {
    list.push_back(MakeDiagnostic(LineRange(doc, 0), DiagnosticSeverity::kError,
                                  "line-file-unreadable",
                                  check.line_file_problem));
  }
  for (const Diagnostic& d : check.diagnostics) {
    list.push_back(CodeDiagnostic(path, doc, d, check));
  }
  for (const Warning& w : check.warnings) {
    // The other file's warnings show in its own buffer.
    if (w.where.file != path || w.where.line <= 0) continue;
    list.push_back(WarningDiagnostic(path, doc, w, check));
  }
  std::size_t reported = 0;
  for (const EditorPosition& p : doc.unmapped()) {
    if (reported++ == kMaxUnmappedReports) break;
    list.push_back(MakeDiagnostic(
        Range(p, {p.line, p.character + 1}), DiagnosticSeverity::kWarning,
        "not-cp1252",
        "this character has no Windows-1252 byte: the compiler reads \"?\" "
        "here"));
  }
  return list;
}

json HoverFor(DescriptionKind kind, const EditorDocument& doc, int line,
              const DescriptionCheck* check) {
  if (line < 0 || line >= doc.line_count()) return nullptr;
  const WrittenRow written = RowOnLine(kind, doc, line);
  std::string text;
  if (written.kind) {
    text = RowHoverText(written, check);
  } else {
    const std::string_view header = SectionHeaderOf(doc.ByteLine(line));
    if (header.empty()) return nullptr;
    text = "Section header **" + MarkdownText(Windows1252ToUtf8(header)) + "**";
  }
  return {{"contents", {{"kind", kMarkupMarkdown}, {"value", text}}},
          {"range", LineRange(doc, line)}};
}

json SymbolsFor(DescriptionKind kind, const EditorDocument& doc) {
  json top = json::array();
  json* section = nullptr;
  auto close_section = [&](int last_line) {
    if (section != nullptr) {
      (*section)["range"]["end"] = Position(doc.LineEnd(last_line));
    }
  };
  RowScanner rows(kind);
  for (int line = 0; line < doc.line_count(); ++line) {
    const std::string_view bytes = doc.ByteLine(line);
    const WrittenRow row = rows.Next(bytes);
    const std::string_view header = SectionHeaderOf(bytes);
    if (!header.empty()) {
      close_section(line - 1 < 0 ? 0 : line - 1);
      top.push_back({{"name", Windows1252ToUtf8(header)},
                     {"kind", SymbolKind::kNamespace},
                     {"range", LineRange(doc, line)},
                     {"selectionRange", LineRange(doc, line)},
                     {"children", json::array()}});
      section = &top.back();
      continue;
    }
    json symbol = RowSymbol(doc, line, row);
    if (symbol.is_null()) continue;
    if (section != nullptr) {
      (*section)["children"].push_back(std::move(symbol));
    } else {
      top.push_back(std::move(symbol));
    }
  }
  close_section(doc.line_count() - 1);
  return top;
}

json CompletionFor(DescriptionKind kind, const EditorDocument& doc,
                   EditorPosition at, bool snippets) {
  json items = json::array();
  const std::string_view line = doc.ByteLine(at.line);
  const std::size_t column = doc.ByteColumn(at);
  if (line.substr(0, column).find(',') != std::string_view::npos) {
    return items;
  }
  for (const RowKind row : RowKindsOf(kind)) {
    if (row == RowKind::kCurve) {
      // Both turns; the class digit is the author's to change.
      for (std::string_view label : {"curvas1", "curvad1"}) {
        items.push_back(CompletionItem(label, row, snippets));
      }
      continue;
    }
    items.push_back(CompletionItem(RowKindKeyword(row), row, snippets));
  }
  for (std::string_view header : SectionHeaders(kind)) {
    items.push_back({{"label", std::string(header)},
                     {"kind", CompletionItemKind::kModule},
                     {"detail", "section header"},
                     {"insertText", std::string(header)},
                     {"insertTextFormat", InsertTextFormat::kPlainText}});
  }
  return items;
}

}  // namespace scenario
