#include "tools/scenario_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "base/windows1252.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "plot/small_scenario_testing.h"
#include "plot/svg_testing.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

// Writes a scenario's three files into dir under the naming rule.
void WriteScenario(const ScopedTempDir& dir, const SmallScenarioData& data,
                   const std::string& line, const std::string& train,
                   bool with_grid = true) {
  WriteWholeFile(dir.File(line + "_" + train + ".dat"),
                 EncodeCellFile(data.Array()));
  WriteWholeFile(dir.File(line + "_" + train + ".sim"),
                 EncodeParamFile(data.table));
  if (with_grid) {
    WriteWholeFile(dir.File(line + "_linea.dat"), EncodeGridFile(data.grid));
  }
}

class PlotCommand : public testing::Test {
 protected:
  void SetUp() override {
    WriteScenario(in_, SmallScenarioData(), "Tarvo_Cembrio", "Exp 5147");
  }

  // Runs the command on in_ and expects success.
  PlotOutcome Run(PlotOptions options) {
    if (options.inputs.empty()) options.inputs = {in_.path()};
    PlotOutcome outcome;
    const Status s = RunPlot(options, RealFileSystem(), &outcome);
    EXPECT_TRUE(s.ok()) << s.message();
    return outcome;
  }

  // Runs the command and returns its failure message ("" on success).
  std::string Fail(PlotOptions options, FileSystem& fs = RealFileSystem()) {
    PlotOutcome outcome;
    const Status s = RunPlot(options, fs, &outcome);
    EXPECT_FALSE(s.ok());
    return s.message();
  }

  ScopedTempDir in_;
  ScopedTempDir out_;
};

TEST_F(PlotCommand, FolderGivesAllThreeFormatsFromOneDrawing) {
  struct Case {
    const char* output;
    std::optional<PlotFormat> format;
    PlotFormat expected;
  };
  const Case kCases[] = {
      {"sheet.svg", std::nullopt, PlotFormat::kSvg},
      {"sheet.PNG", std::nullopt, PlotFormat::kPng},
      {"sheet.pdf", std::nullopt, PlotFormat::kPdf},
      {"sheet.html", std::nullopt, PlotFormat::kHtml},
      {"sheet.out", PlotFormat::kPng, PlotFormat::kPng},
      {"sheet", std::nullopt, PlotFormat::kSvg},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.output);
    PlotOptions o;
    o.output = out_.File(c.output);
    o.format = c.format;
    const PlotOutcome r = Run(o);
    EXPECT_EQ(r.format, c.expected);
    EXPECT_EQ(r.output, o.output);
    EXPECT_EQ(r.files.cell_file, in_.File("Tarvo_Cembrio_Exp 5147.dat"));
    EXPECT_EQ(r.files.param_file, in_.File("Tarvo_Cembrio_Exp 5147.sim"));
    EXPECT_EQ(r.files.grid_file, in_.File("Tarvo_Cembrio_linea.dat"));
    EXPECT_EQ(r.files.line_name, "Tarvo_Cembrio");
    EXPECT_EQ(r.files.train_name, "Exp 5147");
    const std::string bytes = ReadWholeFile(o.output);
    switch (c.expected) {
      case PlotFormat::kSvg: {
        const ParsedSvg doc(bytes);
        ASSERT_TRUE(doc.ok());
        EXPECT_EQ(doc.Count("//s:g[@id='plan']"), 1u);
        EXPECT_EQ(doc.Count("//s:text[contains(., 'Citt\xC3\xA0')]"), 2u);
        break;
      }
      case PlotFormat::kPng:
        EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        break;
      case PlotFormat::kPdf:
        EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
        break;
      case PlotFormat::kHtml:
        EXPECT_EQ(bytes.substr(0, 15), "<!DOCTYPE html>");
        EXPECT_NE(bytes.find("<g id=\"plan\""), std::string::npos);
        break;
    }
  }
}

