#include "line/read_log.h"

#include <array>
#include <utility>

namespace scenario {

namespace {

struct RowKindText {
  std::string_view name;
  std::string_view keyword;
  std::size_t values;  // fields its reader reads after the keyword
};

constexpr std::array<RowKindText, kRowKindCount> kRowKindTexts = {{
    {"line length", "lunghezza percorso", 1},
    {"kilometre record \"tre\"", "progressiva chilometrica tre", 3},
    {"kilometre record \"due\"", "progressiva chilometrica due", 3},
    {"kilometre record \"uno\"", "progressiva chilometrica uno", 3},
    {"scenery selector one", "sfondo uno", 1},
    {"scenery selector two", "sfondo due", 1},
    {"scenery selector three", "sfondo tre", 1},
    {"signal repetition", "ripetizione segnali 9 codici", 2},
    {"gradient", "pendenza", 2},
    {"curve", "curvas1", 2},
    {"mountain side", "montagna", 3},
    {"maximum-speed board", "indicatori_vmax", 9},
    {"indicator board", "cartello_indicatore", 2},
    {"braked mass", "percentuale massa frenata", 1},
    {"coaches", "numero vetture", 1},
    {"speed limit", "velocita", 2},
    {"adhesion", "aderenza", 2},
    {"clock", "orologio", 3},
    {"sand", "sabbia", 1},
    {"signal", "segnale", 11},
    {"slowdown", "rallentamento", 6},
    {"code change", "abbattimento", 2},
    {"station", "stazione", 17},
}};

}  // namespace

std::string_view RowKindName(RowKind kind) {
  return kRowKindTexts[static_cast<std::size_t>(kind)].name;
}

std::string_view RowKindKeyword(RowKind kind) {
  return kRowKindTexts[static_cast<std::size_t>(kind)].keyword;
}

std::size_t RowKindValueCount(RowKind kind) {
  return kRowKindTexts[static_cast<std::size_t>(kind)].values;
}

void ReadLog::AddField(LoggedField field) {
  fields_.push_back(std::move(field));
}

void ReadLog::Keyword(KeywordUse use, ReadPart part, RowKindSet matches) {
  if (fields_.empty()) return;
  // The keyword field itself was read after the open row's last field.
  if (row_open_) {
    rows_.back().end_field = fields_.size() - 1;
    row_open_ = false;
  }
  keywords_.push_back({fields_.size() - 1, use, part, matches});
}

void ReadLog::BeginRow(RowKind kind) {
  EndRow();
  if (fields_.empty()) return;
  const std::size_t keyword =
      keywords_.empty() ? fields_.size() - 1 : keywords_.back().field;
  rows_.push_back({kind, keyword, fields_.size(), fields_.size()});
  row_open_ = true;
}

void ReadLog::EndRow() {
  if (!row_open_) return;
  rows_.back().end_field = fields_.size();
  row_open_ = false;
}

}  // namespace scenario
