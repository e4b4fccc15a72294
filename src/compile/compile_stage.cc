#include "compile/compile_stage.h"

#include <cassert>
#include <optional>
#include <string>
#include <utility>

#include "base/windows1252.h"
#include "compile/post_pass.h"
#include "line/field_reader.h"
#include "line/line_reader.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/param_file.h"
#include "train/train_reader.h"

namespace scenario {
namespace {

// The two header marks. In files: never change.
inline constexpr std::int16_t kParamHeaderMark = 610;  // slot 85 int1
inline constexpr std::int16_t kCellHeaderMark = 5121;  // cell 1 w2

// Reads a description file whole; a failure is a fault of the read.
std::string ReadDescription(FileSystem& fs, const std::string& path) {
  std::string bytes;
  Status status = fs.ReadFile(path, &bytes);
  if (!status.ok()) throw Fault(status.message(), SourceSpot{path, 0, 0});
  return bytes;
}

// Deletes a description file once it has been read; a failed delete is a
// fault like any other file error inside memorizza_dati.
void DeleteDescription(FileSystem& fs, const std::string& path) {
  Status status = fs.DeleteFile(path);
  if (!status.ok()) throw Fault(status.message(), SourceSpot{path, 0, 0});
}

// The 25 bytes both race codes sum.
std::string RaceCodeText(const ParamTable& table) {
  std::string text =
      LowerWindows1252(table[kTrainSlot].text + table[kLineSlot].text);
  text += kRaceCodePadding;
  text.resize(kRaceCodeLength);
  return text;
}

// Runs a reader. A fault raised away from the text (a model access out of
// bounds knows no place) is placed at the field the reader read last.
template <typename Read>
auto PlaceFaults(const FieldReader& fields, Read read) {
  try {
    return read();
  } catch (const Fault& fault) {
    if (!fault.where().file.empty()) throw;
    throw Fault(fault.message(), fields.last_field());
  }
}

// A taken header place ends the compile without recording a code:
// error_code and error_position stay as the readers left them, and only
// the list of diagnostics tells of the fatal end.
// When cell 1's word is what is taken, the diagnostic stands at the row
// that put the item there and names it.
void ReportHeaderTaken(Scenario& s, std::int32_t code, bool cell_word_taken) {
  Diagnostic d;
  d.code = code;
  d.message = std::string(ExplainCode(code));
  if (const CellOrigin* origin = s.cell_origins.Find(1);
      cell_word_taken && origin != nullptr) {
    d.where = origin->where;
    d.message += " (" + origin->what + ")";
  }
  s.errors.diagnostics.push_back(std::move(d));
}

bool HasHeaderCell(const Scenario& s) {
  return s.track_cells.exists() && s.track_cells.Contains(1);
}

}  // namespace

void memorizza_dati(Scenario& s, FileSystem& fs, const CompileFiles& files) {
  s.param_table[kLineSlot].text = s.line_name;
  s.param_table[kTrainSlot].text = s.train_name;

  if (!fs.IsNormalFile(files.line_description)) {
    // Nothing is read, created or deleted: both files stay as they are.
    s.errors.Record(kCodeNoLineFile, std::nullopt,
                    SourceSpot{files.line_description, 0, 0});
    return;
  }

  try {
    const std::string line_bytes = ReadDescription(fs, files.line_description);
    FieldReader line_fields(line_bytes, files.line_description);
    const LineHandover handover = PlaceFaults(
        line_fields, [&] { return ReadLineDescription(s, line_fields); });
    // Every way out of the line reader deletes its file, a line stop too.
    if (files.delete_descriptions) {
      DeleteDescription(fs, files.line_description);
    }
    if (!handover.train_reader_runs) return;

    const std::string train_bytes =
        ReadDescription(fs, files.train_description);
    FieldReader train_fields(train_bytes, files.train_description);
    PlaceFaults(train_fields, [&] {
      ReadTrainDescription(s, train_fields, handover.board_slot);
    });
    if (files.delete_descriptions) {
      DeleteDescription(fs, files.train_description);
    }
  } catch (const Fault& fault) {
    // Code 25: error_position keeps its value. The recorded message says
    // what went wrong besides the code's general meaning.
    s.errors.Record(kCodeFault, std::nullopt, fault.where());
    s.errors.diagnostics.back().message =
        std::string(ExplainCode(kCodeFault)) + ": " + fault.message();
    if (files.delete_descriptions) {
      // Best effort: a file already gone is skipped, and a failure here has
      // nowhere left to go.
      (void)fs.DeleteFile(files.line_description);
      (void)fs.DeleteFile(files.train_description);
    }
  }
}

CompileResult memorizza_percorso(Scenario& s, std::int32_t j, FileSystem& fs,
                                 const CompileFiles& files) {
  s.write_line_file = j;
  s.errors.error_code = 0;
  s.errors.diagnostics.clear();
  s.cell_origins.Clear();
  s.param_table.Reset();

  // Its outcome is not examined: recorded codes do not stop the stage.
  memorizza_dati(s, fs, files);

  // Without the cell array (codes 1, 101, 102, or a fault before the length
  // row) there is nothing to post-process or stamp.
  if (!HasHeaderCell(s)) {
    CompileResult result;
    result.end = CompileEnd::kNoCellArray;
    return result;
  }
  ApplySignalCodePass(s);
  return StampAndWrite(s, fs, files);
}

CompileResult StampAndWrite(Scenario& s, FileSystem& fs,
                            const CompileFiles& files) {
  CompileResult result;
  if (!HasHeaderCell(s)) {
    result.end = CompileEnd::kNoCellArray;
    return result;
  }
  ParamSlot& line_slot = s.param_table[kLineSlot];
  TrackCell& header = s.track_cells[1];

  if (line_slot.int1 != 0 || header.w2 != 0) {
    ReportHeaderTaken(s, kCodeHeaderMarkTaken, header.w2 != 0);
    result.end = CompileEnd::kHeaderFatal;
    result.fatal_code = kCodeHeaderMarkTaken;
    return result;
  }
  line_slot.int1 = kParamHeaderMark;
  header.w2 = kCellHeaderMark;

  if (line_slot.long4 != 0 || header.w4 != 0) {
    ReportHeaderTaken(s, kCodeHeaderCodeTaken, header.w4 != 0);
    result.end = CompileEnd::kHeaderFatal;
    result.fatal_code = kCodeHeaderCodeTaken;
    return result;
  }
  line_slot.long4 = codice_gara_st(s.param_table);
  header.w4 = static_cast<std::int16_t>(codice_gara_og(s.param_table));

  if (!files.write_outputs) return result;

  // The grid exists whenever the cells do and write_line_file is set: the
  // line reader creates both at once.
  assert(s.write_line_file == 0 || s.line_grid.exists());
  auto write = [&](const std::string& path, const std::string& image) {
    Status status = fs.WriteFileReplacing(path, image);
    if (!status.ok()) {
      result.end = CompileEnd::kWriteFailed;
      result.write_status = status;
      return false;
    }
    result.written.push_back(path);
    return true;
  };
  if (s.write_line_file != 0 &&
      !write(files.grid_file, EncodeGridFile(s.line_grid))) {
    return result;
  }
  if (!write(files.param_file, EncodeParamFile(s.param_table))) return result;
  if (!write(files.cell_file, EncodeCellFile(s.track_cells))) return result;
  return result;
}

std::int32_t codice_gara_og(const ParamTable& table) {
  std::int32_t sum = 0;
  for (char c : RaceCodeText(table)) sum += static_cast<unsigned char>(c);
  return sum;
}

std::int32_t codice_gara_st(const ParamTable& table) {
  const std::string text = RaceCodeText(table);
  std::int32_t sum = 0;
  for (int p = 1; p <= kRaceCodeLength; ++p) {
    sum += p * static_cast<unsigned char>(text[p - 1]);
  }
  return sum;
}

}  // namespace scenario