TEST_F(PlotCommand, DefaultOutputIsNamedAfterTheScenario) {
  PlotOptions o;
  o.inputs = {in_.path()};
  o.format = PlotFormat::kSvg;
  // The default name lies in the current folder.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(out_.path());
  PlotOutcome r;
  const Status s = RunPlot(o, RealFileSystem(), &r);
  std::filesystem::current_path(before);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(r.output, "Tarvo_Cembrio_Exp 5147.svg");
  EXPECT_FALSE(ReadWholeFile(out_.File(r.output)).empty());
}

TEST_F(PlotCommand, NamesChooseAmongSeveralScenarios) {
  // A second train on the same line shares its grid; a third line has no
  // grid at all.
  WriteScenario(in_, SmallScenarioData("Tarvo_Cembrio", "Reg 2"),
                "Tarvo_Cembrio", "Reg 2");
  WriteScenario(in_, SmallScenarioData("Alto", "Exp 5147"), "Alto", "Exp 5147",
                /*with_grid=*/false);

  PlotOptions o;
  o.inputs = {in_.path()};
  o.output = out_.File("x.svg");
  std::string m = Fail(o);
  EXPECT_NE(m.find("holds 3 scenarios"), std::string::npos) << m;
  EXPECT_NE(m.find("Tarvo_Cembrio_Reg 2.sim (line \"Tarvo_Cembrio\", "
                   "train \"Reg 2\")"),
            std::string::npos)
      << m;

  o.train_name = "Exp 5147";  // still two
  m = Fail(o);
  EXPECT_NE(m.find("holds 2 scenarios"), std::string::npos) << m;

  o.line_name = "Tarvo_Cembrio";
  PlotOutcome r = Run(o);
  EXPECT_EQ(r.files.cell_file, in_.File("Tarvo_Cembrio_Exp 5147.dat"));

  o.train_name = "Reg 2";
  r = Run(o);
  EXPECT_EQ(r.files.cell_file, in_.File("Tarvo_Cembrio_Reg 2.dat"));
  EXPECT_EQ(r.files.grid_file, in_.File("Tarvo_Cembrio_linea.dat"));

  o.line_name = "Alto";
  o.train_name = "";
  r = Run(o);
  EXPECT_EQ(r.files.grid_file, "");
  const ParsedSvg doc(ReadWholeFile(o.output));
  EXPECT_EQ(doc.First("//s:g[@id='plan-missing']/s:text"),
            "No line grid file: the plan of the line is left out.");

  o.line_name = "Nowhere";
  m = Fail(o);
  EXPECT_NE(m.find("no scenario with line name \"Nowhere\""), std::string::npos)
      << m;
  EXPECT_NE(m.find("Alto_Exp 5147.sim"), std::string::npos) << m;
}

TEST_F(PlotCommand, ExplicitFiles) {
  const std::string sim = in_.File("Tarvo_Cembrio_Exp 5147.sim");
  const std::string dat = in_.File("Tarvo_Cembrio_Exp 5147.dat");
  const std::string grid = in_.File("Tarvo_Cembrio_linea.dat");
  struct Case {
    std::vector<std::string> inputs;
    bool with_plan;
  };
  const Case kCases[] = {
      {{sim, dat, grid}, true},
      {{grid, dat, sim}, true},
      {{sim, dat}, false},  // the plan only when the grid is given
      {{sim}, true},        // the rest is found beside it
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.inputs.size());
    PlotOptions o;
    o.inputs = c.inputs;
    o.output = out_.File("x.svg");
    const PlotOutcome r = Run(o);
    EXPECT_EQ(r.files.cell_file, dat);
    EXPECT_EQ(r.files.grid_file, c.with_plan ? grid : "");
    const ParsedSvg doc(ReadWholeFile(o.output));
    EXPECT_EQ(doc.Count("//s:g[@id='plan']"), c.with_plan ? 1u : 0u);
  }
}

