#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "win32/common_dialogs_win32.h"
#include "win32/handles_win32.h"

// The shell's part of the process state: the module, the main window, its controls (borrowed:
// the main window destroys them) and the list font.
struct ShellState {
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  HWND structSelector = nullptr;
  HWND pathField = nullptr;
  HWND readButton = nullptr;
  HWND writeButton = nullptr;
  HWND browseButton = nullptr;
  HWND recordList = nullptr;
  HWND statusLine = nullptr;
  HFONT listFont = nullptr;  // the font set on the record list: the stock font or ownedListFont
  OwnedFont ownedListFont;   // the last font the user chose; empty while the stock font is set
  DataFileChooser dataFileChooser;
};

// Everything the process keeps. The entry point owns it and hands it to the main window as the
// window's creation parameter; nothing reaches it through a global.
struct ProgramState {
  AppState app;
  ShellState shell;
};
