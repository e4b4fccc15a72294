#include "model/cell_origins.h"

#include <utility>

namespace scenario {

void CellOrigins::Note(std::int64_t cell, std::string_view item,
                       std::int64_t position, const SourceSpot& where) {
  origins_[cell] = CellOrigin{
      std::string(item) + " at " + std::to_string(position) + " m", where};
}

void CellOrigins::NoteMarkFor(std::int64_t cell, std::int64_t cause_cell) {
  const CellOrigin* cause = Find(cause_cell);
  if (cause == nullptr) {
    origins_[cell] = CellOrigin{"a code mark of the signal-code pass", {}};
    return;
  }
  // Copied first: the note may replace the cause's own entry.
  CellOrigin mark{"the code mark placed for " + cause->what, cause->where};
  origins_[cell] = std::move(mark);
}

const CellOrigin* CellOrigins::Find(std::int64_t cell) const {
  const auto it = origins_.find(cell);
  return it == origins_.end() ? nullptr : &it->second;
}

std::string CellOrigins::TakenBy(std::int64_t cell) const {
  const CellOrigin* origin = Find(cell);
  if (origin == nullptr) return "";
  std::string text = " by " + origin->what;
  if (!origin->where.file.empty()) {
    text += " (" + origin->where.file;
    if (origin->where.line > 0) {
      text += ":" + std::to_string(origin->where.line) + ":" +
              std::to_string(origin->where.column);
    }
    text += ")";
  }
  return text;
}

}  // namespace scenario
