#include "app/shell_user_interface_win32.h"

#include <array>
#include <utility>

#include "win32/common_dialogs_win32.h"
#include "dialogs/modal_dialogs_win32.h"

namespace {

inline constexpr int kPathFieldLimit = 260;
inline constexpr int kSelectorLimit = 1020;

std::string WindowText(HWND hwnd, int limit) {
  std::array<char, 1024> buffer{};
  const int length = GetWindowTextA(hwnd, buffer.data(), limit);
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

ShellUserInterface::ShellUserInterface(ShellState& shell)
    : shell_(shell), list_(shell.recordList, shell.mainWindow) {}

void ShellUserInterface::SetStatusText(std::string_view text) {
  SetWindowTextA(shell_.statusLine, std::string(text).c_str());
}

void ShellUserInterface::ShowMessage(std::string_view text, std::string_view caption) {
  MessageBoxA(shell_.mainWindow, std::string(text).c_str(), std::string(caption).c_str(), MB_OK);
}

bool ShellUserInterface::AskYesNo(std::string_view text, std::string_view caption) {
  return MessageBoxA(shell_.mainWindow, std::string(text).c_str(), std::string(caption).c_str(),
                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShellUserInterface::ShowAbout() { RunAboutDialog(shell_.instance, shell_.mainWindow); }

NumberingChoice ShellUserInterface::ChooseNumbering(std::int32_t noBase) {
  return RunSettingsDialog(shell_.instance, shell_.mainWindow, noBase);
}

std::optional<ExportChoice> ShellUserInterface::ChooseExport(std::span<const std::string> labels) {
  return RunExportDialog(shell_.instance, shell_.mainWindow, labels);
}

std::optional<std::string> ShellUserInterface::EditCellText(std::string_view caption,
                                                            std::string_view shown) {
  return RunItemEditDialog(shell_.instance, shell_.mainWindow, caption, shown);
}

std::optional<TypeCode> ShellUserInterface::ChooseDisplayType(TypeFamily family,
                                                              std::string_view label,
                                                              TypeCode current) {
  return RunTypeDialog(shell_.instance, shell_.mainWindow, family, label, current);
}

std::string ShellUserInterface::PathFieldText() {
  return WindowText(shell_.pathField, kPathFieldLimit);
}

void ShellUserInterface::SetPathFieldText(std::string_view text) {
  SetWindowTextA(shell_.pathField, std::string(text).c_str());
}

std::string ShellUserInterface::SelectorText() {
  return WindowText(shell_.structSelector, kSelectorLimit);
}

void ShellUserInterface::AddStructName(std::string_view name) {
  const std::string text(name);
  SendMessageA(shell_.structSelector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ShellUserInterface::SelectFirstStructName() {
  SendMessageA(shell_.structSelector, CB_SETCURSEL, 0, 0);
}

std::optional<std::string> ShellUserInterface::BrowseDataFile() {
  return ::BrowseDataFile(shell_.mainWindow, shell_.dataFileChooser);
}

bool ShellUserInterface::ChooseListFont() {
  OwnedFont font = ::ChooseListFont();
  if (!font) return false;
  shell_.listFont = font.Get();
  SendMessageA(shell_.recordList, WM_SETFONT, reinterpret_cast<WPARAM>(shell_.listFont), TRUE);
  // The list no longer uses the font it had; the stock font was never owned.
  shell_.ownedListFont = std::move(font);
  return true;
}