TEST_F(PlotCommand, RefusesWithAClearMessageAndWritesNothing) {
  const std::string sim = in_.File("Tarvo_Cembrio_Exp 5147.sim");
  const std::string dat = in_.File("Tarvo_Cembrio_Exp 5147.dat");
  ScopedTempDir empty;
  ScopedTempDir broken;
  WriteScenario(broken, SmallScenarioData(), "A", "B");
  WriteWholeFile(broken.File("A_B.dat"), std::string(16, '\0'));
  ScopedTempDir broken_grid;
  WriteScenario(broken_grid, SmallScenarioData(), "A", "B");
  WriteWholeFile(broken_grid.File("A_linea.dat"), std::string("\x07\x00", 2));
  ScopedTempDir broken_sim;
  WriteScenario(broken_sim, SmallScenarioData(), "A", "B");
  WriteWholeFile(broken_sim.File("A_B.sim"), "short");
  WriteWholeFile(in_.File("notes.txt"), "not a scenario file");
  ScopedTempDir lone_sim;
  WriteWholeFile(lone_sim.File("A_B.sim"),
                 EncodeParamFile(SmallScenarioData().table));
  struct Case {
    std::vector<std::string> inputs;
    std::optional<double> from_km, to_km;
    std::string train_name;
    const char* message_part;
  };
  const Case kCases[] = {
      {{}, {}, {}, "", "no input"},
      {{empty.path()}, {}, {}, "", "no parameter file (*.sim)"},
      {{broken.path()}, {}, {}, "", "not a cell file (16 bytes"},
      {{broken_grid.path()}, {}, {}, "", "A_linea.dat: not a line grid file"},
      {{broken_sim.path()}, {}, {}, "", "A_B.sim: not a parameter file"},
      {{lone_sim.path()}, {}, {}, "", "no cell file \"A_B.dat\" beside it"},
      {{lone_sim.File("A_B.sim")}, {}, {}, "", "no cell file"},
      {{dat}, {}, {}, "", "the parameter file (.sim) is needed"},
      {{sim, in_.File("notes.txt")}, {}, {}, "", "not a scenario file"},
      {{sim, dat, dat}, {}, {}, "", "more than one cell file"},
      {{sim, in_.File("missing.dat")},
       {},
       {},
       "",
       "missing.dat: no such file or folder"},
      {{in_.File("nowhere")}, {}, {}, "", "nowhere: no such file or folder"},
      {{in_.path(), sim}, {}, {}, "", "a folder; give either"},
      {{sim, dat}, {}, {}, "Reg 2", "not the one with train name \"Reg 2\""},
      {{in_.path()},
       3.2,
       3.4,
       "",
       "no part of the line has kilometre readings from 3.2 to 3.4 km (the "
       "line runs from km 0+000 to km 5+500)"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.message_part);
    PlotOptions o;
    o.inputs = c.inputs;
    o.from_km = c.from_km;
    o.to_km = c.to_km;
    o.train_name = c.train_name;
    o.output = out_.File("never.svg");
    const std::string m = Fail(o);
    EXPECT_NE(m.find(c.message_part), std::string::npos) << m;
    EXPECT_EQ(out_.Listing(), "");
  }
}

TEST_F(PlotCommand, AFailedWriteIsReported) {
  FakeFileSystem fake;
  const std::string sim = "/s/A_B.sim";
  const std::string dat = "/s/A_B.dat";
  fake.files[sim] = EncodeParamFile(SmallScenarioData().table);
  fake.files[dat] = EncodeCellFile(SmallScenarioData().Array());
  fake.fail_writes.insert("/o/x.png");
  PlotOptions o;
  o.inputs = {sim, dat};
  o.output = "/o/x.png";
  const std::string m = Fail(o, fake);
  EXPECT_NE(m.find("injected failure"), std::string::npos) << m;
  EXPECT_FALSE(fake.Has("/o/x.png"));
}

