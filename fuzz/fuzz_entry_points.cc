#include "fuzz_entry_points.h"

#include <libxml/parser.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "base/source_excerpt.h"
#include "base/windows1252.h"
#include "fuzz_compile_input.h"
#include "fuzz_lsp_session.h"
#include "lint/lint.h"
#include "lint/warnings.h"
#include "lsp/json_rpc.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/scenario_names.h"
#include "model/track_cells.h"
#include "pack/build_record.h"
#include "plot/scenario_sheet.h"
#include "run/cli.h"
#include "tools/diagnostic_report.h"
#include "tools/inspect.h"
#include "tools/round_trip_testing.h"

namespace scenario {

namespace {

// Ends the run with a message when a property does not hold; the fuzzer
// keeps the input as a crash.
void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property does not hold: %s\n", property);
  std::abort();
}

std::uint32_t Fixed32At(std::string_view data, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) {
    v = (v << 8) | static_cast<unsigned char>(data[at + i]);
  }
  return v;
}

std::int16_t Fixed16At(std::string_view data, std::size_t at) {
  return static_cast<std::int16_t>(
      static_cast<unsigned char>(data[at]) |
      (static_cast<unsigned>(static_cast<unsigned char>(data[at + 1])) << 8));
}

std::string EncodeCells(const std::vector<TrackCell>& cells) {
  std::string image(cells.size() * kCellSize, '\0');
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EncodeCell(cells[i], image.data() + i * kCellSize);
  }
  return image;
}

// Lists an image as text and as JSON; a decodable image must list. (The
// JSON comes from nlohmann-json, so it is well-formed by construction.)
void InspectBothWays(std::string_view image, BinaryKind kind, int grid_every) {
  for (bool json : {false, true}) {
    InspectOptions options;
    options.json = json;
    // Text lists every cell and slot, JSON only what is set: both filters,
    // and the costlier JSON over the fewer entries.
    options.all = !json;
    options.grid_every = grid_every;
    std::string out;
    std::string error;
    Require(InspectImage(image, kind, options, &out, &error),
            "inspect lists what the decoder takes");
  }
}

bool WellFormedXml(const std::string& text) {
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()),
                                "sheet.svg", "UTF-8",
                                XML_PARSE_NONET | XML_PARSE_NOERROR |
                                    XML_PARSE_NOWARNING | XML_PARSE_HUGE);
  if (doc == nullptr) return false;
  xmlFreeDoc(doc);
  return true;
}

}  // namespace

void FuzzCompile(std::string_view data) {
  FuzzCompileRun run;
  if (!CompileFuzzInput(data, &run)) return;
  const FakeFileSystem& fs = run.fs;
  const CompileFiles& files = run.files;
  const Scenario& s = run.scenario;
  const std::int32_t j = run.j;
  const CompileResult& result = run.result;

  // Every way out of the line reader deletes its file.
  Require(!fs.Has(files.line_description), "the line file is deleted");
  if (result.end != CompileEnd::kWritten) {
    Require(!fs.Has(files.grid_file) && !fs.Has(files.param_file) &&
                !fs.Has(files.cell_file),
            "a compile that ends early writes no binary file");
    return;
  }

  // What was written decodes, and encodes back to the same bytes.
  const std::string cell_image = fs.Contents(files.cell_file);
  std::vector<TrackCell> cells;
  Require(DecodeCellFile(cell_image, &cells), "the cell file decodes");
  Require(static_cast<std::int64_t>(cells.size()) == s.track_cells.size(),
          "the cell file holds every cell");
  Require(EncodeCells(cells) == cell_image, "the cell file round-trips");

  const std::string param_image = fs.Contents(files.param_file);
  ParamTable table;
  Require(DecodeParamFile(param_image, &table), "the parameter file decodes");
  Require(EncodeParamFile(table) == param_image,
          "the parameter file round-trips");

  Require(fs.Has(files.grid_file) == (j != 0), "the grid is written iff j");
  if (j != 0) {
    const std::string grid_image = fs.Contents(files.grid_file);
    LineGrid grid;
    Require(DecodeGridFile(grid_image, &grid), "the grid file decodes");
    Require(grid.size() == s.line_grid.size(), "the grid file holds every m");
    Require(EncodeGridFile(grid) == grid_image, "the grid file round-trips");
  }
}

