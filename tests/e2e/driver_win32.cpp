#include "driver_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace e2e {
namespace {

constexpr Millis kPollInterval = 25;

std::string lastInputError;

bool InputFailed(std::string reason) {
  lastInputError = std::move(reason);
  return false;
}

std::string Describe(HWND window) {
  if (!window) return "no window";
  char handle[32];
  std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
  return std::string(handle) + " " + ClassNameOf(window) + " \"" + WindowText(window) + "\"";
}

bool IsWindowOf(HWND window, DWORD processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == processId;
}

bool IsSameOrChild(HWND target, HWND hit) {
  return hit != nullptr && (hit == target || IsChild(target, hit));
}

POINT Center(const RECT& rect) {
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return input;
}

INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

bool Send(std::vector<INPUT> inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
         inputs.size();
}

// Absolute mouse coordinates run from 0 to 65535 over the primary screen; rounding up makes the
// system's conversion back land on the very pixel.
LONG Normalize(LONG coordinate, int screenSize) {
  return static_cast<LONG>((static_cast<long long>(coordinate) * 65536 + screenSize - 1) /
                           screenSize);
}

std::wstring WideText(HWND window) {
  auto length = Ask(window, WM_GETTEXTLENGTH);
  if (!length) return {};
  std::wstring text(static_cast<std::size_t>(*length) + 1, L'\0');
  auto copied = Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied ? static_cast<std::size_t>(*copied) : 0);
  return text;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Millis limit) {
  const ULONGLONG deadline = GetTickCount64() + limit;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollInterval);
  }
}

std::string ToCp932(std::wstring_view text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

std::wstring FromCp932(std::string_view text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

std::string ToWindowsPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

std::optional<Process> Process::Start(const std::string& exePath,
                                      const std::string& workingDirectory, std::string& error) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exePath + "\"";
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.c_str(), &startup, &info)) {
    error = "CreateProcessA(" + exePath + ") failed with error " + std::to_string(GetLastError());
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  return Process(info.hProcess, info.dwProcessId);
}

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_) {
  other.handle_ = nullptr;
}

Process::~Process() {
  if (!handle_) return;
  Terminate();
  CloseHandle(handle_);
}

bool Process::HasExited() const { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

std::optional<DWORD> Process::WaitForExit(Millis limit) {
  if (WaitForSingleObject(handle_, limit) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(handle_, &code);
  return code;
}

void Process::Terminate() {
  if (HasExited()) return;
  TerminateProcess(handle_, 99);
  WaitForSingleObject(handle_, 5000);
}

RemoteMemory::RemoteMemory(HWND window, std::size_t size) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                         processId);
  if (process_) {
    address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
}

RemoteMemory::~RemoteMemory() {
  if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

bool RemoteMemory::Write(const void* data, std::size_t size, std::size_t offset) {
  SIZE_T written = 0;
  return address_ && WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data,
                                        size, &written) &&
         written == size;
}

bool RemoteMemory::Read(void* data, std::size_t size, std::size_t offset) {
  SIZE_T got = 0;
  return address_ &&
         ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &got) &&
         got == size;
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           Millis limit) {
  DWORD_PTR answer = 0;
  SetLastError(0);
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                           limit, &answer)) {
    if (GetLastError() != 0 || !IsWindow(window)) return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

bool Settle(HWND window) { return Ask(window, WM_NULL).has_value(); }

std::string WindowText(HWND window) { return ToCp932(WideText(window)); }

bool SetWindowTextCp932(HWND window, std::string_view text) {
  std::wstring wide = FromCp932(text);
  auto answer = Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  return answer && *answer == TRUE;
}

std::string ClassNameOf(HWND window) {
  std::array<char, 256> name{};
  int length = GetClassNameA(window, name.data(), static_cast<int>(name.size()));
  return std::string(name.data(), static_cast<std::size_t>(std::max(length, 0)));
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (HWND parent = GetAncestor(window, GA_PARENT); parent && parent != GetDesktopWindow()) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

RECT ClientRectOf(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

std::vector<HWND> TopWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* search = reinterpret_cast<Search*>(context);
        if (IsWindowOf(window, search->processId)) search->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopWindow(DWORD processId, std::string_view className, bool mustBeVisible) {
  for (HWND window : TopWindowsOf(processId)) {
    if (ClassNameOf(window) == className && (!mustBeVisible || IsWindowVisible(window))) {
      return window;
    }
  }
  return nullptr;
}

HWND WaitForTopWindow(DWORD processId, std::string_view className, bool mustBeVisible,
                      Millis limit) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopWindow(processId, className, mustBeVisible)); },
            limit);
  return found;
}

