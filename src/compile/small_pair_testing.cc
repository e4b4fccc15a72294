#include "compile/small_pair_testing.h"

namespace scenario {

std::string DescriptionText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string SmallLineText() {
  return DescriptionText({
      "[generale]",
      "lunghezza percorso,    3000",
      "progressiva chilometrica uno,    500,    1000,    0",
      "progressiva chilometrica due,    0,    0,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    1",
      "sfondo due,    0",
      "sfondo tre,    0",
      "ripetizione segnali 9 codici,    1050,    3000",
      "[curve]",
      "curvad2,  500,  100",
      "[pendenze]",
      "pendenza,  0,   5",
      "pendenza,  1000,   -3",
      "[montagne]",
      "[cartelli]",
      "[indicazioni]",
      "cartello_indicatore,  2500,   (Km 3+500)",
      "[fine]",
  });
}

std::string SmallTrainText() {
  return DescriptionText({
      "[generale]",
      "numero vetture,    8",
      "percentuale massa frenata,    120",
      "sabbia,    220",
      "orologio,    17              15            30 ",
      "[aderenze]",
      "aderenza,       0,    76",
      "aderenza,    1500,    80",
      "[vel_limite]",
      "velocita,   0,    30",
      "velocita,    1000,    95",
      "[stazioni]",
      "stazione,   0, 8, 500, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 17, 15, 30, Tarvo",
      "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
      "Borgo-Nuovo",
      "[rallentamenti]",
      "rallentamento,   6000,  60,  500,  40,  1,  0",
      "[segnali]",
      "segnale,    1050,   2, 5, 1,  1, 0,    2,  2,1,1, 255",
      "segnale,    4450,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "[codici]",
      "abbattimento,    1500,    270",
      "[fine]",
  });
}

}  // namespace scenario