void FuzzLint(std::string_view data) {
  FuzzCompileRun plain;
  FuzzCompileRun linted;
  if (!CompileFuzzInput(data, &plain) || !PrepareFuzzInput(data, &linted)) {
    return;
  }
  const LintReport report =
      CompileAndLint(linted.scenario, linted.j, linted.fs, linted.files);

  Require(report.result.end == plain.result.end,
          "the lint ends the compile where a plain compile ends");
  Require(
      linted.scenario.errors.error_code == plain.scenario.errors.error_code &&
          linted.scenario.errors.error_position ==
              plain.scenario.errors.error_position,
      "the lint records the codes of a plain compile");
  for (const std::string* file :
       {&plain.files.grid_file, &plain.files.param_file,
        &plain.files.cell_file}) {
    Require(linted.fs.Has(*file) == plain.fs.Has(*file) &&
                linted.fs.Contents(*file) == plain.fs.Contents(*file),
            "the lint writes the bytes of a plain compile");
  }

  // The descriptions as the readers saw them (the compile deleted them).
  FuzzCompileRun input;
  PrepareFuzzInput(data, &input);
  const auto file_order = [&](const SourceSpot& where) {
    return where.file == input.files.line_description    ? 0
           : where.file == input.files.train_description ? 1
                                                         : 2;
  };
  for (std::size_t i = 0; i < report.warnings.size(); ++i) {
    const Warning& w = report.warnings[i];
    Require(!WarningName(w.kind).empty(), "a warning has a kind's name");
    Require(w.where.file.empty() || file_order(w.where) < 2,
            "a warning stands in one of the two descriptions");
    if (w.where.line > 0) {
      const std::string bytes = input.fs.Contents(w.where.file);
      Require(SourceLine(bytes, w.where.line).has_value(),
              "a warning's row is a row of its file");
      Require(w.where.column >= 0, "a warning's column is not negative");
    }
    if (i > 0) {
      const SourceSpot& a = report.warnings[i - 1].where;
      const SourceSpot& b = w.where;
      const auto key = [&](const SourceSpot& s) {
        return std::tuple(file_order(s), s.line, s.column);
      };
      Require(a.file.empty() || b.file.empty() || !(key(b) < key(a)),
              "the warnings come in the order of their files and rows");
    }
    const std::string line = FormatWarning(w, linted.scenario.param_table);
    Require(line.find('\n') == std::string::npos,
            "a warning prints as one line");
  }
  (void)DescribeSummary(report.summary);
}

void FuzzDecompile(std::string_view data) {
  FuzzCompileRun input;
  if (!PrepareFuzzInput(data, &input)) return;
  RoundTrip trip;
  RunRoundTrip(input.fs.files[input.files.line_description],
               input.fs.files[input.files.train_description],
               input.scenario.line_name, input.scenario.train_name, &trip);
  if (!trip.written || !trip.status.ok()) return;
  Require(!trip.decompiled.same_bytes || trip.same_bytes,
          "decompile claims the same bytes only where a compile of its "
          "texts gives them");
}

void FuzzCellFile(std::string_view data) {
  std::vector<TrackCell> cells;
  if (!DecodeCellFile(data, &cells)) {
    Require(data.empty() || data.size() % kCellSize != 0,
            "the cell decoder takes whole cells");
    return;
  }
  Require(EncodeCells(cells) == data, "a cell file round-trips");
  InspectBothWays(data, BinaryKind::kCells, 1000);
}

void FuzzParamFile(std::string_view data) {
  ParamTable table;
  if (!DecodeParamFile(data, &table)) return;
  Require(EncodeParamFile(table) == data, "a parameter file round-trips");
  InspectBothWays(data, BinaryKind::kParams, 1000);
}

void FuzzGridFile(std::string_view data) {
  LineGrid grid;
  if (!DecodeGridFile(data, &grid)) return;
  Require(EncodeGridFile(grid) == data, "a grid file round-trips");
  InspectBothWays(data, BinaryKind::kGrid, 1000);
  InspectBothWays(data, BinaryKind::kGrid, 7);
}

