#pragma once

#include <string>
#include <string_view>

#include "app/app_state.h"
#include "app/shell_state_win32.h"
#include "app/user_interface.h"
#include "win32/record_list_control_win32.h"

// The flows' UserInterface on the real main window, its controls and the modal dialogs. Cheap
// to make: the window procedure makes one per message.
class ShellUserInterface final : public UserInterface {
 public:
  explicit ShellUserInterface(ProgramState& program);

  void SetStatusText(std::string_view text) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  int RunDialog(DialogId dialog) override;

  std::string PathFieldText() override;
  void SetPathFieldText(std::string_view text) override;
  std::string SelectorText() override;
  void AddStructName(std::string_view name) override;
  void SelectFirstStructName() override;

  bool BrowseDataFile(DataBuffer& data) override;
  // Sets the chosen font on the list and releases the one it replaces, unless that is the
  // stock font the list started with.
  bool ChooseListFont() override;

  RecordListView& RecordList() override { return list_; }

 private:
  AppState& state_;
  ShellState& shell_;
  RecordListControl list_;
};