std::vector<ModalWindow> ModalWindowsOf(DWORD processId) {
  std::vector<ModalWindow> modals;
  for (HWND window : TopWindowsOf(processId)) {
    if (ClassNameOf(window) != "#32770" || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
      continue;
    }
    ModalWindow modal{window, WindowText(window), {}};
    if (HWND text = GetDlgItem(window, 0xFFFF)) modal.text = WindowText(text);
    modals.push_back(std::move(modal));
  }
  return modals;
}

std::optional<ModalWindow> WaitForModal(DWORD processId, Millis limit) {
  std::optional<ModalWindow> found;
  WaitUntil(
      [&] {
        auto modals = ModalWindowsOf(processId);
        if (!modals.empty()) found = modals.front();
        return found.has_value();
      },
      limit);
  return found;
}

std::optional<ModalWindow> WaitForModal(DWORD processId, std::string_view caption,
                                        Millis limit) {
  std::optional<ModalWindow> found;
  WaitUntil(
      [&] {
        for (auto& modal : ModalWindowsOf(processId)) {
          if (modal.caption == caption) found = modal;
        }
        return found.has_value();
      },
      limit);
  return found;
}

bool WaitForClose(HWND window, Millis limit) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, limit);
}

std::string LastInputError() { return lastInputError; }

bool ClickAt(POINT screen, HWND target, int clicks) {
  const std::string where = " at " + std::to_string(screen.x) + "," + std::to_string(screen.y);
  // A window that has just been shown may still be below its owner for a moment, until the
  // window manager has raised it; a user would wait for it too.
  HWND hit = nullptr;
  if (!WaitUntil([&] { return IsSameOrChild(target, hit = WindowFromPoint(screen)); }, 3000)) {
    return InputFailed("clicking " + Describe(target) + where + " would hit " + Describe(hit));
  }
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const LONG dx = Normalize(screen.x, width);
  const LONG dy = Normalize(screen.y, height);
  // Under Wine the X pointer is moved after the input and may report its old place for a
  // moment, taking the cursor back with it: move until the cursor stays, and give every button
  // event its position as well.
  POINT cursor{};
  const bool arrived = WaitUntil(
      [&] {
        Send({MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy)});
        Sleep(20);
        GetCursorPos(&cursor);
        return cursor.x == screen.x && cursor.y == screen.y;
      },
      2000);
  if (!arrived) {
    hit = WindowFromPoint(cursor);
    return InputFailed("the cursor went to " + std::to_string(cursor.x) + "," +
                       std::to_string(cursor.y) + " over " + Describe(hit) + " instead of " +
                       Describe(target) + where);
  }
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN, dx, dy));
    inputs.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP, dx, dy));
  }
  return Send(inputs) || InputFailed("SendInput refused the clicks" + where);
}

bool ClickWindow(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  return ClickAt(Center(rect), window);
}

bool ClickDialogItem(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item && ClickWindow(item);
}

bool MakeForeground(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
}

