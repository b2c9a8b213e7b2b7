#include "memory_user_interface.h"

#include <algorithm>

void MemoryRecordList::DeleteColumn(int index) {
  if (!redrawPaused) ++columnChangesRedrawn;
  if (index >= 0 && static_cast<std::size_t>(index) < columns.size()) columns.erase(columns.begin() + index);
}

void MemoryRecordList::InsertColumn(int index, std::string_view label, int width) {
  if (!redrawPaused) ++columnChangesRedrawn;
  const auto at = std::min(static_cast<std::size_t>(std::max(index, 0)), columns.size());
  columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at), Column{std::string(label), width});
}

bool MemoryRecordList::UpdateCell(std::uint32_t row, int column) {
  if (refuseUpdateCell) return false;
  updatedCells.emplace_back(row, column);
  return true;
}

void MemoryUserInterface::ShowMessage(std::string_view text, std::string_view caption) {
  messages.emplace_back(text, caption);
  if (whileMessageShown) whileMessageShown();
}

bool MemoryUserInterface::AskYesNo(std::string_view text, std::string_view caption) {
  questions.emplace_back(text, caption);
  if (yesNoAnswers.empty()) return false;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

std::string MemoryUserInterface::SelectorText() {
  if (selectorIndex < 0 || static_cast<std::size_t>(selectorIndex) >= selectorItems.size()) return {};
  return selectorItems[static_cast<std::size_t>(selectorIndex)].substr(0, 1019);
}
