#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/decompile_train_parts.h"

namespace scenario {

namespace {

std::string Metres(std::int64_t m) { return std::to_string(m) + " m"; }

// Whether the field reader can give back a station's name: unquoted, a
// name runs to the next comma or line end and loses its outer blanks;
// quoted, it may hold those but not a quote.
bool NameIsWritable(const std::string& name) {
  if (name.find('"') == std::string::npos) return true;
  const bool outer_blank = name.front() == ' ' || name.front() == '\t' ||
                           name.back() == ' ' || name.back() == '\t';
  return name.front() != '"' && !outer_blank &&
         name.find_first_of(",\r\n") == std::string::npos;
}

// The station's length and end flag from its stretch, by the rule of its
// kind; false when no length gives that stretch.
bool StretchRow(const ParamSlot& slot, std::int64_t* length,
                std::int64_t* flag) {
  const std::int64_t position = slot.long3;
  const std::int64_t start = slot.long1;
  const std::int64_t end = slot.long2;
  const int kind = slot.byte1;
  *flag = 0;
  if (kind == 5 || kind == 6) {
    *length = position - start;
    return end == position + 150 && *length % 100 == 0;
  }
  if (kind == 7 || kind == 8) {
    *length = position - start;
    return end == position + *length && *length % 100 == 0;
  }
  *length = (position - start) * 2;
  if (*length % 100 != 0) return false;
  const std::int64_t extension = end - (position + *length / 2);
  if (extension != 0 && extension != 50) return false;
  *flag = extension != 0 ? 1 : 0;
  return true;
}

// The station's row fields in the reader's order: position, kind, length,
// fields 4 to 13, and the time as hours, minutes and seconds (the
// truncating division keeps h x 3600 + m x 60 + s equal to the stored
// seconds, negative ones too).
std::vector<std::int64_t> StationNumbers(const ParamSlot& slot, int k,
                                         std::int64_t length,
                                         std::int64_t flag) {
  const std::int64_t time = slot.long4;
  // The first station's end flag is cleared in its slot; its stretch end
  // still shows it.
  const std::int64_t end_flag = k == 1 ? flag : slot.byte5;
  return {slot.long3, slot.byte1,  length,           slot.byte2,
          slot.byte6, end_flag,    slot.int1,        slot.int2,
          slot.byte3, slot.int3,   slot.int4,        slot.int5,
          slot.byte4, time / 3600, time % 3600 / 60, time % 60};
}

std::string SlotProblem(int k, const std::string& what) {
  return "the parameter file's slot " + std::to_string(k) +
         " holds a station that no station row gives: " + what;
}

// The stop mark and approach marks of station k, checked against the
// cells.
Status StationMarks(const ParamSlot& slot, int k,
                    const std::vector<TrackCell>& cells, MarkedRow* station) {
  if (!StationStops(slot.byte1)) return Status::Ok();
  const std::int64_t stop = std::int64_t{slot.long2} / 50 - 1;
  const bool inside =
      stop > 1 && stop < static_cast<std::int64_t>(cells.size());
  if (!inside || cells[static_cast<std::size_t>(stop)].kind != kKindStopMark ||
      cells[static_cast<std::size_t>(stop)].w2 != k) {
    return Status::Error(SlotProblem(
        k, "its train stops there, but cell " + std::to_string(stop) +
               " (below its stretch end at " + Metres(slot.long2) +
               ") holds no stop mark for it"));
  }
  if (slot.byte1 == 5 || slot.byte1 == 6) return Status::Ok();
  for (int j = 1; j <= 4; ++j) {
    if (stop - j > 1) {
      station->marks.emplace_back(stop - j, static_cast<std::uint8_t>(80 + j));
    }
  }
  return Status::Ok();
}

// The fields a station row's reader clears: the row gives 0 there.
std::string ClearedFieldProblem(const ParamSlot& slot, int k,
                                std::int64_t length) {
  const bool kind_5_to_8 = slot.byte1 >= 5 && slot.byte1 <= 8;
  if ((k == 1 || kind_5_to_8) && slot.byte5 != 0) {
    return "its end flag is set, which the reader clears for the first "
           "station and for kinds 5 to 8";
  }
  if ((k == 1 || length < 600) && slot.byte6 != 0) {
    return "its fifth field is set, which the reader clears for the first "
           "station and below a length of 600 m";
  }
  return "";
}

// The slot a compile leaves when it stopped at a station row (its position
// beyond the cells, not a multiple of 50, or its length not a multiple of
// 100): the position, perhaps the kind, nothing else.
bool IsStoppedStation(const ParamSlot& slot) {
  ParamSlot read;
  read.long3 = slot.long3;
  read.byte1 = slot.byte1;
  return slot == read;
}

Status RecoverStation(const ParamSlot& slot, int k,
                      const std::vector<TrackCell>& cells, MarkedRow* station,
                      std::vector<RecoveryNote>* notes) {
  station->key = k;
  if (IsStoppedStation(slot)) {
    // A length the reader refuses, so that it stops here as well.
    std::vector<std::int64_t> numbers(16, 0);
    numbers[0] = slot.long3;
    numbers[1] = slot.byte1;
    numbers[2] = 50;
    station->row = TrainRow(RowKind::kStation, std::move(numbers));
    notes->push_back({RowKind::kStation, slot.long3,
                      "the compile stopped at this station (its position or "
                      "length refused), so its slot holds only the position "
                      "and kind: the row written stops the reading too"});
    return Status::Ok();
  }
  std::int64_t length = 0;
  std::int64_t flag = 0;
  if (slot.long3 % 50 != 0 || !StretchRow(slot, &length, &flag)) {
    return Status::Error(SlotProblem(
        k, "its stretch " + Metres(slot.long1) + " to " + Metres(slot.long2) +
               " around " + Metres(slot.long3) +
               " fits no length of its kind " + std::to_string(slot.byte1)));
  }
  if (std::string cleared = ClearedFieldProblem(slot, k, length);
      !cleared.empty()) {
    return Status::Error(SlotProblem(k, cleared));
  }
  if (!NameIsWritable(slot.text)) {
    return Status::Error(SlotProblem(
        k,
        "its name holds a double quote together with what only a quoted "
        "name may hold (a comma, a line end, outer blanks)"));
  }
  station->row = TrainRow(RowKind::kStation,
                          StationNumbers(slot, k, length, flag), slot.text);
  if (StationStops(slot.byte1) && std::int64_t{slot.long2} / 50 - 1 <= 1) {
    notes->push_back({RowKind::kStation, slot.long3,
                      "this station's stretch ends at or before metre 100, "
                      "where its stop mark cannot stand: the compile "
                      "stopped at it (code 24)"});
    return Status::Ok();
  }
  return StationMarks(slot, k, cells, station);
}

}  // namespace

Status RecoverStations(const ParamTable& table,
                       const std::vector<TrackCell>& cells,
                       std::vector<MarkedRow>* stations,
                       std::vector<RecoveryNote>* notes) {
  std::vector<MarkedRow> found;
  int k = kFirstStationSlot;
  for (; k < kFirstBoardTextSlot && !table[k].empty(); ++k) {
    MarkedRow station;
    if (Status s = RecoverStation(table[k], k, cells, &station, notes);
        !s.ok()) {
      return s;
    }
    found.push_back(std::move(station));
  }
  // Every stop mark names one of these stations.
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& c = cells[i];
    if (c.kind != kKindStopMark) continue;
    if (c.w2 < kFirstStationSlot || c.w2 >= k ||
        !StationStops(table[c.w2].byte1) ||
        std::int64_t{table[c.w2].long2} / 50 - 1 !=
            static_cast<std::int64_t>(i)) {
      return Status::Error("the cell file's cell " + std::to_string(i) +
                           " holds a stop mark for slot " +
                           std::to_string(c.w2) +
                           ", which holds no station that stops there");
    }
  }
  *stations = std::move(found);
  return Status::Ok();
}

}  // namespace scenario
