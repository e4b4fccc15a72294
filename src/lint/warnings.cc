#include "lint/warnings.h"

#include <cstddef>

namespace scenario {

const WarningKindInfo& Describe(WarningKind kind) {
  return WarningKinds()[static_cast<std::size_t>(kind)];
}

std::string_view WarningName(WarningKind kind) { return Describe(kind).name; }

std::optional<WarningKind> FindWarningKind(std::string_view name) {
  for (const WarningKindInfo& info : WarningKinds()) {
    if (info.name == name) return info.kind;
  }
  return std::nullopt;
}

std::vector<std::string> WarningNames() {
  std::vector<std::string> names;
  for (const WarningKindInfo& info : WarningKinds()) {
    names.emplace_back(info.name);
  }
  return names;
}

}  // namespace scenario
