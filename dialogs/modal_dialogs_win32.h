#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "dialogs/export_choice.h"
#include "dialogs/settings_choice.h"
#include "dialogs/type_choice.h"

// Each runs its dialog modally over `owner`: what it shows comes in as arguments, what the user
// chose comes back as the result (nothing for CANCEL).

void RunAboutDialog(HINSTANCE instance, HWND owner);
NumberingChoice RunSettingsDialog(HINSTANCE instance, HWND owner, std::int32_t noBase);
std::optional<ExportChoice> RunExportDialog(HINSTANCE instance, HWND owner,
                                            std::span<const std::string> labels);
std::optional<std::string> RunItemEditDialog(HINSTANCE instance, HWND owner,
                                             std::string_view caption, std::string_view shown);
std::optional<TypeCode> RunTypeDialog(HINSTANCE instance, HWND owner, TypeFamily family,
                                      std::string_view label, TypeCode current);

// A dialog's data arrives as DialogBoxParamA's parameter and stays in the dialog's user slot
// from WM_INITDIALOG on; null for the few messages that come before it.
template <typename Data>
Data* DialogData(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  return reinterpret_cast<Data*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// How every dialog ends: OK, and CANCEL (which Esc and the close box send too), end it with
// their id, OK once `accept` has taken what the dialog holds. False for any other id.
template <typename Accept>
bool EndOnOkOrCancel(HWND dialog, int id, Accept&& accept) {
  if (id != IDOK && id != IDCANCEL) return false;
  if (id == IDOK) accept();
  EndDialog(dialog, id);
  return true;
}
inline bool EndOnOkOrCancel(HWND dialog, int id) {
  return EndOnOkOrCancel(dialog, id, [] {});
}

// Runs template `templateId` with `data` in its user slot; whether it ended with OK.
template <typename Data>
bool RunModal(HINSTANCE instance, HWND owner, int templateId, DLGPROC procedure, Data& data) {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure,
                         reinterpret_cast<LPARAM>(&data)) == static_cast<INT_PTR>(DialogEnd::Ok);
}
