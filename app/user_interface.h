#pragma once

#include <string>
#include <string_view>

#include "records/record_list_view.h"

struct DataBuffer;

// Modal dialogs by their template ids. They exchange data only through AppState fields set
// before RunDialog and read after it.
enum class DialogId : int {
  About = 103,
  Settings = 121,
  CsvExport = 122,
  ItemEdit = 123,
  ByteType = 124,
  WordType = 125,
  LongType = 126,
};

inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

// Everything the command flows need from the window system. The Win32 shell implements it with
// the real controls and dialogs; the tests use an in-memory stand-in.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  virtual void SetStatusText(std::string_view text) = 0;
  // MB_OK message box owned by the main window.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  // MB_YESNO | MB_ICONQUESTION; true for Yes.
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
  // Runs a modal dialog and returns its result (kDialogOk, kDialogCancel, ...).
  virtual int RunDialog(DialogId dialog) = 0;

  // The path field's text, cut to its first 259 bytes.
  virtual std::string PathFieldText() = 0;
  virtual void SetPathFieldText(std::string_view text) = 0;
  // The structure selector's current text, cut to its first 1019 bytes.
  virtual std::string SelectorText() = 0;
  virtual void AddStructName(std::string_view name) = 0;
  virtual void SelectFirstStructName() = 0;

  // The data file chooser; true with the choice in data.filePath.
  virtual bool BrowseDataFile(DataBuffer& data) = 0;
  // The font chooser; true when a new font was set on the record list.
  virtual bool ChooseListFont() = 0;

  virtual RecordListView& RecordList() = 0;
};
