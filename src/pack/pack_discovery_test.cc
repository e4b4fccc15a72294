#include "pack/pack_discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

// The plan in one line per item, for table comparisons:
//   "pair LINE_FILE + TRAIN_FILE -> TRAIN (SCENARIO)"
//   "report FILE: PROBLEM" (with "train" for a train not compiled)
std::vector<std::string> Describe(const PackPlan& plan) {
  std::vector<std::string> items;
  for (const PackPair& pair : plan.pairs) {
    items.push_back("pair " + plan.lines[pair.line].file + " + " +
                    pair.train_file + " -> " + pair.train_name + " (" +
                    pair.scenario + ")");
  }
  for (const PackReport& report : plan.reports) {
    static const char* const kWords[] = {"unmatched",     "no line",
                                         "duplicate",     "elsewhere",
                                         "unusable name", "clash"};
    items.push_back("report " + report.file + ": " +
                    kWords[static_cast<int>(report.problem)] +
                    (report.train ? " train" : ""));
  }
  return items;
}

struct PlanCase {
  const char* name;
  std::vector<std::string> files;
  std::vector<std::string> expected;
};

TEST(PlanPack, PairsAndReports) {
  const PlanCase kCases[] = {
      {"a pair, with the compiler's own files passed over",
       {"Valle_linea.txt", "Valle_R 1-.txt", "Valle_R 1.sim", "Valle_R 1.dat",
        "Valle_linea.dat", "Valle_R 1_note.txt", "Valle_R 1.png",
        "Valle_R 1.dat.tmp123-4"},
       {"pair Valle_linea.txt + Valle_R 1-.txt -> R 1 (Valle_R 1)"}},
      {"folders pair on their own",
       {"a/Valle_linea.txt", "a/Valle_R 1-.txt", "b/Valle_R 2-.txt",
        "b/c/Monte_linea.txt", "b/c/Monte_X-.txt"},
       {"pair a/Valle_linea.txt + a/Valle_R 1-.txt -> R 1 (a/Valle_R 1)",
        "pair b/c/Monte_linea.txt + b/c/Monte_X-.txt -> X (b/c/Monte_X)",
        "report b/Valle_R 2-.txt: no line train"}},
      {"the longest line name wins",
       {"A_linea.txt", "A_B_linea.txt", "A_B_C-.txt", "A_D-.txt"},
       {"pair A_B_linea.txt + A_B_C-.txt -> C (A_B_C)",
        "pair A_linea.txt + A_D-.txt -> D (A_D)"}},
      {"files that fit neither pattern are reported",
       {"README.md", "notes.txt", "_linea.txt", "-.txt", "Valle_linea.txt"},
       {"report -.txt: unmatched", "report README.md: unmatched",
        "report _linea.txt: unmatched", "report notes.txt: unmatched"}},
      {"an empty train name is no pair",
       {"Valle_linea.txt", "Valle_-.txt"},
       {"report Valle_-.txt: no line train"}},
      {"two lines of one folder, one name but for case",
       {"Valle_linea.txt", "valle_linea.txt", "Valle_R-.txt"},
       {"report Valle_linea.txt: duplicate",
        "report valle_linea.txt: duplicate",
        "report Valle_R-.txt: duplicate train"}},
      {"one line name in two folders: both compile",
       {"a/Valle_linea.txt", "a/Valle_R-.txt", "b/Valle_linea.txt"},
       {"pair a/Valle_linea.txt + a/Valle_R-.txt -> R (a/Valle_R)",
        "report a/Valle_linea.txt: elsewhere",
        "report b/Valle_linea.txt: elsewhere"}},
      {"a train named linea would overwrite the grid",
       {"A_linea.txt", "A_linea-.txt", "A_x-.txt"},
       {"pair A_linea.txt + A_x-.txt -> x (A_x)",
        "report A_linea-.txt: clash train"}},
      {"trains whose files differ only in case",
       {"A_linea.txt", "A_x-.txt", "A_X-.txt"},
       {"pair A_linea.txt + A_X-.txt -> X (A_X)",
        "report A_x-.txt: clash train"}},
      {"a name Windows-1252 cannot write",
       {"A_linea.txt", "A_\xe2\x82\xac-.txt", "A_\xe4\xb8\x80-.txt"},
       {"pair A_linea.txt + A_\xe2\x82\xac-.txt -> \xe2\x82\xac "
        "(A_\xe2\x82\xac)",
        "report A_\xe4\xb8\x80-.txt: unusable name train"}},
  };
  for (const PlanCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Describe(PlanPack(c.files, true)), c.expected);
  }
}

TEST(PlanPack, WithoutGridsATrainMayTakeTheGridsName) {
  const std::vector<std::string> files = {"A_linea.txt", "A_linea-.txt"};
  EXPECT_EQ(Describe(PlanPack(files, false)),
            std::vector<std::string>{
                "pair A_linea.txt + A_linea-.txt -> linea (A_linea)"});
}

}  // namespace
}  // namespace scenario
