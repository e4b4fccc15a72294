#ifndef SCENARIO_MODEL_PARAM_FILE_H_
#define SCENARIO_MODEL_PARAM_FILE_H_

// The parameter file: the 87 slots in order 0 to 86, each packed field by
// field with no padding, little-endian. A slot's text is a 2-byte length L
// followed by its L Windows-1252 bytes with no terminator, so a slot takes
// 34 + L bytes and the file 87 x 34 bytes plus the lengths of all texts.
// Slots have no fixed stride: a reader must walk them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "model/param_table.h"

namespace scenario {

// On-disk ParamSlot, the part before the text. In files: never change.
inline constexpr std::size_t kSlotByte1At = 0;        // u8
inline constexpr std::size_t kSlotLong1At = 1;        // i32
inline constexpr std::size_t kSlotLong2At = 5;        // i32
inline constexpr std::size_t kSlotLong3At = 9;        // i32
inline constexpr std::size_t kSlotByte2At = 13;       // u8
inline constexpr std::size_t kSlotTextLengthAt = 14;  // u16: L
inline constexpr std::size_t kSlotHeadSize = 16;      // then L text bytes
static_assert(kSlotLong1At == kSlotByte1At + 1 &&
              kSlotLong2At == kSlotLong1At + 4 &&
              kSlotLong3At == kSlotLong2At + 4 &&
              kSlotByte2At == kSlotLong3At + 4 &&
              kSlotTextLengthAt == kSlotByte2At + 1 &&
              kSlotHeadSize == kSlotTextLengthAt + 2);

// The part after the text, offsets from its start (16 + L in the slot).
inline constexpr std::size_t kTailInt1At = 0;    // i16 int1 .. int5
inline constexpr std::size_t kTailByte3At = 10;  // u8 byte3 .. byte6
inline constexpr std::size_t kTailLong4At = 14;  // i32
inline constexpr std::size_t kSlotTailSize = 18;
static_assert(kTailByte3At == kTailInt1At + 5 * 2 &&
              kTailLong4At == kTailByte3At + 4 &&
              kSlotTailSize == kTailLong4At + 4);

// A slot without its text.
inline constexpr std::size_t kSlotFixedSize = 34;
static_assert(kSlotHeadSize + kSlotTailSize == kSlotFixedSize);

// The mark stamped into int1 of the line slot (85), the parameter file's
// header place; long4 of that slot takes the weighted race code. In files:
// never change.
inline constexpr std::int16_t kParamHeaderMark = 610;

// The longest text the 2-byte length can carry.
inline constexpr std::size_t kMaxSlotTextLength = 0xffff;

// The image of the parameter file, 87 packed slots, 0 to 86, handed to
// write in large pieces in one pass.
// The field reader keeps texts within kMaxSlotTextLength; a longer text
// (a name given by a caller) is cut to that length so that the image stays
// walkable rather than carrying a wrapped length.
void EncodeParamFile(const ParamTable& table, const PieceWriter& write);
// The same image whole.
std::string EncodeParamFile(const ParamTable& table);

// False when the walk of 87 slots does not end exactly at the image's end.
bool DecodeParamFile(std::string_view image, ParamTable* table);

}  // namespace scenario

#endif  // SCENARIO_MODEL_PARAM_FILE_H_
