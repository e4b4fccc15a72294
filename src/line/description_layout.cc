#include "line/description_layout.h"

#include <array>
#include <cstddef>

namespace scenario {

namespace {

constexpr std::string_view kLineSections[] = {
    "[generale]", "[curve]",       "[pendenze]", "[montagne]",
    "[cartelli]", "[indicazioni]", "[fine]"};
constexpr std::string_view kTrainSections[] = {
    "[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
    "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};

// The line's rows come first in RowKind, the train's after them.
constexpr RowKind kFirstTrainRow = RowKind::kBrakedMass;

// In the order of RowKind.
constexpr std::array<std::string_view, kRowKindCount> kRowSections = {{
    "[generale]",       // length
    "[generale]",       // kilometre tre
    "[generale]",       // kilometre due
    "[generale]",       // kilometre uno
    "[generale]",       // selector uno
    "[generale]",       // selector due
    "[generale]",       // selector tre
    "[generale]",       // repetition
    "[pendenze]",       // gradient
    "[curve]",          // curve
    "[montagne]",       // mountain
    "[cartelli]",       // speed board
    "[indicazioni]",    // indicator board
    "[generale]",       // braked mass
    "[generale]",       // coaches
    "[vel_limite]",     // speed limit
    "[aderenze]",       // adhesion
    "[generale]",       // clock
    "[generale]",       // sand
    "[segnali]",        // signal
    "[rallentamenti]",  // slowdown
    "[codici]",         // code change
    "[stazioni]",       // station
}};

}  // namespace

DescriptionFile RowKindFile(RowKind kind) {
  return static_cast<int>(kind) < static_cast<int>(kFirstTrainRow)
             ? DescriptionFile::kLine
             : DescriptionFile::kTrain;
}

std::vector<RowKind> RowKindsOfFile(DescriptionFile file) {
  std::vector<RowKind> kinds;
  for (int k = 0; k < kRowKindCount; ++k) {
    const RowKind kind = static_cast<RowKind>(k);
    if (RowKindFile(kind) == file) kinds.push_back(kind);
  }
  return kinds;
}

std::span<const std::string_view> DescriptionSections(DescriptionFile file) {
  if (file == DescriptionFile::kLine) return kLineSections;
  return kTrainSections;
}

std::string_view RowKindSection(RowKind kind) {
  return kRowSections[static_cast<std::size_t>(kind)];
}

bool RowKindKeywordExactCase(RowKind kind) {
  return RowKindFile(kind) == DescriptionFile::kLine &&
         RowKindSection(kind) == "[generale]" && kind != RowKind::kLength;
}

std::vector<std::string> RowKindKeywordForms(RowKind kind) {
  std::vector<std::string> forms = {std::string(RowKindKeyword(kind))};
  if (kind == RowKind::kCurve) {
    // The reader takes the class from the lowest of the digits 1 to 6 the
    // keyword holds and the side from an "s" in any case anywhere in it
    // (else right): one digit and "s" or "d" after "curva" says both.
    forms.clear();
    for (const char side : {'s', 'd'}) {
      for (char digit = '1'; digit <= '6'; ++digit) {
        forms.push_back(std::string("curva") + side + digit);
      }
    }
  } else if (kind == RowKind::kRepetition) {
    // The reader takes the number of codes from a "4", else a "9", in the
    // keyword.
    forms.push_back("ripetizione segnali 4 codici");
  }
  return forms;
}

}  // namespace scenario
