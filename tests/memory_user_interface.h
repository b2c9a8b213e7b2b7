#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/user_interface.h"

// The record list without a window: remembers its columns and row count, measures text with a
// replaceable measurer and can be told to refuse requests.
class MemoryRecordList : public RecordListView {
 public:
  struct Column {
    std::string label;
    int width = 0;
  };

  bool DeleteAllItems() override;
  void DeleteColumn(int index) override;
  void InsertColumn(int index, std::string_view label, int width) override;
  std::optional<int> MeasureTextWidth(std::string_view text) override;
  void ShowRows(std::uint32_t rowCount) override;
  bool UpdateCell(std::uint32_t row, int column) override;
  void SuspendRedraw() override;
  void ResumeRedraw() override;

  std::vector<Column> columns;
  bool redrawPaused = false;
  int redrawPauses = 0;
  int columnChangesRedrawn = 0;  // column changes made while redrawing
  std::uint32_t rowCount = 0;
  int showRowsCalls = 0;
  std::vector<std::pair<std::uint32_t, int>> updatedCells;

  // 8 pixels per byte unless replaced; nullopt stands for a failed measurement.
  std::function<std::optional<int>(std::string_view text)> measure;
  bool refuseDeleteAllItems = false;
  bool refuseUpdateCell = false;
};

struct MessageRecord {
  std::string text;
  std::string caption;

  bool operator==(const MessageRecord&) const = default;
};

// The main window without a window: records what the flows show and answers their dialogs and
// questions from a script. Dialogs without a script are cancelled.
class MemoryUserInterface : public UserInterface {
 public:
  // A dialog's stand-in: works on the state as the real dialog would and returns its result.
  using DialogScript = std::function<int(AppState& state)>;

  explicit MemoryUserInterface(AppState& state) : state_(state) {}

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
  bool ChooseListFont() override;
  RecordListView& RecordList() override { return list; }

  // The status line's text; empty until something is shown.
  std::string StatusText() const { return statusTexts.empty() ? std::string() : statusTexts.back(); }
  // Answers every later opening of `dialog`.
  void OnDialog(DialogId dialog, DialogScript script) { dialogScripts_[dialog] = std::move(script); }

  // Scripts that drive the dialogs' own choice logic, as a user's clicks would.
  // The item edit dialog: OK with `text` typed (cut as its field is), or CANCEL after typing it.
  static DialogScript ItemEditAnswer(std::string text, bool ok);
  // A type change or settings dialog: the controls clicked in order; the last one should be
  // OK (1) or CANCEL (2). Error boxes of the opening go to `ui`.
  static DialogScript ClickControls(MemoryUserInterface& ui, DialogId dialog,
                                    std::vector<int> controlIds);
  // The export dialog: the path typed and the items toggled off (all start selected), then OK;
  // CANCEL when `ok` is false.
  static DialogScript ExportAnswer(std::string path, std::vector<std::int32_t> deselected,
                                   bool ok = true);

  MemoryRecordList list;
  std::vector<std::string> statusTexts;
  std::vector<MessageRecord> messages;
  std::vector<MessageRecord> questions;
  std::deque<bool> yesNoAnswers;  // answered in order; No when they run out
  std::vector<DialogId> dialogsRun;
  std::string pathField;
  std::vector<std::string> selectorItems;
  int selectorIndex = -1;
  std::optional<std::string> browseAnswer;  // the data file chooser's choice; none cancels
  bool fontAnswer = false;                  // whether the font chooser sets a font
  int fontChanges = 0;

 private:
  AppState& state_;
  std::map<DialogId, DialogScript> dialogScripts_;
};