bool PressAltCharacter(HWND window, char character) {
  if (!MakeForeground(window)) return false;
  SHORT scan = VkKeyScanA(character);
  if (scan == -1) return false;
  const WORD key = LOBYTE(scan);
  const bool shift = (HIBYTE(scan) & 1) != 0;
  std::vector<INPUT> inputs{KeyInput(VK_MENU, false)};
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  inputs.push_back(KeyInput(VK_MENU, true));
  return Send(inputs);
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  auto count = Ask(combo, CB_GETCOUNT);
  for (LRESULT i = 0; count && i < *count; ++i) {
    auto length = Ask(combo, CB_GETLBTEXTLEN, i);
    std::wstring text(length && *length > 0 ? static_cast<std::size_t>(*length) + 1 : 1, L'\0');
    auto copied = Ask(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied && *copied > 0 ? static_cast<std::size_t>(*copied) : 0);
    items.push_back(ToCp932(text));
  }
  return items;
}

int ComboSelection(HWND combo) {
  auto selection = Ask(combo, CB_GETCURSEL);
  return selection ? static_cast<int>(*selection) : -2;
}

std::vector<std::string> ListBoxItems(HWND listBox) {
  std::vector<std::string> items;
  auto count = Ask(listBox, LB_GETCOUNT);
  for (LRESULT i = 0; count && i < *count; ++i) {
    auto length = Ask(listBox, LB_GETTEXTLEN, i);
    std::wstring text(length && *length > 0 ? static_cast<std::size_t>(*length) + 1 : 1, L'\0');
    auto copied = Ask(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied && *copied > 0 ? static_cast<std::size_t>(*copied) : 0);
    items.push_back(ToCp932(text));
  }
  return items;
}

std::vector<bool> ListBoxSelection(HWND listBox) {
  std::vector<bool> selection;
  auto count = Ask(listBox, LB_GETCOUNT);
  for (LRESULT i = 0; count && i < *count; ++i) {
    auto selected = Ask(listBox, LB_GETSEL, i);
    selection.push_back(selected && *selected > 0);
  }
  return selection;
}

