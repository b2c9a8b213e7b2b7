#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "app/user_interface.h"

// The record list without a window: remembers its columns and row count, measures text with a
// replaceable measurer (8 pixels a byte), scales design pixels to its `dpi` and can be told to
// refuse requests.
class MemoryRecordList : public RecordListView {
 public:
  struct Column {
    std::string label;
    int width;
    bool operator==(const Column&) const = default;
  };

  bool DeleteAllItems() override {
    if (refuseDeleteAllItems) return false;
    rowCount = 0;
    return true;
  }
  void DeleteColumn(int index) override {
    if (!redrawPaused) ++columnChangesRedrawn;
    if (index >= 0 && std::size_t(index) < columns.size()) columns.erase(columns.begin() + index);
  }
  void InsertColumn(int index, std::string_view label, int width) override {
    if (!redrawPaused) ++columnChangesRedrawn;
    const auto at = std::min(std::size_t(std::max(index, 0)), columns.size());
    columns.insert(columns.begin() + std::ptrdiff_t(at), Column{std::string(label), width});
  }
  std::optional<int> MeasureTextWidth(std::string_view text) override {
    return measure ? measure(text) : static_cast<int>(text.size()) * 8;
  }
  int ScaledPixels(int pixels) override { return pixels * dpi / 96; }
  void ShowRows(std::uint32_t rows) override { rowCount = rows; }
  bool UpdateCell(std::uint32_t row, int column) override {
    if (refuseUpdateCell) return false;
    updatedCells.emplace_back(row, column);
    return true;
  }
  void SuspendRedraw() override { redrawPaused = true; }
  void ResumeRedraw() override { redrawPaused = false; }

  std::vector<Column> columns;
  std::uint32_t rowCount = 0;
  std::vector<std::pair<std::uint32_t, int>> updatedCells;
  bool redrawPaused = false;
  int columnChangesRedrawn = 0;  // columns deleted or inserted while drawing

  std::function<std::optional<int>(std::string_view text)> measure;  // nullopt: a failure
  int dpi = 96;                                                      // of the screen the list is on
  bool refuseDeleteAllItems = false;
  bool refuseUpdateCell = false;
};

using MessageRecord = std::pair<std::string, std::string>;  // text, caption

// The main window without a window: records what the flows show and answers their dialogs
// with the functions a test sets. A dialog without one is cancelled.
class MemoryUserInterface : public UserInterface {
 public:
  void SetStatusText(std::string_view text) override { statusTexts.emplace_back(text); }
  void ShowMessage(std::string_view text, std::string_view caption) override {
    messages.emplace_back(text, caption);
    if (whileMessageShown) whileMessageShown();
  }
  bool AskYesNo(std::string_view text, std::string_view caption) override {
    questions.emplace_back(text, caption);
    return answerYes;
  }
  void ShowAbout() override { ++aboutShown; }
  NumberingChoice ChooseNumbering(std::int32_t noBase) override {
    return numberingAnswer ? numberingAnswer(noBase) : NumberingChoice{noBase, false};
  }
  std::optional<ExportChoice> ChooseExport(std::span<const std::string> labels) override {
    return exportAnswer ? exportAnswer(labels) : std::nullopt;
  }
  std::optional<std::string> EditCellText(std::string_view caption,
                                          std::string_view shown) override {
    return editAnswer ? editAnswer(caption, shown) : std::nullopt;
  }
  std::optional<TypeCode> ChooseDisplayType(TypeFamily family, std::string_view label,
                                            TypeCode current) override {
    return typeAnswer ? typeAnswer(family, label, current) : std::nullopt;
  }
  std::string PathFieldText() override { return pathField.substr(0, 259); }
  void SetPathFieldText(std::string_view text) override { pathField.assign(text); }
  std::string SelectorText() override {
    return selectorIndex < 0 ? "" : selectorItems.at(std::size_t(selectorIndex));
  }
  void AddStructName(std::string_view name) override { selectorItems.emplace_back(name); }
  void SelectFirstStructName() override { selectorIndex = selectorItems.empty() ? -1 : 0; }
  std::optional<std::string> BrowseDataFile() override { return browseAnswer; }
  bool ChooseListFont() override {
    ++fontChoosers;
    return false;
  }
  RecordListView& RecordList() override { return list; }

  // The status line's text; empty until something is shown.
  std::string StatusText() const {
    return statusTexts.empty() ? std::string() : statusTexts.back();
  }

  MemoryRecordList list;
  std::vector<std::string> statusTexts;
  std::vector<MessageRecord> messages;
  std::function<void()> whileMessageShown;  // what a repaint during a box would do
  std::vector<MessageRecord> questions;
  bool answerYes = false;  // to every question; No unless a test says Yes
  int aboutShown = 0;
  std::function<NumberingChoice(std::int32_t noBase)> numberingAnswer;
  std::function<std::optional<ExportChoice>(std::span<const std::string> labels)> exportAnswer;
  std::function<std::optional<std::string>(std::string_view caption, std::string_view shown)>
      editAnswer;
  std::function<std::optional<TypeCode>(TypeFamily, std::string_view label, TypeCode current)>
      typeAnswer;
  std::string pathField;
  std::vector<std::string> selectorItems;
  int selectorIndex = -1;
  std::optional<std::string> browseAnswer;  // the data file chooser's choice; none cancels
  int fontChoosers = 0;
};