// Every file is reached through the file system handed in: a scenario in a
// folder of the fake is found and drawn, and a folder that cannot be
// listed is named with the reason.
TEST_F(PlotCommand, FindsAndDrawsThroughTheFileSystemItIsGiven) {
  FakeFileSystem fake;
  const SmallScenarioData data("A", "B");
  fake.files["/s/A_B.sim"] = EncodeParamFile(data.table);
  fake.files["/s/A_B.dat"] = EncodeCellFile(data.Array());
  fake.files["/s/A_linea.dat"] = EncodeGridFile(data.grid);
  fake.files["/s/notes/A_C.sim"] = "a folder's file is no scenario of it";
  PlotOptions o;
  o.inputs = {"/s"};
  o.output = "/o/x.svg";
  PlotOutcome outcome;
  const Status s = RunPlot(o, fake, &outcome);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(outcome.files.param_file, "/s/A_B.sim");
  EXPECT_EQ(outcome.files.grid_file, "/s/A_linea.dat");
  EXPECT_EQ(ParsedSvg(fake.Contents("/o/x.svg")).Count("//s:g[@id='plan']"),
            1u);

  fake.fail_folders.insert("/s");
  const std::string m = Fail(o, fake);
  EXPECT_NE(m.find("\"/s\": injected failure"), std::string::npos) << m;
}

// Both ways of loading a grid hand over the same grid, and refuse the
// same images with the same message: kept, the grid is the file's bytes
// and nothing is decoded.
TEST(LoadScenarioFiles, AKeptGridIsTheFilesBytesAndDecodesAsTheDecodedOne) {
  const SmallScenarioData data("A", "B");
  const std::string grid = EncodeGridFile(data.grid);
  const ScenarioFileSet set{"/s/A_B.sim", "/s/A_B.dat", "/s/A_linea.dat", "A",
                            "B"};
  for (const std::string& image : {grid, grid.substr(0, grid.size() - 1)}) {
    const bool whole = image.size() == grid.size();
    SCOPED_TRACE(whole ? "whole grid" : "cut grid");
    FakeFileSystem fake;
    fake.files["/s/A_B.sim"] = EncodeParamFile(data.table);
    fake.files["/s/A_B.dat"] = EncodeCellFile(data.Array());
    fake.files["/s/A_linea.dat"] = image;
    LoadedScenario decoded;
    LoadedScenario kept;
    const Status d = LoadScenarioFiles(set, fake, &decoded);
    const Status k =
        LoadScenarioFiles(set, fake, &kept, GridLoading::kKeepImage);
    ASSERT_EQ(d.ok(), whole);
    ASSERT_EQ(k.ok(), whole);
    if (!whole) {
      EXPECT_EQ(k.message(), d.message());
      continue;
    }
    EXPECT_EQ(decoded.grid_image, nullptr);
    EXPECT_FALSE(kept.grid.exists());
    ASSERT_TRUE(HasGrid(kept) && HasGrid(decoded));
    ASSERT_NE(kept.grid_image, nullptr);
    EXPECT_EQ(*kept.grid_image, image);
    // A copy's view still reads the shared bytes.
    const LoadedScenario copy = kept;
    std::string unused;
    EXPECT_EQ(GridViewOf(copy, &unused).size(), data.grid.size());
    std::string scratch_d;
    std::string scratch_k;
    EXPECT_EQ(GridImageOf(decoded, &scratch_d), GridImageOf(kept, &scratch_k));
  }
}

