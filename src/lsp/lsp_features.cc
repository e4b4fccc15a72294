#include "lsp/lsp_features.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/windows1252.h"
#include "lint/warnings.h"
#include "lsp/description_rows.h"
#include "lsp/file_uri.h"
#include "model/cell_items.h"
#include "model/kilometre_axis.h"
#include "model/rounding.h"
#include "model/track_cells.h"

namespace scenario {

namespace {

using nlohmann::json;

constexpr std::string_view kSource = "scenario-compiler";
constexpr int kSeverityError = 1;
constexpr int kSeverityWarning = 2;
// At most this many characters with no Windows-1252 byte are reported.
constexpr std::size_t kMaxUnmappedReports = 100;

// Protocol enumerations.
constexpr int kSymbolNamespace = 3;
constexpr int kSymbolConstant = 14;
constexpr int kSymbolStruct = 23;
constexpr int kCompletionModule = 9;
constexpr int kCompletionKeyword = 14;
constexpr int kInsertPlainText = 1;
constexpr int kInsertSnippet = 2;

json Position(EditorPosition p) {
  return {{"line", p.line}, {"character", p.character}};
}

json Range(EditorPosition from, EditorPosition to) {
  return {{"start", Position(from)}, {"end", Position(to)}};
}

json LineRange(const EditorDocument& doc, int line) {
  return Range({line, 0}, doc.LineEnd(line));
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<std::int64_t> Number(std::string_view text) {
  if (text.empty()) return 0;  // an empty number field reads as 0
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

json MakeDiagnostic(json range, int severity, json code,
                    const std::string& message) {
  return {{"range", std::move(range)},
          {"severity", severity},
          {"code", std::move(code)},
          {"source", kSource},
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

// The snippet escapes: "$", "}" and "\" stand for themselves after "\".
std::string SnippetText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '$' || c == '}' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

json CompletionItem(std::string_view label, std::string_view prefix_keyword,
                    const RowGuide& row, bool snippets) {
  json item = {{"label", std::string(label)},
               {"kind", kCompletionKeyword},
               {"detail", std::string(row.title)},
               {"documentation", std::string(row.summary)}};
  if (!snippets) {
    item["insertText"] = std::string(prefix_keyword) + ",  ";
    item["insertTextFormat"] = kInsertPlainText;
    return item;
  }
  std::string text = SnippetText(prefix_keyword);
  int n = 1;
  for (std::string_view field : row.fields) {
    text += ",  ${" + std::to_string(n++) + ":" + SnippetText(field) + "}";
  }
  item["insertText"] = text;
  item["insertTextFormat"] = kInsertSnippet;
  return item;
}

}  // namespace

json DiagnosticsFor(const std::string& path, const EditorDocument& doc,
                    const DescriptionCheck& check) {
  json list = json::array();
  if (check.no_line_file) {
    list.push_back(MakeDiagnostic(
        LineRange(doc, 0), kSeverityWarning, "no-line-file",
        "no line description beside this file: a train description "
        "\"LINE_TRAIN-.txt\" is checked against \"LINE_linea.txt\" in the "
        "same folder"));
  }
  for (const Diagnostic& d : check.diagnostics) {
    if (d.where.file == path && d.where.line > 0) {
      const EditorPosition from =
          doc.FromCompiler(d.where.line, d.where.column);
      list.push_back(MakeDiagnostic(Range(from, doc.LineEnd(from.line)),
                                    kSeverityError, d.code, Message(d, check)));
      continue;
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
    list.push_back(
        MakeDiagnostic(LineRange(doc, 0), kSeverityError, d.code, message));
  }
  for (const Warning& w : check.warnings) {
    // The other file's warnings show in its own buffer.
    if (w.where.file != path || w.where.line <= 0) continue;
    const EditorPosition from = doc.FromCompiler(w.where.line, w.where.column);
    std::string message = w.text;
    if (w.position) {
      message += " (at " + std::to_string(*w.position) + " m, " +
                 Kilometre(&check, *w.position) + ")";
    }
    json warning =
        MakeDiagnostic(Range(from, doc.LineEnd(from.line)), kSeverityWarning,
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
    list.push_back(std::move(warning));
  }
  std::size_t reported = 0;
  for (const EditorPosition& p : doc.unmapped()) {
    if (reported++ == kMaxUnmappedReports) break;
    list.push_back(MakeDiagnostic(
        Range(p, {p.line, p.character + 1}), kSeverityWarning, "not-cp1252",
        "this character has no Windows-1252 byte: the compiler reads \"?\" "
        "here"));
  }
  return list;
}

json HoverFor(DescriptionKind kind, const EditorDocument& doc, int line,
              const DescriptionCheck* check) {
  if (line < 0 || line >= doc.line_count()) return nullptr;
  const WrittenRow written = ReadWrittenRow(kind, doc.ByteLine(line));
  std::string text;
  if (written.kind == nullptr) {
    const std::string_view header = SectionHeaderOf(doc.ByteLine(line));
    if (header.empty()) return nullptr;
    text = "Section header **" + MarkdownText(Windows1252ToUtf8(header)) + "**";
  } else {
    const RowGuide& row = *written.kind;
    text = "**" + std::string(row.title) + "** `" +
           CodeSpanText(Windows1252ToUtf8(written.keyword)) + "`\n\n" +
           std::string(row.summary) + "\n\n";
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
      const std::string value = i < written.values.size()
                                    ? Windows1252ToUtf8(written.values[i])
                                    : "(missing: read from the next line)";
      text +=
          "- " + std::string(row.fields[i]) + ": " + MarkdownText(value) + "\n";
    }
    for (std::size_t i = row.fields.size(); i < written.values.size(); ++i) {
      text +=
          "- (more): " + MarkdownText(Windows1252ToUtf8(written.values[i])) +
          "\n";
    }
    const std::string where = WhereText(row, written, check);
    if (!where.empty()) text += "\n" + where;
  }
  return {{"contents", {{"kind", "markdown"}, {"value", text}}},
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
  for (int line = 0; line < doc.line_count(); ++line) {
    const std::string_view bytes = doc.ByteLine(line);
    const std::string_view header = SectionHeaderOf(bytes);
    if (!header.empty()) {
      close_section(line - 1 < 0 ? 0 : line - 1);
      top.push_back({{"name", Windows1252ToUtf8(header)},
                     {"kind", kSymbolNamespace},
                     {"range", LineRange(doc, line)},
                     {"selectionRange", LineRange(doc, line)},
                     {"children", json::array()}});
      section = &top.back();
      continue;
    }
    const WrittenRow row = ReadWrittenRow(kind, bytes);
    if (row.kind == nullptr || row.kind->text_field < 0) continue;
    const std::size_t t = static_cast<std::size_t>(row.kind->text_field);
    if (row.values.size() <= t) continue;
    const bool station = row.kind->rule == CellRule::kStation;
    const bool stone =
        row.kind->keyword == "cartello_indicatore" &&
        LowerWindows1252(row.values[t]).find("cippo") != std::string::npos;
    if (!station && !stone) continue;
    std::string name = Windows1252ToUtf8(row.values[t]);
    if (name.empty()) name = "(no name)";
    json symbol = {{"name", name},
                   {"detail", "at " + row.values[0] + " m"},
                   {"kind", station ? kSymbolStruct : kSymbolConstant},
                   {"range", LineRange(doc, line)},
                   {"selectionRange", LineRange(doc, line)}};
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
  for (const RowGuide& row : RowGuides(kind)) {
    if (row.rule == CellRule::kPlan) {
      for (std::string_view label : {"curvas1", "curvad1"}) {
        items.push_back(CompletionItem(label, label, row, snippets));
      }
      continue;
    }
    items.push_back(CompletionItem(row.keyword, row.keyword, row, snippets));
  }
  for (std::string_view header : SectionHeaders(kind)) {
    items.push_back({{"label", std::string(header)},
                     {"kind", kCompletionModule},
                     {"detail", "section header"},
                     {"insertText", std::string(header)},
                     {"insertTextFormat", kInsertPlainText}});
  }
  return items;
}

}  // namespace scenario