bool ClickListBoxItem(HWND listBox, int index) {
  // Wine carries LB_GETITEMRECT's rectangle across processes itself: a local one is filled.
  RECT rect{};
  auto answer = Ask(listBox, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  if (!answer || *answer == LB_ERR || IsRectEmpty(&rect)) return false;
  POINT center = Center(rect);
  ClientToScreen(listBox, &center);
  return ClickAt(center, listBox);
}

bool IsChecked(HWND button) {
  auto state = Ask(button, BM_GETCHECK);
  return state && *state == BST_CHECKED;
}

int ListRowCount(HWND list) {
  auto count = Ask(list, LVM_GETITEMCOUNT);
  return count ? static_cast<int>(*count) : -1;
}

int ListColumnCount(HWND list) {
  auto header = Ask(list, LVM_GETHEADER);
  if (!header || !*header) return -1;
  auto count = Ask(reinterpret_cast<HWND>(*header), HDM_GETITEMCOUNT);
  return count ? static_cast<int>(*count) : -1;
}

std::string ListColumnText(HWND list, int column) {
  constexpr std::size_t kTextSize = 1024;
  RemoteMemory memory(list, sizeof(LVCOLUMNA) + kTextSize);
  if (!memory.Valid()) return "<no remote memory>";
  LVCOLUMNA request{};
  request.mask = LVCF_TEXT;
  request.pszText = reinterpret_cast<char*>(memory.Address(sizeof(LVCOLUMNA)));
  request.cchTextMax = kTextSize;
  char empty = 0;
  memory.Write(&empty, 1, sizeof(LVCOLUMNA));
  memory.Write(&request, sizeof request);
  auto answer = Ask(list, LVM_GETCOLUMNA, column, memory.Address());
  if (!answer || !*answer) return "<no column " + std::to_string(column) + ">";
  // The list may answer with a pointer to its own copy instead of filling the buffer.
  memory.Read(&request, sizeof request);
  std::string text(kTextSize, '\0');
  if (request.pszText == reinterpret_cast<char*>(memory.Address(sizeof(LVCOLUMNA)))) {
    memory.Read(text.data(), kTextSize, sizeof(LVCOLUMNA));
  }
  text.resize(text.find('\0'));
  return text;
}

std::vector<std::string> ListColumnTexts(HWND list) {
  std::vector<std::string> texts;
  for (int i = 0, count = ListColumnCount(list); i < count; ++i) {
    texts.push_back(ListColumnText(list, i));
  }
  return texts;
}

std::string ListCellText(HWND list, int row, int column) {
  constexpr std::size_t kTextSize = 1024;
  RemoteMemory memory(list, sizeof(LVITEMA) + kTextSize);
  if (!memory.Valid()) return "<no remote memory>";
  LVITEMA request{};
  request.iSubItem = column;
  request.pszText = reinterpret_cast<char*>(memory.Address(sizeof(LVITEMA)));
  request.cchTextMax = kTextSize;
  char empty = 0;
  memory.Write(&empty, 1, sizeof(LVITEMA));
  memory.Write(&request, sizeof request);
  auto length = Ask(list, LVM_GETITEMTEXTA, row, memory.Address());
  if (!length) return "<no answer>";
  std::string text(kTextSize, '\0');
  memory.Read(text.data(), kTextSize, sizeof(LVITEMA));
  text.resize(text.find('\0'));
  return text;
}

std::vector<std::string> ListRowTexts(HWND list, int row) {
  std::vector<std::string> texts;
  for (int i = 0, count = ListColumnCount(list); i < count; ++i) {
    texts.push_back(ListCellText(list, row, i));
  }
  return texts;
}

// A point of `list` in screen coordinates, scrolled horizontally into the list's client area
// first when it lies outside, the way a user would scroll to a column.
static bool ScreenPointInList(HWND list, const std::function<bool(POINT&)>& locate, POINT& screen) {
  RECT client = ClientRectOf(list);
  MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!locate(screen)) return false;
    if (screen.x >= client.left + 2 && screen.x <= client.right - 2) return true;
    Ask(list, LVM_SCROLL, screen.x - (client.left + client.right) / 2, 0);
  }
  return false;
}

bool ClickListCell(HWND list, int row, int column, int clicks) {
  if (!Ask(list, LVM_ENSUREVISIBLE, row, FALSE)) return false;
  RemoteMemory memory(list, sizeof(RECT));
  if (!memory.Valid()) return false;
  POINT screen{};
  bool located = ScreenPointInList(
      list,
      [&](POINT& point) {
        RECT rect{column == 0 ? LVIR_LABEL : LVIR_BOUNDS, column, 0, 0};
        memory.Write(&rect, sizeof rect);
        auto answer = Ask(list, LVM_GETSUBITEMRECT, row, memory.Address());
        if (!answer || !*answer || !memory.Read(&rect, sizeof rect)) return false;
        point = Center(rect);
        ClientToScreen(list, &point);
        return true;
      },
      screen);
  return located && ClickAt(screen, list, clicks);
}

bool ClickListHeader(HWND list, int column) {
  auto answer = Ask(list, LVM_GETHEADER);
  if (!answer || !*answer) return false;
  HWND header = reinterpret_cast<HWND>(*answer);
  RemoteMemory memory(header, sizeof(RECT));
  if (!memory.Valid()) return false;
  POINT screen{};
  bool located = ScreenPointInList(
      list,
      [&](POINT& point) {
        RECT rect{};
        auto got = Ask(header, HDM_GETITEMRECT, column, memory.Address());
        if (!got || !*got || !memory.Read(&rect, sizeof rect)) return false;
        point = Center(rect);
        ClientToScreen(header, &point);
        return true;
      },
      screen);
  return located && ClickAt(screen, header);
}

}  // namespace e2e
