#pragma once

#include <windows.h>

// The main window's procedure. CreateWindowExA's creation parameter must point to the
// ProgramState (app/shell_state_win32.h) that outlives the window.
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr char kMainWindowTitle[] = "Velmora β版";
