#pragma once

#include <string>
#include <string_view>

#include "app/shell_state_win32.h"
#include "app/user_interface.h"
#include "win32/record_list_control_win32.h"

// The flows' UserInterface on the real main window, its controls and the modal dialogs. Cheap
// to make: the window procedure makes one per message.
class ShellUserInterface final : public UserInterface {
 public:
  explicit ShellUserInterface(ShellState& shell);

  void SetStatusText(std::string_view text) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  void ShowAbout() override;
  NumberingChoice ChooseNumbering(std::int32_t noBase) override;
  std::optional<ExportChoice> ChooseExport(std::span<const std::string> labels) override;
  std::optional<std::string> EditCellText(std::string_view caption,
                                          std::string_view shown) override;
  std::optional<TypeCode> ChooseDisplayType(TypeFamily family, std::string_view label,
                                            TypeCode current) override;

  std::string PathFieldText() override;
  void SetPathFieldText(std::string_view text) override;
  std::string SelectorText() override;
  void AddStructName(std::string_view name) override;
  void SelectFirstStructName() override;

  std::optional<std::string> BrowseDataFile() override;
  // Sets the chosen font on the list and releases the one it replaces, unless that is the
  // stock font the list started with.
  bool ChooseListFont() override;

  RecordListView& RecordList() override { return list_; }

 private:
  ShellState& shell_;
  RecordListControl list_;
};
