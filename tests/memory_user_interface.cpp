#include "memory_user_interface.h"

#include <algorithm>

#include "datafile/data_buffer.h"

namespace {

constexpr std::size_t kPathFieldLimit = kPathCapacity - 1;
constexpr std::size_t kSelectorTextLimit = 1019;
constexpr int kPixelsPerByte = 8;

}  // namespace

bool MemoryRecordList::DeleteAllItems() {
  if (refuseDeleteAllItems) return false;
  rowCount = 0;
  return true;
}

void MemoryRecordList::DeleteColumn(int index) {
  if (!redrawPaused) ++columnChangesRedrawn;
  if (index >= 0 && static_cast<std::size_t>(index) < columns.size()) {
    columns.erase(columns.begin() + index);
  }
}

void MemoryRecordList::InsertColumn(int index, std::string_view label, int width) {
  if (!redrawPaused) ++columnChangesRedrawn;
  const auto at = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(index, 0)), 0,
                                          columns.size());
  columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at), Column{std::string(label), width});
}

std::optional<int> MemoryRecordList::MeasureTextWidth(std::string_view text) {
  if (measure) return measure(text);
  return static_cast<int>(text.size()) * kPixelsPerByte;
}

bool MemoryRecordList::UpdateCell(std::uint32_t row, int column) {
  if (refuseUpdateCell) return false;
  updatedCells.emplace_back(row, column);
  return true;
}

void MemoryRecordList::SuspendRedraw() {
  redrawPaused = true;
  ++redrawPauses;
}

void MemoryRecordList::ResumeRedraw() { redrawPaused = false; }

void MemoryUserInterface::SetStatusText(std::string_view text) {
  statusTexts.emplace_back(text);
}

void MemoryUserInterface::ShowMessage(std::string_view text, std::string_view caption) {
  messages.push_back({std::string(text), std::string(caption)});
  if (whileMessageShown) whileMessageShown();
}

bool MemoryUserInterface::AskYesNo(std::string_view text, std::string_view caption) {
  questions.push_back({std::string(text), std::string(caption)});
  if (yesNoAnswers.empty()) return false;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

NumberingChoice MemoryUserInterface::ChooseNumbering(std::int32_t noBase) {
  return numberingAnswer ? numberingAnswer(noBase) : NumberingChoice{noBase, false};
}

std::optional<ExportChoice> MemoryUserInterface::ChooseExport(std::span<const std::string> labels) {
  return exportAnswer ? exportAnswer(labels) : std::nullopt;
}

std::optional<std::string> MemoryUserInterface::EditCellText(std::string_view caption,
                                                             std::string_view shown) {
  return editAnswer ? editAnswer(caption, shown) : std::nullopt;
}

std::optional<TypeCode> MemoryUserInterface::ChooseDisplayType(TypeFamily family,
                                                               std::string_view label,
                                                               TypeCode current) {
  return typeAnswer ? typeAnswer(family, label, current) : std::nullopt;
}

std::string MemoryUserInterface::PathFieldText() { return pathField.substr(0, kPathFieldLimit); }

std::string MemoryUserInterface::SelectorText() {
  if (selectorIndex < 0 || static_cast<std::size_t>(selectorIndex) >= selectorItems.size()) {
    return std::string();
  }
  return selectorItems[static_cast<std::size_t>(selectorIndex)].substr(0, kSelectorTextLimit);
}

void MemoryUserInterface::SelectFirstStructName() {
  if (!selectorItems.empty()) selectorIndex = 0;
}

bool MemoryUserInterface::ChooseListFont() {
  if (fontAnswer) ++fontChanges;
  return fontAnswer;
}