// A train named "linea" gives its cell file the name a grid would have:
// "<line>_linea.dat". The parameter file's names tell them apart.
TEST_F(PlotCommand, TrainNamedLineaIsNotTakenForAGrid) {
  ScopedTempDir dir;
  const SmallScenarioData data("L", "linea");
  WriteWholeFile(dir.File("L_linea.dat"), EncodeCellFile(data.Array()));
  WriteWholeFile(dir.File("L_linea.sim"), EncodeParamFile(data.table));
  for (const std::vector<std::string>& inputs :
       {std::vector<std::string>{dir.path()},
        std::vector<std::string>{dir.File("L_linea.sim"),
                                 dir.File("L_linea.dat")}}) {
    PlotOptions o;
    o.inputs = inputs;
    o.output = out_.File("x.svg");
    const PlotOutcome r = Run(o);
    EXPECT_EQ(r.files.cell_file, dir.File("L_linea.dat"));
    EXPECT_EQ(r.files.grid_file, "");
  }
}

// The built-in scenario, compiled by the built-in run into a folder, drawn
// into all three formats.
TEST(PlotBuiltinScenario, AllThreeFormats) {
  ScopedTempDir dir;
  std::ostringstream err;
  ASSERT_EQ(RunBuiltinScenario(RealFileSystem(), dir.path(), err), kExitOk)
      << err.str();
  ParamTable table;
  ASSERT_TRUE(DecodeParamFile(
      ReadWholeFile(dir.File("Tarvo_Cembrio_Exp 5147.sim")), &table));
  LineGrid grid;
  ASSERT_TRUE(DecodeGridFile(ReadWholeFile(dir.File("Tarvo_Cembrio_linea.dat")),
                             &grid));

  ScopedTempDir out;
  for (const PlotFormat format :
       {PlotFormat::kSvg, PlotFormat::kPng, PlotFormat::kPdf}) {
    SCOPED_TRACE(PlotFormatName(format));
    PlotOptions o;
    o.inputs = {dir.path()};
    o.format = format;
    o.output = out.File("builtin." + std::string(PlotFormatName(format)));
    PlotOutcome r;
    const Status s = RunPlot(o, RealFileSystem(), &r);
    ASSERT_TRUE(s.ok()) << s.message();
    const std::string bytes = ReadWholeFile(o.output);
    if (format == PlotFormat::kPng) {
      ASSERT_GT(bytes.size(), 24u);
      EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
      // IHDR: the sheet's default width of 1600 pixels, big-endian.
      EXPECT_EQ(bytes.substr(16, 4), std::string("\0\0\x06\x40", 4));
      continue;
    }
    if (format == PlotFormat::kPdf) {
      EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
      continue;
    }
    const ParsedSvg doc(bytes);
    ASSERT_TRUE(doc.ok());
    EXPECT_EQ(doc.First("//s:text[@id='race-codes']"),
              "race codes: plain 2352, weighted 32107");
    // Every station of the timetable by name.
    const std::vector<std::string> texts = doc.Strings("//s:text");
    int stations = 0;
    for (int k = kFirstStationSlot;
         k < kFirstBoardTextSlot && !table[k].text.empty(); ++k) {
      const std::string name = Windows1252ToUtf8(table[k].text);
      SCOPED_TRACE(name);
      EXPECT_TRUE(std::any_of(
          texts.begin(), texts.end(),
          [&](const std::string& t) { return t.rfind(name, 0) == 0; }));
      ++stations;
    }
    EXPECT_EQ(stations, 23);
    // The plan's extent is the grid's.
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (std::int64_t m = 0; m < grid.size(); ++m) {
      if (grid.tag(m) == GridTag::kEmpty) continue;
      min_x = std::min(min_x, grid.x(m));
      max_x = std::max(max_x, grid.x(m));
      min_y = std::min(min_y, grid.y(m));
      max_y = std::max(max_y, grid.y(m));
    }
    const std::string plan = "//s:g[@id='plan']";
    EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-min-x")), min_x, 1e-3);
    EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-max-x")), max_x, 1e-3);
    EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-min-y")), min_y, 1e-3);
    EXPECT_NEAR(std::stod(*doc.First(plan + "/@data-max-y")), max_y, 1e-3);
  }
}

