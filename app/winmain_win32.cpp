#include <windows.h>

#include <array>

#include "app/main_window_win32.h"
#include "app/shell_state_win32.h"
#include "resources/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
  std::array<char, 100> windowTitle{};
  std::array<char, 100> windowClassName{};
  LoadStringA(instance, IDS_APP_TITLE, windowTitle.data(), static_cast<int>(windowTitle.size()));
  LoadStringA(instance, IDS_WINDOW_CLASS, windowClassName.data(),
              static_cast<int>(windowClassName.size()));

  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(WNDCLASSEXA);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VELMORA));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = windowClassName.data();
  windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SMALL));
  RegisterClassExA(&windowClass);

  // Outlives the main window, which reaches it through its creation parameter.
  ProgramState program;
  program.shell.instance = instance;
  const HMENU mainMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
  const HWND mainWindow =
      CreateWindowExA(0, windowClassName.data(), windowTitle.data(), WS_OVERLAPPEDWINDOW,
                      CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, mainMenu, instance, &program);
  if (mainWindow == nullptr) return 0;
  ShowWindow(mainWindow, showCommand);
  UpdateWindow(mainWindow);

  const HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) break;
    // -1: the queue cannot be read, and asking again would only fail again.
    if (got == -1) return 1;
    // Keystrokes go to the focused control, and the main window hands its focus on to the
    // selector: the main window translates them for itself and its controls, or the About
    // shortcut would never reach it.
    const HWND target = (message.hwnd == mainWindow || IsChild(mainWindow, message.hwnd))
                            ? mainWindow
                            : message.hwnd;
    if (TranslateAcceleratorA(target, accelerators, &message) == 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}
