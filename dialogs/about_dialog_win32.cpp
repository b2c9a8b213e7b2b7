#include "dialogs/modal_dialogs_win32.h"
#include "resources/resource.h"

namespace {

// The icon control of the template names the application icon; the dialog exchanges nothing.
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: return EndOnOkOrCancel(dialog, LOWORD(wParam)) ? TRUE : FALSE;
    default: return FALSE;
  }
}

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDlgProc, 0);
}