// The built-in scenario's HTML page stays light enough to open at once.
TEST(PlotBuiltinScenario, HtmlPageIsUnderTwoMegabytes) {
  ScopedTempDir dir;
  std::ostringstream err;
  ASSERT_EQ(RunBuiltinScenario(RealFileSystem(), dir.path(), err), kExitOk)
      << err.str();
  PlotOptions o;
  o.inputs = {dir.path()};
  o.output = dir.File("sheet.html");
  PlotOutcome r;
  const Status s = RunPlot(o, RealFileSystem(), &r);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(r.format, PlotFormat::kHtml);
  EXPECT_LT(ReadWholeFile(o.output).size(), 2u * 1024 * 1024);
}

// The built-in sheet: no two texts overlap anywhere on it, and no label of
// the plan covers one of the plan's marks (the "end" label stands clear of
// the last station's name).
TEST(PlotBuiltinScenario, LabelsKeepClearOfEachOtherAndOfThePlansMarks) {
  ScopedTempDir dir;
  std::ostringstream err;
  ASSERT_EQ(RunBuiltinScenario(RealFileSystem(), dir.path(), err), kExitOk)
      << err.str();
  ScopedTempDir out;
  PlotOptions o;
  o.inputs = {dir.path()};
  o.format = PlotFormat::kSvg;
  o.output = out.File("builtin.svg");
  PlotOutcome r;
  const Status s = RunPlot(o, RealFileSystem(), &r);
  ASSERT_TRUE(s.ok()) << s.message();
  const ParsedSvg doc(ReadWholeFile(o.output));
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(OverlappingTexts(doc), std::vector<std::string>{});

  const std::string plan = "//s:g[@id='plan']";
  std::vector<SheetBox> marks;
  for (const ParsedSvg::Element& c : doc.Elements(
           plan + "//s:g[@id='plan-stations' or @id='plan-ends']/s:circle")) {
    const double r = c.Number("r");
    marks.push_back({c.Number("cx") - r, c.Number("cy") - r, c.Number("cx") + r,
                     c.Number("cy") + r, "mark"});
  }
  for (const ParsedSvg::Element& e :
       doc.Elements(plan + "//s:g[@id='plan-ends']/s:rect")) {
    marks.push_back({e.Number("x"), e.Number("y"),
                     e.Number("x") + e.Number("width"),
                     e.Number("y") + e.Number("height"), "end"});
  }
  EXPECT_EQ(marks.size(), 25u);  // 23 stations, the start and the end
  // The plan's own texts; its legend stands above the plan's box.
  const std::vector<ParsedSvg::Element> labels =
      doc.Elements(plan + "//s:text[not(ancestor::s:g[@class='legend'])]");
  EXPECT_EQ(labels.size(), 28u);  // their 25 labels, "Plan", the scale, "N"
  for (const ParsedSvg::Element& t : labels) {
    const SheetBox label = EstimatedTextBox(t);
    for (const SheetBox& mark : marks) {
      EXPECT_FALSE(label.Overlaps(mark)) << t.text;
    }
  }
}

TEST(PlotFormat, ParsesNamesInAnyCase) {
  EXPECT_EQ(ParsePlotFormat("SVG"), PlotFormat::kSvg);
  EXPECT_EQ(ParsePlotFormat("png"), PlotFormat::kPng);
  EXPECT_EQ(ParsePlotFormat("Pdf"), PlotFormat::kPdf);
  EXPECT_EQ(ParsePlotFormat("HTML"), PlotFormat::kHtml);
  EXPECT_EQ(ParsePlotFormat("htm"), std::nullopt);
  EXPECT_EQ(ParsePlotFormat("jpg"), std::nullopt);
  EXPECT_EQ(ParsePlotFormat(""), std::nullopt);
  EXPECT_EQ(PlotFormatName(PlotFormat::kPdf), "pdf");
  EXPECT_EQ(PlotFormatName(PlotFormat::kHtml), "html");
}

}  // namespace
}  // namespace scenario