void FuzzSheet(std::string_view data) {
  if (data.size() < kSheetHeadSize) return;
  const std::string_view head = data.substr(0, kSheetHeadSize);
  std::string_view rest = data.substr(kSheetHeadSize);
  auto take = [&rest](std::uint32_t size) {
    const std::string_view part = rest.substr(0, size);
    rest.remove_prefix(part.size());
    return part;
  };
  const std::string_view cell_image = take(Fixed32At(head, 0));
  const std::string_view param_image = take(Fixed32At(head, 4));
  const std::string_view grid_image = rest;

  std::vector<TrackCell> cells;
  ParamTable table;
  LineGrid grid;
  if (!DecodeCellFile(cell_image, &cells)) return;
  if (!DecodeParamFile(param_image, &table)) return;
  if (!grid_image.empty() && !DecodeGridFile(grid_image, &grid)) return;

  SheetScenario scenario;
  scenario.cells = &cells;
  scenario.table = &table;
  scenario.grid = grid_image.empty() ? nullptr : &grid;
  scenario.line_name = Windows1252ToUtf8(table[kLineSlot].text);
  scenario.train_name = Windows1252ToUtf8(table[kTrainSlot].text);
  SheetOptions options;
  constexpr std::int16_t kNoKm = INT16_MIN;
  if (const std::int16_t from = Fixed16At(head, 8); from != kNoKm) {
    options.from_km = from / 10.0;
  }
  if (const std::int16_t to = Fixed16At(head, 10); to != kNoKm) {
    options.to_km = to / 10.0;
  }
  // As plot: a range must lie below its end and hold part of the line.
  if (options.from_km && options.to_km && *options.from_km >= *options.to_km) {
    return;
  }
  if ((options.from_km || options.to_km) &&
      !ResolveSheetRange(scenario, options)) {
    return;
  }
  Require(WellFormedXml(DrawScenarioSheet(scenario, options)),
          "the sheet is well-formed XML");
}

void FuzzCommandLine(std::string_view data) {
  const std::string bytes(data);
  Require(Utf8ToWindows1252(Windows1252ToUtf8(bytes)) == bytes,
          "Windows-1252 text survives UTF-8 and back");
  if (const std::optional<std::string> w = Utf8ToWindows1252(bytes)) {
    Require(Windows1252ToUtf8(*w) == bytes,
            "UTF-8 that converts survives Windows-1252 and back");
  }
  Require(LowerWindows1252(bytes).size() == bytes.size(),
          "lower case keeps one byte a character");

  std::vector<std::string> args = {"scenario-compiler"};
  std::size_t start = 0;
  for (;;) {
    const std::size_t nul = bytes.find('\0', start);
    args.push_back(bytes.substr(start, nul - start));
    if (nul == std::string::npos) break;
    start = nul + 1;
  }
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  const ParsedCommandLine parsed =
      ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  if (!parsed.run) {
    Require(parsed.exit_status != 0 || !parsed.out_text.empty(),
            "a command line that runs nothing says why");
    return;
  }
  if (parsed.kind != CommandKind::kCompile &&
      parsed.kind != CommandKind::kCheck) {
    return;
  }
  const AuthorCompileOptions& c =
      std::get<CompileCommandOptions>(parsed.options).compile;
  const std::string line_name =
      c.line_name ? *c.line_name : LineNameFromFile(c.line_file);
  const std::string train_name =
      c.train_name ? *c.train_name : TrainNameFromFile(c.train_file, line_name);
  std::string error;
  if (!CheckName(line_name, "the line name", &error) ||
      !CheckName(train_name, "the train name", &error)) {
    Require(!error.empty(), "a refused name says why");
    return;
  }
  const ScenarioFileNames names =
      MakeFileNames(c.output, line_name, train_name);
  // (A train named "linea" gives the cell file the grid's name; compile
  // refuses it.)
  Require(names.cell_file.size() > c.output.size(),
          "a file name holds more than its folder");
}

void FuzzBuildRecord(std::string_view data) {
  const BuildRecord record = ParseBuildRecord(data, kFuzzRecordVersion);
  const std::string text = SerializeBuildRecord(record, kFuzzRecordVersion);
  const BuildRecord back = ParseBuildRecord(text, kFuzzRecordVersion);
  Require(back.scenarios.size() == record.scenarios.size() &&
              back.grids.size() == record.grids.size(),
          "every entry read is written and read back");
  Require(SerializeBuildRecord(back, kFuzzRecordVersion) == text,
          "a record read back writes the same text");
}

