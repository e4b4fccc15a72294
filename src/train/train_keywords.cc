#include "train/train_keywords.h"

#include "line/line_keywords.h"

namespace scenario {

RowKindSet TrainRowKinds(std::string_view field) {
  struct Test {
    RowKind kind;
    std::string_view word;
    std::string_view second_word;  // "" when one word decides
  };
  static constexpr Test kTests[] = {
      {RowKind::kBrakedMass, "frenata", "massa"},
      {RowKind::kCoaches, "vetture", ""},
      {RowKind::kSpeedLimit, "velocit", ""},
      {RowKind::kAdhesion, "aderenza", ""},
      {RowKind::kClock, "orologio", ""},
      {RowKind::kSand, "sabbia", ""},
      {RowKind::kSignal, "segnale", ""},
      {RowKind::kSlowdown, "rallentamento", ""},
      {RowKind::kCodeChange, "abbattimento", ""},
      {RowKind::kStation, "stazione", ""},
  };
  RowKindSet kinds = 0;
  for (const Test& t : kTests) {
    if (ContainsAnyCase(field, t.word) &&
        (t.second_word.empty() || ContainsAnyCase(field, t.second_word))) {
      kinds |= RowBit(t.kind);
    }
  }
  return kinds;
}

bool IsTrainGeneralHeader(std::string_view field) {
  return ContainsAnyCase(field, "[generale]");
}

}  // namespace scenario
