#ifndef SCENARIO_MODEL_CODING_H_
#define SCENARIO_MODEL_CODING_H_

// Little-endian packing by shifts: the same bytes on every host, whatever
// its byte order or struct padding. Signed fields are cast to the unsigned
// type of the same width, which gives two's complement.

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace scenario {

inline void EncodeFixed16(char* dst, std::uint16_t v) {
  dst[0] = static_cast<char>(v & 0xff);
  dst[1] = static_cast<char>(v >> 8);
}

inline void EncodeFixed32(char* dst, std::uint32_t v) {
  dst[0] = static_cast<char>(v & 0xff);
  dst[1] = static_cast<char>((v >> 8) & 0xff);
  dst[2] = static_cast<char>((v >> 16) & 0xff);
  dst[3] = static_cast<char>(v >> 24);
}

inline void EncodeFixed64(char* dst, std::uint64_t v) {
  EncodeFixed32(dst, static_cast<std::uint32_t>(v & 0xffffffffu));
  EncodeFixed32(dst + 4, static_cast<std::uint32_t>(v >> 32));
}

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559,
              "doubles are stored as IEEE 754 binary64");

inline void EncodeDouble(char* dst, double v) {
  EncodeFixed64(dst, std::bit_cast<std::uint64_t>(v));
}

inline std::uint16_t DecodeFixed16(const char* src) {
  const auto* p = reinterpret_cast<const unsigned char*>(src);
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t DecodeFixed32(const char* src) {
  const auto* p = reinterpret_cast<const unsigned char*>(src);
  return static_cast<std::uint32_t>(p[0]) |
         (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) |
         (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t DecodeFixed64(const char* src) {
  return static_cast<std::uint64_t>(DecodeFixed32(src)) |
         (static_cast<std::uint64_t>(DecodeFixed32(src + 4)) << 32);
}

inline double DecodeDouble(const char* src) {
  return std::bit_cast<double>(DecodeFixed64(src));
}

// Append to *out.
inline void PutFixed8(std::string* out, std::uint8_t v) {  // 1 byte
  out->push_back(static_cast<char>(v));
}
inline void PutFixed16(std::string* out, std::uint16_t v) {  // 2 bytes
  char buf[2];
  EncodeFixed16(buf, v);
  out->append(buf, sizeof(buf));
}
inline void PutFixed32(std::string* out, std::uint32_t v) {  // 4 bytes
  char buf[4];
  EncodeFixed32(buf, v);
  out->append(buf, sizeof(buf));
}
inline void PutFixed64(std::string* out, std::uint64_t v) {  // 8 bytes
  char buf[8];
  EncodeFixed64(buf, v);
  out->append(buf, sizeof(buf));
}
inline void PutDouble(std::string* out, double v) {  // IEEE 754, 8 bytes
  char buf[8];
  EncodeDouble(buf, v);
  out->append(buf, sizeof(buf));
}

// Read from the front of *input and advance it. False, with *input and
// *value untouched, when too few bytes are left.
bool GetFixed8(std::string_view* input, std::uint8_t* value);
bool GetFixed16(std::string_view* input, std::uint16_t* value);
bool GetFixed32(std::string_view* input, std::uint32_t* value);
bool GetFixed64(std::string_view* input, std::uint64_t* value);
bool GetDouble(std::string_view* input, double* value);
// Takes exactly n bytes into *value.
bool GetBytes(std::string_view* input, std::size_t n, std::string* value);

}  // namespace scenario

#endif  // SCENARIO_MODEL_CODING_H_
