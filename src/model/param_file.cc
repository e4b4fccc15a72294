#include "model/param_file.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <utility>

#include "model/block_writer.h"
#include "model/coding.h"

namespace scenario {
namespace {

void EncodeSlot(const ParamSlot& slot, BlockWriter& out) {
  const std::size_t length = std::min(slot.text.size(), kMaxSlotTextLength);
  char* head = out.Room(kSlotHeadSize);
  head[kSlotByte1At] = static_cast<char>(slot.byte1);
  EncodeFixed32(head + kSlotLong1At, static_cast<std::uint32_t>(slot.long1));
  EncodeFixed32(head + kSlotLong2At, static_cast<std::uint32_t>(slot.long2));
  EncodeFixed32(head + kSlotLong3At, static_cast<std::uint32_t>(slot.long3));
  head[kSlotByte2At] = static_cast<char>(slot.byte2);
  EncodeFixed16(head + kSlotTextLengthAt, static_cast<std::uint16_t>(length));
  out.Advance(kSlotHeadSize);
  out.Append(std::string_view(slot.text.data(), length));
  char* tail = out.Room(kSlotTailSize);
  std::size_t at = kTailInt1At;
  for (std::int16_t v :
       {slot.int1, slot.int2, slot.int3, slot.int4, slot.int5}) {
    EncodeFixed16(tail + at, static_cast<std::uint16_t>(v));
    at += 2;
  }
  assert(at == kTailByte3At);
  for (std::uint8_t v : {slot.byte3, slot.byte4, slot.byte5, slot.byte6}) {
    tail[at++] = static_cast<char>(v);
  }
  assert(at == kTailLong4At);
  EncodeFixed32(tail + kTailLong4At, static_cast<std::uint32_t>(slot.long4));
  out.Advance(kSlotTailSize);
}

bool DecodeSlot(std::string_view* input, ParamSlot* slot) {
  if (input->size() < kSlotHeadSize) return false;
  const char* head = input->data();
  const std::size_t length = DecodeFixed16(head + kSlotTextLengthAt);
  if (input->size() < kSlotFixedSize + length) return false;
  const char* tail = head + kSlotHeadSize + length;
  auto i16 = [tail](std::size_t at) {
    return static_cast<std::int16_t>(DecodeFixed16(tail + at));
  };
  slot->byte1 = static_cast<std::uint8_t>(head[kSlotByte1At]);
  slot->long1 = static_cast<std::int32_t>(DecodeFixed32(head + kSlotLong1At));
  slot->long2 = static_cast<std::int32_t>(DecodeFixed32(head + kSlotLong2At));
  slot->long3 = static_cast<std::int32_t>(DecodeFixed32(head + kSlotLong3At));
  slot->byte2 = static_cast<std::uint8_t>(head[kSlotByte2At]);
  slot->text.assign(head + kSlotHeadSize, length);
  slot->int1 = i16(kTailInt1At);
  slot->int2 = i16(kTailInt1At + 2);
  slot->int3 = i16(kTailInt1At + 4);
  slot->int4 = i16(kTailInt1At + 6);
  slot->int5 = i16(kTailInt1At + 8);
  slot->byte3 = static_cast<std::uint8_t>(tail[kTailByte3At]);
  slot->byte4 = static_cast<std::uint8_t>(tail[kTailByte3At + 1]);
  slot->byte5 = static_cast<std::uint8_t>(tail[kTailByte3At + 2]);
  slot->byte6 = static_cast<std::uint8_t>(tail[kTailByte3At + 3]);
  slot->long4 = static_cast<std::int32_t>(DecodeFixed32(tail + kTailLong4At));
  input->remove_prefix(kSlotFixedSize + length);
  return true;
}

}  // namespace

void EncodeParamFile(const ParamTable& table, const PieceWriter& write) {
  BlockWriter out(write);
  for (const ParamSlot& slot : table.slots()) EncodeSlot(slot, out);
  out.Flush();
}

std::string EncodeParamFile(const ParamTable& table) {
  std::size_t size = 0;
  for (const ParamSlot& slot : table.slots()) {
    size += kSlotFixedSize + std::min(slot.text.size(), kMaxSlotTextLength);
  }
  std::string image;
  image.reserve(size);
  EncodeParamFile(table,
                  [&image](std::string_view piece) { image.append(piece); });
  return image;
}

bool DecodeParamFile(std::string_view image, ParamTable* table) {
  ParamTable decoded;
  for (int i = 0; i < kParamSlotCount; ++i) {
    if (!DecodeSlot(&image, &decoded[i])) return false;
  }
  if (!image.empty()) return false;
  *table = std::move(decoded);
  return true;
}

}  // namespace scenario
