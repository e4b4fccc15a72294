#include "compile/compile_stage.h"

#include <cassert>
#include <optional>
#include <string>
#include <utility>

#include "base/file_system.h"
#include "base/windows1252.h"
#include "compile/post_pass.h"
#include "line/field_reader.h"
#include "line/line_reader.h"
#include "line/read_log.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/param_file.h"
#include "train/train_reader.h"

namespace scenario {
namespace {

// Reads a description file whole; a failure (a folder, a pipe or a file
// far too large among them) is a fault of the read.
std::string ReadDescription(FileSystem& fs, const std::string& path) {
  std::string bytes;
  Status status = ReadNormalFile(fs, path, &bytes);
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

// memorizza_dati's fault handler, shared by its two halves. Code 25:
// error_position keeps its value. The recorded message says what went
// wrong besides the code's general meaning.
void RecordFault(Scenario& s, FileSystem& fs, const CompileFiles& files,
                 const Fault& fault) {
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

// Lets the field reader record into log, when there is one.
void AttachLog(FieldReader& fields, ReadLog* log) {
  if (log == nullptr) return;
  log->set_file(fields.file_name());
  fields.set_log(log);
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
  return s.track_cells.exists() && s.track_cells.Contains(kHeaderCell);
}

}  // namespace

LineHalf ReadLineHalf(Scenario& s, FileSystem& fs, const CompileFiles& files) {
  s.param_table[kLineSlot].text = s.line_name;
  s.param_table[kTrainSlot].text = s.train_name;

  if (!fs.IsNormalFile(files.line_description)) {
    // Nothing is read, created or deleted: both files stay as they are.
    s.errors.Record(kCodeNoLineFile, std::nullopt,
                    SourceSpot{files.line_description, 0, 0});
    return LineHalf{};
  }

  try {
    const std::string line_bytes = ReadDescription(fs, files.line_description);
    FieldReader line_fields(line_bytes, files.line_description);
    AttachLog(line_fields, files.line_log);
    const LineHandover handover = PlaceFaults(
        line_fields, [&] { return ReadLineDescription(s, line_fields); });
    // Every way out of the line reader deletes its file, a line stop too.
    if (files.delete_descriptions) {
      DeleteDescription(fs, files.line_description);
    }
    return LineHalf{handover.train_reader_runs, handover.board_slot};
  } catch (const Fault& fault) {
    RecordFault(s, fs, files, fault);
    return LineHalf{};
  }
}

void ReadTrainHalf(Scenario& s, FileSystem& fs, const CompileFiles& files,
                   const LineHalf& line) {
  if (!line.train_reader_runs) return;
  try {
    const std::string train_bytes =
        ReadDescription(fs, files.train_description);
    FieldReader train_fields(train_bytes, files.train_description);
    AttachLog(train_fields, files.train_log);
    PlaceFaults(train_fields, [&] {
      ReadTrainDescription(s, train_fields, line.board_slot);
    });
    if (files.delete_descriptions) {
      DeleteDescription(fs, files.train_description);
    }
  } catch (const Fault& fault) {
    RecordFault(s, fs, files, fault);
  }
}

void memorizza_dati(Scenario& s, FileSystem& fs, const CompileFiles& files) {
  // One handler covers both halves: a fault in the line half leaves the
  // train file unread.
  ReadTrainHalf(s, fs, files, ReadLineHalf(s, fs, files));
}

CompileResult memorizza_percorso(Scenario& s, std::int32_t j, FileSystem& fs,
                                 const CompileFiles& files) {
  s.write_line_file = j;
  // The grid is only written (or only counted, in a check): its
  // coordinates need never fill memory.
  s.keep_plan_runs = true;
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
  TrackCell& header = s.track_cells[kHeaderCell];

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
  return WriteBinaryFiles(s, fs, files);
}

CompileResult WriteBinaryFiles(const Scenario& s, FileSystem& fs,
                               const CompileFiles& files) {
  CompileResult result;
  // The grid exists whenever the cells do and write_line_file is set: the
  // line reader creates both at once.
  assert(s.write_line_file == 0 || s.line_grid.exists());
  // Each image goes to its file in pieces as it is packed, straight from
  // the model: none is ever held whole.
  auto wrote = [&result](const std::string& path, const Status& status) {
    if (!status.ok()) {
      result.end = CompileEnd::kWriteFailed;
      result.write_status = status;
      return false;
    }
    result.written.push_back(path);
    return true;
  };
  if (s.write_line_file != 0 &&
      !wrote(files.grid_file, fs.WriteFileReplacingPlaced(
                                  files.grid_file, GridFileSize(s.line_grid),
                                  [&s](const PlacedPieceWriter& write) {
                                    EncodeGridFile(s.line_grid, write);
                                  }))) {
    return result;
  }
  if (!wrote(files.param_file,
             fs.WriteFileReplacingInPieces(
                 files.param_file, [&s](const PieceWriter& write) {
                   EncodeParamFile(s.param_table, write);
                 }))) {
    return result;
  }
  wrote(files.cell_file, fs.WriteFileReplacingInPieces(
                             files.cell_file, [&s](const PieceWriter& write) {
                               EncodeCellFile(s.track_cells, write);
                             }));
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

std::string CompileEndMessage(const CompileResult& result) {
  switch (result.end) {
    case CompileEnd::kWritten:
      return "";
    case CompileEnd::kHeaderFatal:
      return "error " + std::to_string(result.fatal_code) +
             ": the header places of cell 1 or slot 85 are taken; no binary "
             "file was written";
    case CompileEnd::kNoCellArray:
      return "no cell array was created from the line description; no "
             "binary file was written";
    case CompileEnd::kWriteFailed:
      return result.write_status.message() +
             (result.written.empty() ? "; no binary file was written"
                                     : "; the binary files after it were "
                                       "not written");
  }
  return "";
}

}  // namespace scenario
