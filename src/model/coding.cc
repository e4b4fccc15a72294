#include "model/coding.h"

#include <bit>
#include <limits>

namespace scenario {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559,
              "doubles are stored as IEEE 754 binary64");

void PutFixed8(std::string* out, std::uint8_t v) {
  out->push_back(static_cast<char>(v));
}

void PutFixed16(std::string* out, std::uint16_t v) {
  char buf[2];
  EncodeFixed16(buf, v);
  out->append(buf, sizeof(buf));
}

void PutFixed32(std::string* out, std::uint32_t v) {
  char buf[4];
  EncodeFixed32(buf, v);
  out->append(buf, sizeof(buf));
}

void PutFixed64(std::string* out, std::uint64_t v) {
  PutFixed32(out, static_cast<std::uint32_t>(v & 0xffffffffu));
  PutFixed32(out, static_cast<std::uint32_t>(v >> 32));
}

void PutDouble(std::string* out, double v) {
  PutFixed64(out, std::bit_cast<std::uint64_t>(v));
}

bool GetFixed8(std::string_view* input, std::uint8_t* value) {
  if (input->empty()) return false;
  *value = static_cast<std::uint8_t>((*input)[0]);
  input->remove_prefix(1);
  return true;
}

bool GetFixed16(std::string_view* input, std::uint16_t* value) {
  if (input->size() < 2) return false;
  *value = DecodeFixed16(input->data());
  input->remove_prefix(2);
  return true;
}

bool GetFixed32(std::string_view* input, std::uint32_t* value) {
  if (input->size() < 4) return false;
  *value = DecodeFixed32(input->data());
  input->remove_prefix(4);
  return true;
}

bool GetFixed64(std::string_view* input, std::uint64_t* value) {
  if (input->size() < 8) return false;
  const std::uint64_t low = DecodeFixed32(input->data());
  const std::uint64_t high = DecodeFixed32(input->data() + 4);
  *value = low | (high << 32);
  input->remove_prefix(8);
  return true;
}

bool GetDouble(std::string_view* input, double* value) {
  std::uint64_t bits;
  if (!GetFixed64(input, &bits)) return false;
  *value = std::bit_cast<double>(bits);
  return true;
}

bool GetBytes(std::string_view* input, std::size_t n, std::string* value) {
  if (input->size() < n) return false;
  value->assign(input->data(), n);
  input->remove_prefix(n);
  return true;
}

}  // namespace scenario
