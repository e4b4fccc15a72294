#include "model/coding.h"

#include <bit>

namespace scenario {

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
