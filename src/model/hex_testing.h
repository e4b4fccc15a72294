#ifndef SCENARIO_MODEL_HEX_TESTING_H_
#define SCENARIO_MODEL_HEX_TESTING_H_

// Test-only: bytes as lower-case hex pairs, so that layout tests can
// compare file images with golden bytes that read like a hex dump.

#include <cstdio>
#include <string>
#include <string_view>

namespace scenario {

// "01 14 30 09" for the bytes 0x01 0x14 0x30 0x09.
inline std::string Hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (char c : bytes) {
    std::snprintf(buf, sizeof(buf), "%02x ", static_cast<unsigned char>(c));
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace scenario

#endif  // SCENARIO_MODEL_HEX_TESTING_H_
