#include "line/line_keywords.h"

namespace scenario {

bool IsLineGeneralHeader(std::string_view field) {
  return HasAnyCase(field, "[generale]");
}

bool IsDashField(std::string_view field) { return Has(field, "-"); }

RowKindSet LineGeneralRowKinds(std::string_view field, bool fold_case) {
  auto has = [&](std::string_view word) {
    return fold_case ? HasAnyCase(field, word) : Has(field, word);
  };
  RowKindSet kinds = 0;
  if (HasAnyCase(field, "percorso") && HasAnyCase(field, "lunghezza")) {
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
  if (HasAnyCase(field, "pendenza")) kinds |= RowBit(RowKind::kGradient);
  if (HasAnyCase(field, "curva")) kinds |= RowBit(RowKind::kCurve);
  if (HasAnyCase(field, "montagna")) kinds |= RowBit(RowKind::kMountain);
  if (HasAnyCase(field, "indicatori_v")) {
    kinds |= RowBit(RowKind::kSpeedBoard);
  }
  if (HasAnyCase(field, "indicat") && HasAnyCase(field, "cartello")) {
    kinds |= RowBit(RowKind::kIndicatorBoard);
  }
  return kinds;
}

bool EndsGeneralPart(std::string_view field) {
  if (!Has(field, "[") || !Has(field, "]")) return false;
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  return i >= field.size() || field[i] != '-';
}

}  // namespace scenario
