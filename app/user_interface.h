#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "dialogs/export_choice.h"
#include "dialogs/settings_choice.h"
#include "dialogs/type_choice.h"
#include "records/record_list_view.h"
#include "structdef/type_model.h"

// Everything the command flows need from the window system. The Win32 shell implements it with
// the real controls and dialogs; the tests use an in-memory stand-in. Each dialog takes what
// it shows as arguments and returns what the user chose: nothing for CANCEL.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  virtual void SetStatusText(std::string_view text) = 0;
  // MB_OK message box owned by the main window.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  // MB_YESNO | MB_ICONQUESTION; true for Yes.
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;

  virtual void ShowAbout() = 0;
  // The settings dialog, opened on `noBase`.
  virtual NumberingChoice ChooseNumbering(std::int32_t noBase) = 0;
  // The export dialog listing `labels`, every item selected.
  virtual std::optional<ExportChoice> ChooseExport(std::span<const std::string> labels) = 0;
  // The item edit dialog: `caption` painted above the field, which starts with `shown`; the
  // text typed, at most 1023 bytes.
  virtual std::optional<std::string> EditCellText(std::string_view caption,
                                                  std::string_view shown) = 0;
  // The type change dialog of `family`, `label` painted above its radios, opened on `current`.
  virtual std::optional<TypeCode> ChooseDisplayType(TypeFamily family, std::string_view label,
                                                    TypeCode current) = 0;

  // The path field's text, cut to its first 259 bytes.
  virtual std::string PathFieldText() = 0;
  virtual void SetPathFieldText(std::string_view text) = 0;
  // The structure selector's current text, cut to its first 1019 bytes.
  virtual std::string SelectorText() = 0;
  virtual void AddStructName(std::string_view name) = 0;
  virtual void SelectFirstStructName() = 0;

  // The data file chooser, opened on its previous choice; the path chosen (at most 259 bytes).
  virtual std::optional<std::string> BrowseDataFile() = 0;
  // The font chooser; true when a new font was set on the record list.
  virtual bool ChooseListFont() = 0;

  virtual RecordListView& RecordList() = 0;
};
