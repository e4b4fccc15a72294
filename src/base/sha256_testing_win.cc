#include "base/sha256_testing.h"

#include <windows.h>

// After windows.h, which it needs.
#include <bcrypt.h>

#include <climits>
#include <string>
#include <string_view>

namespace scenario {

std::string Sha256Hex(std::string_view bytes) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(
          &algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return std::string();
  }
  BCRYPT_HASH_HANDLE hash = nullptr;
  unsigned char digest[32];
  bool ok = BCRYPT_SUCCESS(
      ::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
  // Fed in pieces that a ULONG counts.
  for (std::string_view rest = bytes; ok && !rest.empty();) {
    const std::string_view piece = rest.substr(0, ULONG_MAX / 2);
    ok = BCRYPT_SUCCESS(::BCryptHashData(
        hash, reinterpret_cast<PUCHAR>(const_cast<char*>(piece.data())),
        static_cast<ULONG>(piece.size()), 0));
    rest.remove_prefix(piece.size());
  }
  ok = ok && BCRYPT_SUCCESS(::BCryptFinishHash(hash, digest, sizeof digest, 0));
  if (hash != nullptr) ::BCryptDestroyHash(hash);
  ::BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!ok) return std::string();
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char b : digest) {
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  return hex;
}

}  // namespace scenario
