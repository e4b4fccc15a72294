#include "train/builtin_train.h"

namespace scenario {

// The built-in run of the Exp 5147 from Tarvo Centrale to Cembrio, as its
// description text: 221 lines closed by the end marker.
//
// How the content hangs together:
// - Speed limits: the train runs at the line's rank B speed (vbs of the
//   boards), capped at its coaches' 140 km/h; a limit row stands wherever
//   that value changes, and nowhere else.
// - Stations: the time is the departure (the arrival at the terminus);
//   0, 0, 0 marks the four stations the train runs through. Field 13 is the
//   stop in seconds (1 at the origin). Kinds: 8 the origin, 2 the terminus,
//   22 a station, 4 and 12 the two larger stations, 27 a halt with its own
//   signals, 28 a halt without them; halts get no stop mark. The origin's
//   time is the scenario's late start, 17:15:30, against the timetable's
//   17:12; from there the timetable can be kept by a train that accelerates
//   at 0.3 m/s^2 and brakes at 0.45 m/s^2 within these limits.
// - Signals: a home signal about 400 m before each station's stretch and a
//   departure signal 150 m after it (none at the halts of kind 28), block
//   signals between stations. Shapes (sx, s1..s3, rapp, dx, d1..d3): block
//   2,4,0,0,0,2,1,0,0; block ahead of a home signal 2,4,3,0,0,2,1,0,0; home
//   2,3,1,1,0,0,0,0,0 (2,3,2,1,1,1,3,1,0 at the larger stations, the
//   terminus 2,2,4,1,0,2,2,1,1); departure 2,5,1,1,0,2,2,1,1, eight of them
//   clearing late (tempo).
// - Code changes: one where the signal repetition begins, then one 250 m
//   before each signal up to metre 79700.
// No two of signals, code changes, stop marks and the line's boards take the
// same cell.
std::vector<std::string> dati_treno() {
  return {
      "[generale]",
      "numero vetture,    8",
      "percentuale massa frenata,    120",
      "sabbia,    220",
      "orologio,    17              15            30 ",
      "[aderenze]",
      "aderenza,       0,    76",
      "aderenza,    5500,    73",
      "aderenza,    8750,    69",
      "aderenza,   12100,    67",
      "aderenza,   17500,    65",
      "aderenza,   22000,    68",
      "aderenza,   27000,    71",
      "aderenza,   41000,    74",
      "aderenza,   62000,    78",
      "aderenza,   84000,    72",
      "aderenza,  104000,    70",
      "aderenza,  126000,    77",
      "aderenza,  148000,    80",
      "aderenza,  166000,    87",
      "aderenza,  180150,    83",
      "[vel_limite]",
      "velocita,   0,    30",
      "velocita,    1000,    95",
      "velocita,    3100,    80",
      "velocita,   14000,   140",
      "velocita,   17050,   100",
      "velocita,   22400,   140",
      "velocita,   57950,   120",
      "velocita,   60450,   100",
      "velocita,   65950,   130",
      "velocita,   73450,   110",
      "velocita,   76750,    80",
      "velocita,   78350,   120",
      "velocita,   85950,   140",
      "velocita,   94450,   130",
      "velocita,   99950,   120",
      "velocita,  102950,   100",
      "velocita,  114950,   130",
      "velocita,  118950,   140",
      "velocita,  127950,   110",
      "velocita,  142950,   140",
      "[stazioni]",
      "stazione,       0,  8,  500,  1, 0, 0,  3,1,0,  2,1,1,    1,  17,15,30,"
      " Tarvo Centrale",
      "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, 0,"
      " Tarvo San Rocco",
      "stazione,    5650, 22,  400,  1, 0, 0,  1,1,0,  2,1,0,   60,  17,22, 0,"
      " Borgo Tarvese",
      "stazione,    8200, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,   60,  17,26, 0,"
      " Fornaci di Tarvo",
      "stazione,   11600, 22,  300,  0, 0, 0,  1,1,0,  2,0,0,   60,  17,31, 0,"
      " Valcernia",
      "stazione,   17050, 22,  300,  0, 0, 1,  2,1,0,  2,1,0,   60,  17,37, 0,"
      " Pieve Alderana",
      "stazione,   31100, 22,  400,  0, 0, 0,  2,0,0,  2,0,0,    0,   0, 0, 0,"
      " Casale Ferrone",
      "stazione,   35950, 22,  300,  0, 0, 0,  1,0,0,  2,0,0,    0,   0, 0, 0,"
      " Montecrino",
      "stazione,   40400, 22,  300,  0, 0, 0,  1,0,0,  2,0,0,    0,   0, 0, 0,"
      " Rivabassa",
      "stazione,   44900, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,   60,  17,53, 0,"
      " Croce d'Albaro",
      "stazione,   51250, 27,  200,  0, 0, 0,  0,1,0,  0,0,0,   60,  17,59, 0,"
      " Lovenzo",
      "stazione,   55500, 22,  400,  0, 0, 0,  2,0,0,  2,0,0,    0,   0, 0, 0,"
      " Santa Ilaria",
      "stazione,   62200, 12,  500,  0, 0, 0,  4,1,0,  5,0,1,   99,  18, 8, 0,"
      " Ponte Cervaro",
      "stazione,   70600, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  18,15, 0,"
      " Carvenna Scalo",
      "stazione,   81800, 22,  400,  0, 0, 0,  1,1,0,  2,1,0,   60,  18,24, 0,"
      " Roccamaura",
      "stazione,   97000,  4,  500,  0, 0, 1,  3,1,0,  4,1,0,   75,  18,35, 0,"
      " Selvaterna",
      "stazione,  106000, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  18,43, 0,"
      " Castelbruna",
      "stazione,  112500, 22,  300,  0, 0, 0,  1,1,0,  2,0,1,   60,  18,50, 0,"
      " Fontevera",
      "stazione,  124000, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  18,59, 0,"
      " Prato Lucerio",
      "stazione,  136000, 22,  500,  0, 0, 0,  3,1,0,  4,1,0,   60,  19, 8, 0,"
      " Vallenzia",
      "stazione,  150500, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  19,18, 0,"
      " Molini di Sabbiona",
      "stazione,  161300, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,   60,  19,26, 0,"
      " Ceresano",
      "stazione,  184600,  2,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,  19,40, 0,"
      " Cembrio",
      "[rallentamenti]",
      "[segnali]",
      "segnale,    1050,   2, 5, 1,  1, 0,    2,  2,1,1, 255",
      "segnale,    2250,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,    3450,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,    5050,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,    6000,   2, 5, 1,  1, 0,    2,  2,1,1, 145",
      "segnale,    7700,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,    9350,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   11050,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   11900,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,   13450,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   14950,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   16500,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   17400,   2, 5, 1,  1, 0,    2,  2,1,1, 210",
      "segnale,   19300,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   20900,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   22500,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   24100,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   25700,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   27300,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   28900,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   30500,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   31450,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,   32750,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   34100,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   35400,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   36250,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,   38050,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   39850,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   40700,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,   42400,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   44050,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   45700,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   47400,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   49100,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   50750,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   51500,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,   53200,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   54900,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   55850,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,   57300,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   58700,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   60100,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   61550,   2, 3, 2,  1, 1,    1,  3,1,0, 0",
      "segnale,   62600,   2, 5, 1,  1, 0,    2,  2,1,1, 230",
      "segnale,   64100,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   65550,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   67050,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   68500,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   70000,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   70950,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,   72400,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   73850,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   75300,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   76800,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   78250,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   79700,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   81200,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,   82150,   2, 5, 1,  1, 0,    2,  2,1,1, 235",
      "segnale,   85000,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   87850,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   90650,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,   93500,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,   96350,   2, 3, 2,  1, 1,    1,  3,1,0, 0",
      "segnale,   97450,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,  100100,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  102750,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,  105400,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,  106350,   2, 5, 1,  1, 0,    2,  2,1,1, 130",
      "segnale,  109150,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,  111950,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,  112800,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,  115450,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  118100,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  120750,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,  123400,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,  124350,   2, 5, 1,  1, 0,    2,  2,1,1, 145",
      "segnale,  127100,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  129850,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  132600,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,  135350,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,  136400,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
      "segnale,  139100,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  141800,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  144500,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  147200,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,  149900,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "segnale,  150850,   2, 5, 1,  1, 0,    2,  2,1,1, 210",
      "segnale,  153600,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  156300,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  159050,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  161800,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  164550,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  167300,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  170050,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  172750,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  175500,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  178200,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
      "segnale,  180950,   2, 4, 3,  0, 0,    2,  1,0,0, 0",
      "segnale,  183700,   2, 2, 4,  1, 0,    2,  2,1,1, 0",
      "[codici]",
      "abbattimento,    7050,   270",
      "abbattimento,    7450,   270",
      "abbattimento,    9100,   270",
      "abbattimento,   10800,   270",
      "abbattimento,   11650,   270",
      "abbattimento,   13200,   270",
      "abbattimento,   14700,   270",
      "abbattimento,   16250,   270",
      "abbattimento,   17150,   270",
      "abbattimento,   19050,   270",
      "abbattimento,   20650,   270",
      "abbattimento,   22250,   270",
      "abbattimento,   23850,   270",
      "abbattimento,   25450,   270",
      "abbattimento,   27050,   270",
      "abbattimento,   28650,   270",
      "abbattimento,   30250,   270",
      "abbattimento,   31200,   270",
      "abbattimento,   32500,   270",
      "abbattimento,   33850,   270",
      "abbattimento,   35150,   270",
      "abbattimento,   36000,   270",
      "abbattimento,   37800,   270",
      "abbattimento,   39600,   270",
      "abbattimento,   40450,   270",
      "abbattimento,   42150,   270",
      "abbattimento,   43800,   270",
      "abbattimento,   45450,   270",
      "abbattimento,   47150,   270",
      "abbattimento,   48850,   270",
      "abbattimento,   50500,   270",
      "abbattimento,   51250,   270",
      "abbattimento,   52950,   270",
      "abbattimento,   54650,   270",
      "abbattimento,   55600,   270",
      "abbattimento,   57050,   270",
      "abbattimento,   58450,   270",
      "abbattimento,   59850,   270",
      "abbattimento,   61300,   270",
      "abbattimento,   62350,   270",
      "abbattimento,   63850,   270",
      "abbattimento,   65300,   270",
      "abbattimento,   66800,   270",
      "abbattimento,   68250,   270",
      "abbattimento,   69750,   270",
      "abbattimento,   70700,   270",
      "abbattimento,   72150,   270",
      "abbattimento,   73600,   270",
      "abbattimento,   75050,   270",
      "abbattimento,   76550,   270",
      "abbattimento,   78000,   270",
      "abbattimento,   79450,   270",
      "[fine]",
      "riferimento fine del file",
  };
}

}  // namespace scenario
