#include "line/read_log.h"

#include <array>
#include <utility>

namespace scenario {

namespace {

struct RowKindText {
  std::string_view name;
  std::string_view keyword;
};

constexpr std::array<RowKindText, kRowKindCount> kRowKindTexts = {{
    {"line length", "lunghezza percorso"},
    {"kilometre record \"tre\"", "progressiva chilometrica tre"},
    {"kilometre record \"due\"", "progressiva chilometrica due"},
    {"kilometre record \"uno\"", "progressiva chilometrica uno"},
    {"scenery selector one", "sfondo uno"},
    {"scenery selector two", "sfondo due"},
    {"scenery selector three", "sfondo tre"},
    {"signal repetition", "ripetizione segnali 9 codici"},
    {"gradient", "pendenza"},
    {"curve", "curvas1"},
    {"mountain side", "montagna"},
    {"maximum-speed board", "indicatori_vmax"},
    {"indicator board", "cartello_indicatore"},
    {"braked mass", "percentuale massa frenata"},
    {"coaches", "numero vetture"},
    {"speed limit", "velocita"},
    {"adhesion", "aderenza"},
    {"clock", "orologio"},
    {"sand", "sabbia"},
    {"signal", "segnale"},
    {"slowdown", "rallentamento"},
    {"code change", "abbattimento"},
    {"station", "stazione"},
}};

}  // namespace

std::string_view RowKindName(RowKind kind) {
  return kRowKindTexts[static_cast<std::size_t>(kind)].name;
}

std::string_view RowKindKeyword(RowKind kind) {
  return kRowKindTexts[static_cast<std::size_t>(kind)].keyword;
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
