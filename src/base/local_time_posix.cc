#include "base/local_time.h"

#include <ctime>

namespace scenario {

std::string LocalTimeOfDay() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!(localtime_r(&now, &local) != nullptr)) return std::string();
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

}  // namespace scenario
