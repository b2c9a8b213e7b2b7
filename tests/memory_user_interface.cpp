#include "memory_user_interface.h"

#include <algorithm>
#include <cstring>

#include "dialogs/export_choice.h"
#include "dialogs/settings_choice.h"
#include "dialogs/type_choice.h"

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

void MemoryRecordList::ShowRows(std::uint32_t rows) {
  rowCount = rows;
  ++showRowsCalls;
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
}

bool MemoryUserInterface::AskYesNo(std::string_view text, std::string_view caption) {
  questions.push_back({std::string(text), std::string(caption)});
  if (yesNoAnswers.empty()) return false;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

int MemoryUserInterface::RunDialog(DialogId dialog) {
  dialogsRun.push_back(dialog);
  auto script = dialogScripts_.find(dialog);
  if (script == dialogScripts_.end()) return kDialogCancel;
  return script->second(state_);
}

std::string MemoryUserInterface::PathFieldText() { return pathField.substr(0, kPathFieldLimit); }

void MemoryUserInterface::SetPathFieldText(std::string_view text) { pathField.assign(text); }

std::string MemoryUserInterface::SelectorText() {
  if (selectorIndex < 0 || static_cast<std::size_t>(selectorIndex) >= selectorItems.size()) {
    return std::string();
  }
  return selectorItems[static_cast<std::size_t>(selectorIndex)].substr(0, kSelectorTextLimit);
}

void MemoryUserInterface::AddStructName(std::string_view name) { selectorItems.emplace_back(name); }

void MemoryUserInterface::SelectFirstStructName() {
  if (!selectorItems.empty()) selectorIndex = 0;
}

bool MemoryUserInterface::BrowseDataFile(DataBuffer& data) {
  if (!browseAnswer) return false;
  data.filePath.fill('\0');
  const std::size_t length = std::min(browseAnswer->size(), data.filePath.size() - 1);
  std::memcpy(data.filePath.data(), browseAnswer->data(), length);
  return true;
}

bool MemoryUserInterface::ChooseListFont() {
  if (fontAnswer) ++fontChanges;
  return fontAnswer;
}

MemoryUserInterface::DialogScript MemoryUserInterface::ItemEditAnswer(std::string text, bool ok) {
  return [text = std::move(text), ok](AppState& state) {
    if (!ok) return kDialogCancel;
    if (!state.editText) return kDialogCancel;  // the real dialog cannot close with OK then
    const std::size_t length = std::min(text.size(), kEditTextCapacity - 1);
    std::memcpy(state.editText.get(), text.data(), length);
    state.editText[length] = '\0';
    return kDialogOk;
  };
}

MemoryUserInterface::DialogScript MemoryUserInterface::ClickControls(MemoryUserInterface& ui,
                                                                     DialogId dialog,
                                                                     std::vector<int> controlIds) {
  return [&ui, dialog, controlIds = std::move(controlIds)](AppState& state) {
    const std::optional<TypeFamily> family = FamilyOfDialog(dialog);
    const RadioDialogStart start =
        family ? StartTypeChoice(*family, state) : StartSettingsChoice(state);
    if (start.endsAtOnce) {
      ui.ShowMessage(start.errorText, kDialogErrorCaption);
      return kDialogCancel;
    }
    auto click = [&](int id) {
      return family ? TypeChoiceCommand(*family, state, id) : SettingsChoiceCommand(state, id);
    };
    for (int id : controlIds) {
      const DialogCommandOutcome outcome = click(id);
      if (outcome.endResult != 0) return outcome.endResult;
    }
    // Closed without a button: Esc sends CANCEL.
    return click(kDialogCancel).endResult;
  };
}

MemoryUserInterface::DialogScript MemoryUserInterface::ExportAnswer(
    std::string path, std::vector<std::int32_t> deselected, bool ok) {
  return [path = std::move(path), deselected = std::move(deselected), ok](AppState& state) {
    if (!ok) return kDialogCancel;
    AcceptExportChoice(state, path, [&](std::int32_t item) {
      return std::find(deselected.begin(), deselected.end(), item) == deselected.end();
    });
    return kDialogOk;
  };
}
