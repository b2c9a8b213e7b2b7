#pragma once

#include <string>
#include <string_view>

// What a radio-button dialog does on WM_INITDIALOG: mark one radio, or report a bad value and
// end at once with CANCEL.
struct RadioDialogStart {
  int checkedRadio = 0;    // control id to mark with BM_SETCHECK; 0 for none
  std::string errorText;   // non-empty: MessageBoxA(dialog, errorText, kDialogErrorCaption)
  bool endsAtOnce = false; // then EndDialog(dialog, 2)
};

// What a WM_COMMAND does: whether the id was handled (the procedure returns TRUE) and the
// result to end the dialog with (0 keeps it open).
struct DialogCommandOutcome {
  bool handled = false;
  int endResult = 0;
};

inline constexpr std::string_view kDialogErrorCaption = "Error!";

// The radio buttons of the settings and type change dialogs.
inline constexpr int kRadioFirst = 141;
inline constexpr int kRadioSecond = 142;
inline constexpr int kRadioThird = 143;
