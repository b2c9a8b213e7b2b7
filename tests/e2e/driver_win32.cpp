#include "driver_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace e2e {
namespace {

std::string lastInputError;

INPUT MouseInput(DWORD flags, LONG dx, LONG dy) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi = {dx, dy, 0, flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0};
  return input;
}

INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki = {virtualKey, static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)),
              up ? KEYEVENTF_KEYUP : 0u, 0, 0};
  return input;
}

bool Send(std::vector<INPUT> inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
         inputs.size();
}

std::string ToCp932(std::wstring_view text) {
  const int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(std::max(size, 0)), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

// Asks with a pointer to a copy of `bytes` placed in the window's process, where the control
// dereferences it, and reads the copy back; `patch` fixes up pointers in the copy once its
// address is known. For list view and header rectangles and texts.
bool AskThroughRemote(HWND window, UINT message, WPARAM wParam, std::string& bytes,
                      const std::function<void(char* remote)>& patch = {}) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  auto* remote =
      static_cast<char*>(process ? VirtualAllocEx(process, nullptr, bytes.size(),
                                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                                 : nullptr);
  if (remote && patch) patch(remote);
  const bool answered =
      remote && WriteProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr) &&
      Ask(window, message, wParam, reinterpret_cast<LPARAM>(remote)) &&
      ReadProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  if (process) CloseHandle(process);
  return answered;
}

// Real mouse input at a screen point, after checking that `target` (or a child of it) is what
// the user would hit there.
bool ClickAt(POINT screen, HWND target, int clicks = 1) {
  lastInputError = "clicking at " + std::to_string(screen.x) + "," + std::to_string(screen.y);
  // A window that has just been shown may still be below its owner for a moment.
  if (!WaitUntil([&] {
        HWND hit = WindowFromPoint(screen);
        return hit && (hit == target || IsChild(target, hit));
      }, 3000)) {
    return false;
  }
  // Absolute coordinates run from 0 to 65535 over the screen; rounding up lands on the pixel.
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const LONG dx = (screen.x * 65536LL + width - 1) / width;
  const LONG dy = (screen.y * 65536LL + height - 1) / height;
  // Under Wine the X pointer may report its old place for a moment and take the cursor back
  // with it: move until the cursor stays, and give every button event its position as well.
  if (!WaitUntil([&] {
        POINT cursor{};
        Send({MouseInput(0, dx, dy)});
        Sleep(20);
        return GetCursorPos(&cursor) && cursor.x == screen.x && cursor.y == screen.y;
      }, 2000)) {
    return false;
  }
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN, dx, dy));
    inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP, dx, dy));
  }
  return Send(inputs);
}

HWND HeaderOf(HWND list) { return reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER).value_or(0)); }

// A list view text by a request (LVITEMA or LVCOLUMNA) whose buffer follows it in the copy.
template <typename Request>
std::string RemoteText(HWND list, UINT message, int index, Request request) {
  std::string bytes(sizeof request + 1024, '\0');
  const bool answered = AskThroughRemote(list, message, index, bytes, [&](char* remote) {
    request.pszText = remote + sizeof request;
    request.cchTextMax = 1024;
    std::memcpy(bytes.data(), &request, sizeof request);
  });
  return answered ? bytes.substr(sizeof request).c_str() : "<no answer>";
}

// Clicks the middle of the rectangle that `message` gives for item `index` of `window` (the list
// or its header), scrolling the list horizontally first when the point lies outside its view,
// as a user would scroll to a column. `request` carries the request.
bool ClickListPart(HWND list, HWND window, UINT message, WPARAM index, RECT request, int clicks) {
  RECT view{};
  GetClientRect(list, &view);
  MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&view), 2);
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string bytes(reinterpret_cast<const char*>(&request), sizeof request);
    RECT got{};
    if (!AskThroughRemote(window, message, index, bytes)) return false;
    std::memcpy(&got, bytes.data(), sizeof got);
    if (got.right <= got.left) return false;  // no such item: the request came back unchanged
    POINT screen{(got.left + got.right) / 2, (got.top + got.bottom) / 2};
    ClientToScreen(window, &screen);
    if (screen.x >= view.left + 2 && screen.x <= view.right - 2) {
      return ClickAt(screen, window, clicks);
    }
    Ask(list, LVM_SCROLL, screen.x - (view.left + view.right) / 2, 0);
  }
  return false;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Millis limit) {
  const ULONGLONG deadline = GetTickCount64() + limit;
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(25);
  }
  return true;
}

