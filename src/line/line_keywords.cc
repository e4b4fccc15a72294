#include "line/line_keywords.h"

namespace scenario {

namespace {

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool Contains(std::string_view field, std::string_view word) {
  return field.find(word) != std::string_view::npos;
}

bool ContainsAnyCase(std::string_view field, std::string_view word) {
  if (word.size() > field.size()) return false;
  for (std::size_t i = 0; i + word.size() <= field.size(); ++i) {
    std::size_t j = 0;
    while (j < word.size() && FoldAscii(field[i + j]) == word[j]) ++j;
    if (j == word.size()) return true;
  }
  return false;
}

RowKindSet LineGeneralRowKinds(std::string_view field, bool fold_case) {
  auto has = [&](std::string_view word) {
    return fold_case ? ContainsAnyCase(field, word) : Contains(field, word);
  };
  RowKindSet kinds = 0;
  if (ContainsAnyCase(field, "percorso") &&
      ContainsAnyCase(field, "lunghezza")) {
    kinds |= RowBit(RowKind::kLength);
  }
  if (has("tre") && has("progressiva")) kinds |= RowBit(RowKind::kKilometreTre);
  if (has("due") && has("progressiva")) kinds |= RowBit(RowKind::kKilometreDue);
  if (has("uno") && has("progressiva")) kinds |= RowBit(RowKind::kKilometreUno);
  if (has("sfondo") && has("uno")) kinds |= RowBit(RowKind::kSelectorUno);
  if (has("sfondo") && has("due")) kinds |= RowBit(RowKind::kSelectorDue);
  if (has("sfondo") && has("tre")) kinds |= RowBit(RowKind::kSelectorTre);
  if (has("segnali") && has("ripetizione")) {
    kinds |= RowBit(RowKind::kRepetition);
  }
  return kinds;
}

RowKindSet LineMainRowKinds(std::string_view field) {
  RowKindSet kinds = 0;
  if (ContainsAnyCase(field, "pendenza")) kinds |= RowBit(RowKind::kGradient);
  if (ContainsAnyCase(field, "curva")) kinds |= RowBit(RowKind::kCurve);
  if (ContainsAnyCase(field, "montagna")) kinds |= RowBit(RowKind::kMountain);
  if (ContainsAnyCase(field, "indicatori_v")) {
    kinds |= RowBit(RowKind::kSpeedBoard);
  }
  if (ContainsAnyCase(field, "indicat") && ContainsAnyCase(field, "cartello")) {
    kinds |= RowBit(RowKind::kIndicatorBoard);
  }
  return kinds;
}

bool EndsGeneralPart(std::string_view field) {
  if (!Contains(field, "[") || !Contains(field, "]")) return false;
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  return i >= field.size() || field[i] != '-';
}

}  // namespace scenario
