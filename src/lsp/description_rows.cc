#include "lsp/description_rows.h"

namespace scenario {

namespace {

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Holds(std::string_view field, std::string_view word, bool exact_case) {
  if (word.empty()) return true;
  if (exact_case) return field.find(word) != std::string_view::npos;
  if (word.size() > field.size()) return false;
  for (std::size_t i = 0; i + word.size() <= field.size(); ++i) {
    std::size_t j = 0;
    while (j < word.size() && FoldAscii(field[i + j]) == word[j]) ++j;
    if (j == word.size()) return true;
  }
  return false;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' ||
                        s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

const std::vector<RowGuide> kLineRows = {
    {"lunghezza percorso",
     "line length",
     "Sizes the cell array and the plan: the line's length plus 7000 m of "
     "run-out.",
     {"length (m)"},
     CellRule::kNone,
     -1,
     "lunghezza",
     "percorso",
     false},
    {"progressiva chilometrica tre",
     "kilometre record \"tre\"",
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     {"start (m)", "offset (m)", "flag"},
     CellRule::kNone,
     -1,
     "progressiva",
     "tre",
     true},
    {"progressiva chilometrica due",
     "kilometre record \"due\"",
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     {"start (m)", "offset (m)", "flag"},
     CellRule::kNone,
     -1,
     "progressiva",
     "due",
     true},
    {"progressiva chilometrica uno",
     "kilometre record \"uno\"",
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     {"start (m)", "offset (m)", "flag"},
     CellRule::kNone,
     -1,
     "progressiva",
     "uno",
     true},
    {"sfondo uno",
     "scenery selector one",
     "Passed on to the simulator.",
     {"value"},
     CellRule::kNone,
     -1,
     "sfondo",
     "uno",
     true},
    {"sfondo due",
     "scenery selector two",
     "Passed on to the simulator.",
     {"value"},
     CellRule::kNone,
     -1,
     "sfondo",
     "due",
     true},
    {"sfondo tre",
     "scenery selector three",
     "Passed on to the simulator.",
     {"value"},
     CellRule::kNone,
     -1,
     "sfondo",
     "tre",
     true},
    {"ripetizione segnali 9 codici",
     "signal repetition",
     "The stretch equipped with signal repetition (4 or 9 codes, from the "
     "keyword); an end of 0 means none.",
     {"start (m)", "end (m)"},
     CellRule::kNone,
     -1,
     "ripetizione",
     "segnali",
     true},
    {"pendenza",
     "gradient",
     "From position on, the gradient in per mille, until the next gradient "
     "row.",
     {"position (m)", "gradient (per mille)"},
     CellRule::kFill,
     -1,
     "pendenza",
     "",
     false},
    {"curvas1",
     "curve",
     "A curve of class 1 to 6 (from the keyword), turning left with \"s\", "
     "right with \"d\".",
     {"start (m)", "length (m)"},
     CellRule::kPlan,
     -1,
     "curva",
     "",
     false},
    {"montagna",
     "mountain side",
     "A mountain-side stretch of type tipo (above 10: type tipo - 10 with a "
     "mark on every fourth cell).",
     {"inizio (m)", "fine (m)", "tipo"},
     CellRule::kStretch,
     -1,
     "montagna",
     "",
     false},
    {"indicatori_vmax",
     "maximum-speed board",
     "A board with the speeds of its s and d sets, in km/h, and their "
     "stripes.",
     {"posizione (m)", "vas (km/h)", "vbs (km/h)", "vcs (km/h)", "strisces",
      "vad (km/h)", "vbd (km/h)", "vcd (km/h)", "strisced"},
     CellRule::kItem,
     -1,
     "indicatori_v",
     "",
     false},
    {"cartello_indicatore",
     "indicator board",
     "A board showing its text, such as a kilometre stone.",
     {"position (m)", "text"},
     CellRule::kItem,
     1,
     "indicat",
     "cartello",
     false},
};

const std::vector<RowGuide> kTrainRows = {
    {"percentuale massa frenata",
     "braked mass",
     "The train's braked-mass "
     "percentage.",
     {"percent"},
     CellRule::kNone,
     -1,
     "frenata",
     "massa",
     false},
    {"numero vetture",
     "coaches",
     "The number of coaches of the train.",
     {"count"},
     CellRule::kNone,
     -1,
     "vetture",
     "",
     false},
    {"velocita",
     "speed limit",
     "From position on, the speed limit in km/h (stored in steps of 5 km/h), "
     "until the next speed-limit row.",
     {"position (m)", "speed (km/h)"},
     CellRule::kFill,
     -1,
     "velocit",
     "",
     false},
    {"aderenza",
     "adhesion",
     "From position on, the adhesion value (0 to 255), until the next "
     "adhesion row.",
     {"position (m)", "value"},
     CellRule::kFill,
     -1,
     "aderenza",
     "",
     false},
    {"orologio",
     "clock",
     "The scenario's clock at the start.",
     {"hours", "minutes", "seconds"},
     CellRule::kNone,
     -1,
     "orologio",
     "",
     false},
    {"sabbia",
     "sand",
     "The train's sand.",
     {"amount"},
     CellRule::kNone,
     -1,
     "sabbia",
     "",
     false},
    {"segnale",
     "signal",
     "A signal with its s and d sets; it marks the four look-back cells "
     "2, 4, 6 and 8 cells before its own.",
     {"posizione (m)", "sx", "s1", "s2", "s3", "rapp", "dx", "d1", "d2", "d3",
      "tempo"},
     CellRule::kItem,
     -1,
     "segnale",
     "",
     false},
    {"rallentamento",
     "slowdown",
     "A temporary slowdown from x for l metres at speed v; after 1500 m also "
     "a warning point 1200 m before it.",
     {"x (m)", "v", "l (m)", "f_tt", "f_ta", "d_v"},
     CellRule::kItem,
     -1,
     "rallentamento",
     "",
     false},
    {"abbattimento",
     "code change",
     "From position on, the signal code changes (a code of 0 or below: no "
     "code).",
     {"position (m)", "code"},
     CellRule::kFill,
     -1,
     "abbattimento",
     "",
     false},
    {"stazione",
     "station",
     "A station: its stretch around the position, its slot and, below kind "
     "25, its stop mark.",
     {"position (m)", "kind", "length (m)", "byte 4", "byte 5 (needs 600 m)",
      "end flag (+50 m)", "integer 7", "integer 8", "byte 9", "integer 10",
      "integer 11", "integer 12", "byte 13", "hours", "minutes", "seconds",
      "name"},
     CellRule::kStation,
     16,
     "stazione",
     "",
     false},
};

const std::vector<std::string_view> kLineSections = {
    "[generale]", "[curve]",       "[pendenze]", "[montagne]",
    "[cartelli]", "[indicazioni]", "[fine]"};
const std::vector<std::string_view> kTrainSections = {
    "[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
    "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};
const std::vector<RowGuide> kNoRows;
const std::vector<std::string_view> kNoSections;

}  // namespace

const std::vector<RowGuide>& RowGuides(DescriptionKind file) {
  switch (file) {
    case DescriptionKind::kLine:
      return kLineRows;
    case DescriptionKind::kTrain:
      return kTrainRows;
    case DescriptionKind::kNone:
      break;
  }
  return kNoRows;
}

const std::vector<std::string_view>& SectionHeaders(DescriptionKind file) {
  switch (file) {
    case DescriptionKind::kLine:
      return kLineSections;
    case DescriptionKind::kTrain:
      return kTrainSections;
    case DescriptionKind::kNone:
      break;
  }
  return kNoSections;
}

const RowGuide* RecognizeRow(DescriptionKind file, std::string_view keyword) {
  for (const RowGuide& kind : RowGuides(file)) {
    if (Holds(keyword, kind.word_a, kind.exact_case) &&
        Holds(keyword, kind.word_b, kind.exact_case)) {
      return &kind;
    }
  }
  return nullptr;
}

WrittenRow ReadWrittenRow(DescriptionKind file, std::string_view line) {
  WrittenRow row;
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t comma = line.find(',');
    fields.push_back(Trim(line.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  row.keyword = std::string(fields[0]);
  row.kind = RecognizeRow(file, fields[0]);
  const int text_field = row.kind != nullptr ? row.kind->text_field : -1;
  for (std::size_t i = 1; i < fields.size(); ++i) {
    if (text_field >= 0 &&
        row.values.size() == static_cast<std::size_t>(text_field)) {
      row.values.emplace_back(fields[i]);
      continue;
    }
    // Numbers also end at a blank: "17   15   30" is three fields.
    std::string_view rest = fields[i];
    if (rest.empty()) row.values.emplace_back();
    while (!rest.empty()) {
      const std::size_t blank = rest.find_first_of(" \t");
      row.values.emplace_back(rest.substr(0, blank));
      if (blank == std::string_view::npos) break;
      rest = Trim(rest.substr(blank));
    }
  }
  return row;
}

std::string_view SectionHeaderOf(std::string_view line) {
  line = Trim(line);
  if (line.size() >= 2 && line.front() == '[' && line.back() == ']' &&
      line.find(',') == std::string_view::npos) {
    return line;
  }
  return {};
}

}  // namespace scenario
