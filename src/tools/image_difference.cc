#include "tools/image_difference.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <variant>
#include <vector>

#include "base/strings.h"
#include "model/cell_file.h"
#include "model/cell_items.h"
#include "model/coding.h"
#include "model/grid_file.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "tools/scenario_diff.h"

namespace scenario {
namespace {

// The offset of the first byte where a and b differ, a length where one
// ends and the other does not; nullopt when they are the same.
std::optional<std::size_t> FirstDifferentByte(std::string_view a,
                                              std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  // Block by block with memcmp, which is many times faster than a
  // byte loop over a long line's 20 MB grid; bytes only in the block that
  // differs.
  constexpr std::size_t kBlock = 4096;
  for (std::size_t at = 0; at < common; at += kBlock) {
    const std::size_t n = std::min(kBlock, common - at);
    if (std::memcmp(a.data() + at, b.data() + at, n) == 0) continue;
    std::size_t offset = at;
    while (a[offset] == b[offset]) ++offset;
    return offset;
  }
  if (a.size() != b.size()) return common;
  return std::nullopt;
}

std::string Both(const std::string& in_file, const std::string& compiled) {
  return in_file + " in the file, " + compiled + " compiled";
}

// A field of a packed record: where it starts, its size (1: unsigned
// byte, 2: 16-bit, 4: 32-bit, both signed) and its name.
struct PackedField {
  std::size_t at;
  std::size_t size;
  const char* name;
};

constexpr PackedField kCellFields[] = {
    {kCellKindAt, 1, "kind"},
    {kCellW2At, 2, "w2"},
    {kCellW4At, 2, "w4"},
    {kCellW6At, 2, "w6"},
    {kCellW8At, 2, "w8"},
    {kCellB10At, 1, "b10"},
    {kCellB11At, 1, "approach mark (b11)"},
    {kCellMountainAt, 1, "mountain side"},
    {kCellSpeedStepAt, 1, "speed limit step"},
    {kCellGradientAt, 1, "gradient"},
    {kCellAdhesionAt, 1, "adhesion"},
};

const PackedField& FieldAt(const PackedField* fields, std::size_t count,
                           std::size_t offset) {
  const PackedField* found = fields;
  for (std::size_t i = 0; i < count; ++i) {
    if (fields[i].at <= offset) found = &fields[i];
  }
  return *found;
}

std::int64_t ReadField(std::string_view image, std::size_t at,
                       std::size_t size) {
  const char* p = image.data() + at;
  switch (size) {
    case 1:
      return static_cast<unsigned char>(*p);
    case 2:
      return static_cast<std::int16_t>(DecodeFixed16(p));
    default:
      return static_cast<std::int32_t>(DecodeFixed32(p));
  }
}

// A cell field's value as an author reads it.
std::string CellValue(const PackedField& field, std::int64_t value) {
  std::string text = std::to_string(value);
  if (field.at == kCellKindAt) {
    return text + " (" + KindName(static_cast<std::uint8_t>(value)) + ")";
  }
  if (field.at == kCellSpeedStepAt) {
    return text + " (" + std::to_string(value * 5) + " km/h)";
  }
  if (field.at == kCellGradientAt) {
    return text + " (" + std::to_string(value - 100) + " per mille)";
  }
  return text;
}

std::string CellDifference(std::string_view input, std::string_view compiled,
                           std::size_t offset) {
  const std::size_t cell = offset / kCellSize;
  const std::size_t start = cell * kCellSize;
  if (start + kCellSize > input.size() || start + kCellSize > compiled.size()) {
    return "the cell array's length: " +
           Both(std::to_string(input.size() / kCellSize) + " cells",
                std::to_string(compiled.size() / kCellSize)) +
           " (the line's length sets it)";
  }
  const PackedField& field =
      FieldAt(kCellFields, std::size(kCellFields), offset - start);
  const auto index = static_cast<std::int64_t>(cell);
  // An item stands at its row's position, (cell - 1) x 50; a line
  // property holds over the cell from cell x 50 on.
  const std::int64_t metre =
      field.at >= kCellMountainAt ? index * 50 : (index - 1) * 50;
  std::string what = "cell " + std::to_string(cell) + " (metre " +
                     std::to_string(metre) + "), ";
  if (field.at < kCellB11At) {
    what += ItemName(DecodeCell(input.data() + start), index) + ", ";
  }
  what += std::string(field.name) + ": ";
  return what +
         Both(CellValue(field, ReadField(input, start + field.at, field.size)),
              CellValue(field,
                        ReadField(compiled, start + field.at, field.size)));
}

constexpr PackedField kSlotHeadFields[] = {
    {kSlotByte1At, 1, "byte1"}, {kSlotLong1At, 4, "long1"},
    {kSlotLong2At, 4, "long2"}, {kSlotLong3At, 4, "long3"},
    {kSlotByte2At, 1, "byte2"}, {kSlotTextLengthAt, 2, "text length"},
};
constexpr PackedField kSlotTailFields[] = {
    {kTailInt1At, 2, "int1"},       {kTailInt1At + 2, 2, "int2"},
    {kTailInt1At + 4, 2, "int3"},   {kTailInt1At + 6, 2, "int4"},
    {kTailInt1At + 8, 2, "int5"},   {kTailByte3At, 1, "byte3"},
    {kTailByte3At + 1, 1, "byte4"}, {kTailByte3At + 2, 1, "byte5"},
    {kTailByte3At + 3, 1, "byte6"}, {kTailLong4At, 4, "long4"},
};

// Where a byte of a parameter image stands: its slot and the slot's field
// by its storage name. False when the image's walk does not reach it.
bool SlotOfByte(std::string_view image, std::size_t offset, int* slot,
                std::string* storage) {
  std::size_t start = 0;
  for (int i = 0; i < kParamSlotCount; ++i) {
    if (start + kSlotHeadSize > image.size()) return false;
    const std::size_t text_length =
        DecodeFixed16(image.data() + start + kSlotTextLengthAt);
    const std::size_t tail = start + kSlotHeadSize + text_length;
    const std::size_t end = tail + kSlotTailSize;
    if (offset < end) {
      *slot = i;
      if (offset < start + kSlotHeadSize) {
        *storage =
            FieldAt(kSlotHeadFields, std::size(kSlotHeadFields), offset - start)
                .name;
      } else if (offset < tail) {
        *storage = "text";
      } else {
        *storage =
            FieldAt(kSlotTailFields, std::size(kSlotTailFields), offset - tail)
                .name;
      }
      return true;
    }
    start = end;
  }
  return false;
}

std::string ValueText(const std::optional<FieldValue>& value,
                      const std::string& unit) {
  if (!value) return "nothing";
  if (const auto* text = std::get_if<std::string>(&*value)) {
    return QuotedName(*text);
  }
  std::string number = std::to_string(std::get<std::int64_t>(*value));
  return unit.empty() ? number : number + " " + unit;
}

std::string SlotDifference(std::string_view input, std::string_view compiled,
                           std::size_t offset) {
  int slot = 0;
  std::string storage;
  const std::string_view longer =
      input.size() >= compiled.size() ? input : compiled;
  if (!SlotOfByte(longer, offset, &slot, &storage)) {
    return "the parameter file's length: " +
           Both(std::to_string(input.size()) + " bytes",
                std::to_string(compiled.size()));
  }
  std::string what = "slot " + std::to_string(slot);
  ParamTable tables[2];
  if (DecodeParamFile(input, &tables[0]) &&
      DecodeParamFile(compiled, &tables[1])) {
    // The diff names a slot's fields for what the slot holds.
    const std::vector<TrackCell> no_cells;
    const ScenarioDiff diff = DiffScenarios({&no_cells, &tables[0], nullptr},
                                            {&no_cells, &tables[1], nullptr});
    for (const SlotChange& change : diff.slots) {
      if (change.slot != slot) continue;
      return what + " (" + change.role + "), " + change.field.name + ": " +
             Both(ValueText(change.field.old_value, change.field.unit),
                  ValueText(change.field.new_value, change.field.unit));
    }
  }
  return what + ", " + storage + ": the bytes differ";
}

// The size of a grid element whose tag stands at image[at], or 0 when
// there is none there.
std::size_t GridElementSize(std::string_view image, std::size_t at) {
  if (at + kGridTagSize > image.size()) return 0;
  switch (static_cast<GridTag>(DecodeFixed16(image.data() + at))) {
    case GridTag::kEmpty:
      return kGridEmptySize;
    case GridTag::kInt16:
      return kGridInt16Size;
    case GridTag::kDouble:
      return kGridDoubleSize;
  }
  return 0;
}

// The elements of a grid image, walked from its start; counts those
// before `offset` into *before (when given) and where that one starts.
std::size_t CountGridElements(std::string_view image, std::size_t offset,
                              std::size_t* before, std::size_t* start) {
  std::size_t count = 0;
  for (std::size_t at = 0;;) {
    const std::size_t size = GridElementSize(image, at);
    if (size == 0 || at + size > image.size()) return count;
    if (at <= offset && offset < at + size) {
      *before = count;
      *start = at;
    }
    at += size;
    ++count;
  }
}

std::string GridValue(std::string_view image, std::size_t at) {
  const std::size_t size = GridElementSize(image, at);
  if (size == 0 || at + size > image.size()) return "nothing";
  if (size == kGridEmptySize) return "empty";
  const char* value = image.data() + at + kGridTagSize;
  if (size == kGridInt16Size) {
    return std::to_string(static_cast<std::int16_t>(DecodeFixed16(value)));
  }
  std::string_view bytes(value, kGridDoubleValueSize);
  double number = 0;
  GetDouble(&bytes, &number);
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", number);
  return text;
}

std::string GridDifference(std::string_view input, std::string_view compiled,
                           std::size_t offset) {
  std::size_t index = 0;
  std::size_t start = 0;
  const std::size_t in_file = CountGridElements(input, offset, &index, &start);
  std::size_t unused = 0;
  const std::size_t in_compile =
      CountGridElements(compiled, offset, &unused, &unused);
  if (in_file != in_compile || in_file % 2 != 0) {
    return "the line grid's length: " +
           Both(std::to_string(in_file / 2) + " metres",
                std::to_string(in_compile / 2)) +
           " (the line's length sets it)";
  }
  const std::size_t metres = in_file / 2;
  const bool x = index < metres;
  const std::size_t metre = x ? index : index - metres;
  return "line grid metre " + std::to_string(metre) + ", " + (x ? "x" : "y") +
         ": " + Both(GridValue(input, start), GridValue(compiled, start));
}

}  // namespace

std::optional<RoundTripDifference> FirstImageDifference(
    const ScenarioImages& input, const ScenarioImages& compiled) {
  struct File {
    const char* role;
    const std::string* in_file;
    const std::string* in_compile;
    std::string (*describe)(std::string_view, std::string_view, std::size_t);
  };
  const File files[] = {
      {kParamFileRole, &input.param_file, &compiled.param_file, SlotDifference},
      {kCellFileRole, &input.cell_file, &compiled.cell_file, CellDifference},
      {kGridFileRole, &input.grid_file, &compiled.grid_file, GridDifference},
  };
  for (const File& file : files) {
    if (file.role == kGridFileRole && !input.has_grid) continue;
    const std::optional<std::size_t> offset =
        FirstDifferentByte(*file.in_file, *file.in_compile);
    if (!offset) continue;
    RoundTripDifference difference;
    difference.file = file.role;
    difference.offset = static_cast<std::int64_t>(*offset);
    difference.what = file.describe(*file.in_file, *file.in_compile, *offset);
    return difference;
  }
  return std::nullopt;
}

}  // namespace scenario
