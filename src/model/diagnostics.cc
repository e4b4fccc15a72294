#include "model/diagnostics.h"

#include <utility>

#include "model/code_entry.h"
#include "model/errors.h"

namespace scenario {

std::string_view ExplainCode(std::int32_t code) {
  const CodeEntry* entry = FindCodeEntry(code);
  return entry == nullptr ? std::string_view() : entry->summary;
}

void ErrorRegisters::Record(std::int32_t code,
                            std::optional<std::int32_t> position,
                            SourceSpot where) {
  error_code = code;
  if (position) error_position = *position;
  diagnostics.push_back(Diagnostic{code, position, std::move(where),
                                   std::string(ExplainCode(code))});
}

}  // namespace scenario
