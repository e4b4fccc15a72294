#include "base/sha256_testing.h"

#include <glib.h>

#include <memory>
#include <string>
#include <string_view>

namespace scenario {

std::string Sha256Hex(std::string_view bytes) {
  const std::unique_ptr<gchar, decltype(&g_free)> hex(
      g_compute_checksum_for_data(G_CHECKSUM_SHA256,
                                  reinterpret_cast<const guchar*>(bytes.data()),
                                  bytes.size()),
      &g_free);
  return hex == nullptr ? std::string() : std::string(hex.get());
}

}  // namespace scenario
