#include "compile/small_pair_testing.h"

namespace scenario {

std::string DescriptionText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::vector<std::string> SmallLineRows() {
  return {
      "[generale]",                                              // 1
      "lunghezza percorso,    7000",                             // 2
      "progressiva chilometrica uno,    500,    1000,    0",     // 3
      "progressiva chilometrica due,    0,    0,    0",          // 4
      "progressiva chilometrica tre,    0,    0,    0",          // 5
      "sfondo uno,    1",                                        // 6
      "sfondo due,    0",                                        // 7
      "sfondo tre,    0",                                        // 8
      "ripetizione segnali 9 codici,    1050,    3000",          // 9
      "[curve]",                                                 // 10
      "curvad2,  500,  100",                                     // 11
      "curvas1,  900,  100",                                     // 12
      "[pendenze]",                                              // 13
      "pendenza,  0,   5",                                       // 14
      "pendenza,  1000,   -3",                                   // 15
      "[montagne]",                                              // 16
      "montagna,   1500,  1700,  12",                            // 17
      "[cartelli]",                                              // 18
      "indicatori_vmax,  100,  90,  95,  100,  0,  ,  ,  ,  0",  // 19
      "[indicazioni]",                                           // 20
      "cartello_indicatore,  2500,   (Km 3+500)",                // 21
      "[fine]",                                                  // 22
  };
}

std::vector<std::string> SmallTrainRows() {
  return {
      "[generale]",                                      // 1
      "numero vetture,    8",                            // 2
      "percentuale massa frenata,    120",               // 3
      "sabbia,    220",                                  // 4
      "orologio,    17              15            30 ",  // 5
      "[aderenze]",                                      // 6
      "aderenza,       0,    76",                        // 7
      "aderenza,    1500,    80",                        // 8
      "[vel_limite]",                                    // 9
      "velocita,   0,    30",                            // 10
      "velocita,    1000,    95",                        // 11
      "[stazioni]",                                      // 12
      "stazione,   0, 8, 500, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 17, 15, 30, "
      "Tarvo",  // 13
      "stazione,   5000, 2, 600, 1, 1, 0, 4, 1, 0, 5, 1, 1, 60, 17, 25, 0, "
      "Borgo-Nuovo",                                            // 14
      "[rallentamenti]",                                        // 15
      "rallentamento,   6000,  60,  500,  40,  1,  0",          // 16
      "[segnali]",                                              // 17
      "segnale,    1050,   2, 5, 1,  1, 0,    2,  2,1,1, 255",  // 18
      "segnale,    4450,   2, 3, 1,  1, 0,    0,  0,0,0, 0",    // 19
      "[codici]",                                               // 20
      "abbattimento,    1500,    270",                          // 21
      "[fine]",                                                 // 22
  };
}

std::string SmallLineText() { return DescriptionText(SmallLineRows()); }

std::string SmallTrainText() { return DescriptionText(SmallTrainRows()); }

}  // namespace scenario
