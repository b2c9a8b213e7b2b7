#pragma once

#include <optional>
#include <string>
#include <string_view>

// How a modal dialog ends; the values are its OK and CANCEL buttons' ids, which are also the
// dialog results.
enum class DialogEnd : int { Ok = 1, Cancel = 2 };

// What a radio-button dialog does on WM_INITDIALOG: mark one radio, or report a bad value and
// end at once with CANCEL.
struct RadioDialogStart {
  int checkedRadio = 0;     // control id to mark with BM_SETCHECK; 0 for none
  std::string errorText;    // non-empty: a box with texts::kDialogErrorCaption
  bool endsAtOnce = false;  // then the dialog ends with CANCEL
};

// What a WM_COMMAND does: whether the id was handled (the procedure returns TRUE) and whether
// it ends the dialog.
struct DialogCommandOutcome {
  bool handled = false;
  std::optional<DialogEnd> end;
};
