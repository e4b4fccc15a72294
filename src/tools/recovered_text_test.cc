#include "tools/recovered_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

RecoveredRow Row(RowKind kind, std::vector<std::int64_t> numbers,
                 std::string text = "", std::string keyword = "") {
  return {kind, std::move(keyword), std::move(numbers), std::move(text)};
}

// Each kind's row as the built-in pair (or, for the slowdown it lacks,
// the reference's example) writes it.
TEST(RecoveredText, EachKindIsWrittenAsTheBuiltInPairWritesIt) {
  struct Case {
    RecoveredRow row;
    const char* line;
  };
  const Case kCases[] = {
      {Row(RowKind::kLength, {185700}), "lunghezza percorso,    185700"},
      {Row(RowKind::kKilometreUno, {31100, 3050, 0}),
       "progressiva chilometrica uno,    31100,    3050,    0"},
      {Row(RowKind::kKilometreDue, {0, 0, 0}),
       "progressiva chilometrica due,    0,    0,    0"},
      {Row(RowKind::kKilometreTre, {0, 0, 0}),
       "progressiva chilometrica tre,    0,    0,    0"},
      {Row(RowKind::kSelectorUno, {1}), "sfondo uno,    1"},
      {Row(RowKind::kSelectorDue, {0}), "sfondo due,    0"},
      {Row(RowKind::kSelectorTre, {0}), "sfondo tre,    0"},
      {Row(RowKind::kRepetition, {7050, 185700}),
       "ripetizione segnali 9 codici,    7050,    185700"},
      {Row(RowKind::kCurve, {5450, 200}, "", "curvad3"),
       "curvad3,  5450,  200"},
      {Row(RowKind::kGradient, {600, -11}), "pendenza,  600,   -11"},
      {Row(RowKind::kMountain, {8750, 11150, 12}),
       "montagna,   8750,  11150,  12"},
      {Row(RowKind::kSpeedBoard, {3100, 75, 80, 90, 0, 75, 80, 90, 0}),
       "indicatori_vmax,  3100,  75,  80,  90,  0,  75,  80,  90,  0"},
      {Row(RowKind::kSpeedBoard, {1000, 90, 95, 100, 0, 0, 0, 0, 0}),
       "indicatori_vmax,  1000,  90,  95,  100,  0,  ,  ,  ,  0"},
      {Row(RowKind::kIndicatorBoard, {28000}, "(  Cippo  )(Km 28+000)"),
       "cartello_indicatore,  28000,   (  Cippo  )(Km 28+000)"},
      {Row(RowKind::kCoaches, {8}), "numero vetture,    8"},
      {Row(RowKind::kBrakedMass, {120}), "percentuale massa frenata,    120"},
      {Row(RowKind::kSand, {220}), "sabbia,    220"},
      {Row(RowKind::kClock, {8, 10, 0}),
       "orologio,    8              10            0"},
      {Row(RowKind::kAdhesion, {0, 76}), "aderenza,       0,    76"},
      {Row(RowKind::kAdhesion, {104000, 70}), "aderenza,  104000,    70"},
      {Row(RowKind::kSpeedLimit, {14000, 140}), "velocita,   14000,   140"},
      {Row(RowKind::kStation,
           {3100, 22, 400, 0, 0, 0, 2, 1, 0, 2, 1, 0, 60, 17, 18, 0},
           "Tarvo San Rocco"),
       "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
       "0, Tarvo San Rocco"},
      {Row(RowKind::kSlowdown, {4000, 30, 300, 0, 1, 0}),
       "rallentamento,    4000,    30,    300,    0,    1,    0"},
      {Row(RowKind::kSignal, {1050, 2, 5, 1, 1, 0, 2, 2, 1, 1, 255}),
       "segnale,    1050,   2, 5, 1,  1, 0,    2,  2,1,1, 255"},
      {Row(RowKind::kCodeChange, {10800, 270}), "abbattimento,   10800,   270"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(RecoveredRowLine(c.row), c.line);
  }
}

// A text goes between quotes exactly when the field reader would not give
// it back as it stands.
TEST(RecoveredText, TextsThatWouldNotReadBackAreQuoted) {
  struct Case {
    const char* text;
    const char* written;
  };
  const Case kCases[] = {
      {"(Dev.I.)", "(Dev.I.)"},
      {"", ""},
      {"Croce d'Albaro", "Croce d'Albaro"},
      {"a \"b\"", "a \"b\""},
      {"Km 3,5", "\"Km 3,5\""},
      {"  Cippo", "\"  Cippo\""},
      {"Cippo\t", "\"Cippo\t\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"\"quoted", "\"\"quoted\""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RecoveredRowLine(Row(RowKind::kIndicatorBoard, {50}, c.text)),
              std::string("cartello_indicatore,  50,   ") + c.written);
  }
}

TEST(RecoveredText, LineRowsStandUnderTheirSectionsAndGeneralRowsFirst) {
  RecoveredDescription line;
  line.rows = {
      Row(RowKind::kLength, {6000}),
      Row(RowKind::kIndicatorBoard, {3000}, "Km 15"),
      Row(RowKind::kCurve, {1500, 300}, "", "curvas3"),
      Row(RowKind::kGradient, {0, 0}),
      // After a row of a later section, a gradient follows it there: the
      // order of the rows is kept.
      Row(RowKind::kGradient, {800, -6}),
      // A general row is read only before the first section header.
      Row(RowKind::kSelectorUno, {1}),
  };
  EXPECT_EQ(LineDescriptionText(line),
            "[generale]\r\n"
            "lunghezza percorso,    6000\r\n"
            "sfondo uno,    1\r\n"
            "[curve]\r\n"
            "[pendenze]\r\n"
            "[montagne]\r\n"
            "[cartelli]\r\n"
            "[indicazioni]\r\n"
            "cartello_indicatore,  3000,   Km 15\r\n"
            "curvas3,  1500,  300\r\n"
            "pendenza,  0,   0\r\n"
            "pendenza,  800,   -6\r\n"
            "[fine]\r\n");
}

TEST(RecoveredText, TrainRowsKeepTheirGivenOrderAcrossSections) {
  RecoveredDescription train;
  train.rows = {
      Row(RowKind::kCoaches, {4}),
      Row(RowKind::kAdhesion, {0, 80}),
      Row(RowKind::kSignal, {1600, 2, 5, 1, 1, 0, 2, 2, 1, 1, 0}),
      // A station read after the signal gives its approach marks after
      // the signal's: it stays after it, under the signals' header.
      Row(RowKind::kStation,
          {2400, 22, 300, 0, 0, 0, 1, 1, 0, 2, 0, 0, 60, 8, 14, 30},
          "Ponte Rio"),
      Row(RowKind::kCodeChange, {1000, 270}),
  };
  EXPECT_EQ(TrainDescriptionText(train),
            "[generale]\r\n"
            "numero vetture,    4\r\n"
            "[aderenze]\r\n"
            "aderenza,       0,    80\r\n"
            "[vel_limite]\r\n"
            "[stazioni]\r\n"
            "[rallentamenti]\r\n"
            "[segnali]\r\n"
            "segnale,    1600,   2, 5, 1,  1, 0,    2,  2,1,1, 0\r\n"
            "stazione,    2400, 22,  300,  0, 0, 0,  1,1,0,  2,0,0,   60,   "
            "8,14,30, Ponte Rio\r\n"
            "[codici]\r\n"
            "abbattimento,    1000,   270\r\n"
            "[fine]\r\n");
}

}  // namespace
}  // namespace scenario