namespace {

// A frame as text, to compare two decodings.
std::string FrameText(const RpcFrame& frame) {
  if (frame.kind == RpcFrame::Kind::kMessage) {
    return "message " +
           frame.message.dump(-1, ' ', false,
                              nlohmann::json::error_handler_t::replace);
  }
  return "error " + std::to_string(frame.error_code) + " " + frame.error;
}

// The empty lines of a stream, a line starting at its first byte: no more
// headers than these can end in it.
std::size_t EmptyLines(std::string_view stream) {
  std::size_t count = 0;
  bool blank = true;
  for (char c : stream) {
    if (c == '\n') {
      if (blank) ++count;
      blank = true;
    } else if (c != ' ' && c != '\t' && c != '\r') {
      blank = false;
    }
  }
  return count;
}

// What a decoder may hold once it has given every frame it could: a header
// so far (and the start of a header name), or a body whose header ended.
// *checked is where the held bytes started when they were last found to
// be a body, so that a body arriving in small pieces is checked once.
void CheckHeld(std::string_view fed, std::size_t held, std::size_t* checked) {
  Require(held <= fed.size(), "the decoder holds no more than it was fed");
  constexpr std::size_t kNameSlack = 16;  // "Content-Length:" arriving
  if (held <= kMaxHeaderBytes + kNameSlack) return;
  Require(held <= kMaxHeaderBytes + kMaxBodyBytes,
          "the decoder holds at most a header and a body");
  const std::size_t from = fed.size() - held;
  if (from == *checked) return;
  Require(EmptyLines(fed.substr(from, kMaxHeaderBytes)) > 0,
          "bytes held past a header's limit are a body whose header ended");
  *checked = from;
}

// The frames of stream fed in pieces whose sizes come from sizes in turn.
std::vector<std::string> DecodeInPieces(std::string_view stream,
                                        std::string_view sizes) {
  FrameDecoder decoder;
  std::vector<std::string> frames;
  std::size_t fed = 0;
  std::size_t checked = std::string_view::npos;
  for (std::size_t turn = 0; fed < stream.size(); ++turn) {
    const unsigned char b =
        sizes.empty() ? 255
                      : static_cast<unsigned char>(sizes[turn % sizes.size()]);
    const std::size_t left = stream.size() - fed;
    const std::size_t n = b == 255 ? left : std::min<std::size_t>(b + 1, left);
    decoder.Feed(stream.substr(fed, n));
    fed += n;
    while (std::optional<RpcFrame> frame = decoder.Next()) {
      frames.push_back(FrameText(*frame));
    }
    CheckHeld(stream.substr(0, fed), decoder.pending(), &checked);
  }
  return frames;
}

}  // namespace

void FuzzJsonRpc(std::string_view data) {
  if (data.size() < kJsonRpcHeadSize) return;
  const std::string_view sizes = data.substr(0, kJsonRpcHeadSize);
  const nlohmann::json last = {
      {"jsonrpc", "2.0"}, {"id", "fuzz-last"}, {"method", "m"}};
  const std::string stream = std::string(data.substr(kJsonRpcHeadSize)) +
                             "\r\n\r\n" + EncodeFrame(last);
  const std::vector<std::string> whole = DecodeInPieces(stream, "");
  Require(DecodeInPieces(stream, sizes) == whole,
          "the frames do not depend on how the bytes arrive");
  RpcFrame want;
  want.message = last;
  Require(!whole.empty() && whole.back() == FrameText(want),
          "a message after an empty line is taken, whatever came before");
  std::size_t messages = 0;
  for (const std::string& f : whole) messages += f.starts_with("message ");
  Require(whole.size() - messages <= 1 + messages + EmptyLines(stream),
          "one error a broken stretch or a whole frame");
}

void FuzzLspServer(std::string_view data) {
  LspSessionRun run;
  RunLspSession(data, &run);
  Require(run.unanswered.empty(),
          "every request is answered while the server runs");
  for (const nlohmann::json& m : run.sent) {
    Require(m.is_object() && m.value("jsonrpc", "") == "2.0",
            "the server sends JSON-RPC 2.0 objects");
    if (m.contains("id")) {
      Require(m.contains("result") != m.contains("error"),
              "a response has a result or an error");
    } else {
      Require(m.contains("method"), "a notification has a method");
    }
  }
  Require(run.fs.Paths("write").empty() && run.fs.Paths("delete").empty() &&
              run.fs.Paths("create_folders").empty(),
          "the server writes nothing");
}

}  // namespace scenario