void ProcessEnder::operator()(HANDLE process) const {
  if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process, 99);
    WaitForSingleObject(process, 5000);
  }
  CloseHandle(process);
}

Process StartProcess(const std::string& exePath, const std::string& folder, std::string& error) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exePath + "\"";
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    error = "CreateProcessA(" + exePath + ") failed with error " + std::to_string(GetLastError());
    return nullptr;
  }
  CloseHandle(info.hThread);
  return Process(info.hProcess);
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Millis limit) {
  DWORD_PTR answer = 0;
  SetLastError(0);
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, limit, &answer) &&
      (GetLastError() != 0 || !IsWindow(window))) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

bool Settle(HWND window) { return Ask(window, WM_NULL).has_value(); }

std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(Ask(window, WM_GETTEXTLENGTH).value_or(0)) + 1, L'\0');
  auto copied = Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return ToCp932(text.substr(0, static_cast<std::size_t>(copied.value_or(0))));
}

bool SetWindowTextCp932(HWND window, std::string_view text) {
  const int size =
      MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())).value_or(FALSE) == TRUE;
}

std::vector<HWND> TopWindowsOf(DWORD processId, const char* className) {
  std::vector<HWND> found;
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
       window = FindWindowExA(nullptr, window, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) found.push_back(window);
  }
  return found;
}

std::vector<ModalWindow> ModalWindowsOf(DWORD processId) {
  std::vector<ModalWindow> modals;
  for (HWND window : TopWindowsOf(processId, "#32770")) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
      modals.push_back({window, WindowText(window), WindowText(GetDlgItem(window, 0xFFFF))});
    }
  }
  return modals;
}

std::optional<ModalWindow> WaitForModal(DWORD processId, std::string_view caption, Millis limit) {
  std::optional<ModalWindow> found;
  WaitUntil([&] {
    for (auto& modal : ModalWindowsOf(processId)) {
      if (!found && (caption.empty() || modal.caption == caption)) found = modal;
    }
    return found.has_value();
  }, limit);
  return found;
}

std::string LastInputError() { return lastInputError; }

bool ClickWindow(HWND window) {
  RECT rect{};
  return GetWindowRect(window, &rect) &&
         ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, window);
}

bool MakeForeground(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
}

bool PressAltCharacter(HWND window, char character) {
  const SHORT scan = VkKeyScanA(character);
  if (scan == -1 || !MakeForeground(window)) return false;
  std::vector<WORD> keys{VK_MENU};
  if (HIBYTE(scan) & 1) keys.push_back(VK_SHIFT);
  keys.push_back(LOBYTE(scan));
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(KeyInput(key, false));
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(KeyInput(*key, true));
  return Send(inputs);
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  for (LRESULT i = 0; i < Ask(combo, CB_GETCOUNT).value_or(0); ++i) {
    const auto length = std::max<LRESULT>(Ask(combo, CB_GETLBTEXTLEN, i).value_or(0), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied = Ask(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied.value_or(0), 0, length)));
    items.push_back(ToCp932(text));
  }
  return items;
}

bool IsChecked(HWND button) { return Ask(button, BM_GETCHECK).value_or(0) == BST_CHECKED; }

int ListRowCount(HWND list) { return static_cast<int>(Ask(list, LVM_GETITEMCOUNT).value_or(-1)); }

std::vector<std::string> ListRowTexts(HWND list, int row) {
  std::vector<std::string> texts;
  for (int i = 0; i < Ask(HeaderOf(list), HDM_GETITEMCOUNT).value_or(0); ++i) {
    texts.push_back(ListCellText(list, row, i));
  }
  return texts;
}

std::string ListCellText(HWND list, int row, int column) {
  if (row < 0) {
    LVCOLUMNA request{};
    request.mask = LVCF_TEXT;
    return RemoteText(list, LVM_GETCOLUMNA, column, request);
  }
  LVITEMA request{};
  request.iSubItem = column;
  return RemoteText(list, LVM_GETITEMTEXTA, row, request);
}

bool ClickListCell(HWND list, int row, int column, int clicks) {
  return Ask(list, LVM_ENSUREVISIBLE, row, FALSE) &&
         ClickListPart(list, list, LVM_GETSUBITEMRECT, row,
                       RECT{column == 0 ? LVIR_LABEL : LVIR_BOUNDS, column, 0, 0}, clicks);
}

bool ClickListHeader(HWND list, int column) {
  HWND header = HeaderOf(list);
  return header && ClickListPart(list, header, HDM_GETITEMRECT, column, RECT{}, 1);
}

}  // namespace e2e
