#pragma once

// velmora.exe driven as a user drives it, its controls read back across the process boundary.
// Every wait has a deadline and no call blocks on the program: a hang fails, not stops, the run.

#include <windows.h>
#include <commctrl.h>
#include <gmock/gmock.h>

#include <optional>

#include "resources/resource.h"
#include "test_support.h"

namespace e2e {

using ::testing::AssertionResult, ::testing::ElementsAre;

inline bool WaitUntil(const std::function<bool()>& condition, DWORD limit = 10000) {
  for (const ULONGLONG deadline = GetTickCount64() + limit; !condition(); Sleep(25)) {
    if (GetTickCount64() >= deadline) return false;
  }
  return true;
}
inline AssertionResult Check(bool ok, std::string_view failure) {
  return ok ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << failure;
}
inline std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Wine sees Linux paths on drive Z:.
inline std::string WindowsPath(std::string path) {
  if (path.starts_with('/')) path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

inline HANDLE StartProgram(const std::string& exe, const std::string& arguments,
                           const std::string& folder) {
  std::string line = Quoted(exe) + " " + arguments;
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION info{};
  const bool started =
      CreateProcessA(exe.c_str(), line.data(), 0, 0, 0, 0, 0, folder.c_str(), &startup, &info) &&
      CloseHandle(info.hThread);
  return started ? info.hProcess : nullptr;
}

// SendMessageTimeout reports a zero answer as failure without an error; that is an answer.
inline std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR answer = 0;
  SetLastError(0);
  const bool answered =
      SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer) ||
      (!GetLastError() && IsWindow(window));
  return answered ? std::optional<LRESULT>(answer) : std::nullopt;
}

// Texts go in UTF-16 (narrow ones do not survive the process boundary under Wine) and are
// compared as code page 932 bytes. No index: a window's text; else a combo box item's.
inline std::string AskText(HWND window, UINT message = WM_GETTEXT, std::optional<WPARAM> i = {}) {
  std::wstring text(4096, L'\0');
  const int length = static_cast<int>(std::clamp<LRESULT>(
      Ask(window, message, i.value_or(text.size()), LPARAM(text.data())).value_or(0), 0, 4095));
  std::string bytes(2 * length, '\0');
  bytes.resize(WideCharToMultiByte(932, 0, text.data(), length, bytes.data(), 2 * length, 0, 0));
  return bytes;
}
inline bool SetText(HWND window, const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  MultiByteToWideChar(932, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  return Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())).value_or(0) == TRUE;
}
inline bool IsChecked(HWND button) { return Ask(button, BM_GETCHECK).value_or(0) == BST_CHECKED; }

// Asks with a pointer to `build(remote)` copied to `remote` in the window's process; the copy
// read back, or nothing.
inline std::string AskRemote(HWND window, UINT message, WPARAM wParam,
                             const std::function<std::string(char* remote)>& build) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, 0, id);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, 0, 4096, MEM_COMMIT, PAGE_READWRITE));
  std::string bytes = remote ? build(remote) : "";
  const bool answered = remote &&
                        WriteProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr) &&
                        Ask(window, message, wParam, reinterpret_cast<LPARAM>(remote)) &&
                        ReadProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return answered ? bytes : "";
}

// Measured in `font`, or in the system font, the one of a device context with nothing selected
// into it, as a control draws in when no font was set on it.
inline SIZE TextExtent(const std::string& text, HFONT font) {
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

inline HWND HeaderOf(HWND list) { return HWND(Ask(list, LVM_GETHEADER).value_or(0)); }

// A report-mode list view's texts; row -1 is the column headers.
inline std::vector<std::string> ListRowTexts(HWND list, int row) {
  std::vector<std::string> texts;
  auto text = [&](UINT message, WPARAM index, auto request) {
    const std::string bytes = AskRemote(list, message, index, [&](char* remote) {
      request.pszText = remote + sizeof request;
      request.cchTextMax = 1024;
      return std::string(reinterpret_cast<char*>(&request), sizeof request) + std::string(1024, 0);
    });
    texts.push_back(bytes.empty() ? "<no answer>" : bytes.c_str() + sizeof request);
  };
  for (int i = 0; i < Ask(HeaderOf(list), HDM_GETITEMCOUNT).value_or(0); ++i) {
    if (row < 0) text(LVM_GETCOLUMNA, i, LVCOLUMNA{LVCF_TEXT});
    if (row >= 0) text(LVM_GETITEMTEXTA, row, LVITEMA{0, 0, i});
  }
  return texts;
}

inline bool Send(std::vector<INPUT> inputs) {
  return SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}
// Absolute mouse coordinates run from 0 to 65535 over the screen; rounding up lands on the pixel.
inline INPUT Mouse(DWORD flags, POINT at) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{INPUT_MOUSE};
  input.mi.dx = LONG((at.x * 65536LL + width - 1) / width);
  input.mi.dy = LONG((at.y * 65536LL + height - 1) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

// Clicks (the middle of `target` by default) once `target` is what a user would hit there: a new
// window may lie below its owner for a moment. Wine's pointer may jump back: move until it stays.
inline bool ClickAt(HWND target, std::optional<POINT> point = {}, int clicks = 1) {
  RECT r{};
  GetWindowRect(target, &r);
  const POINT at = point.value_or(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  auto hit = [&] { return WindowFromPoint(at) == target || IsChild(target, WindowFromPoint(at)); };
  auto stays = [&] {
    POINT cursor{};
    const bool moved = Send({Mouse(0, at)});
    Sleep(20);
    return moved && GetCursorPos(&cursor) && cursor.x == at.x && cursor.y == at.y;
  };
  std::vector<INPUT> inputs(2 * clicks, Mouse(MOUSEEVENTF_LEFTDOWN, at));
  for (std::size_t i = 1; i < inputs.size(); i += 2) inputs[i] = Mouse(MOUSEEVENTF_LEFTUP, at);
  return target && WaitUntil(hit, 3000) && WaitUntil(stays, 2000) && Send(inputs);
}
// The rectangle that `message` fills in, from `rect`, for item `index` of a list or its header.
inline RECT PartRect(HWND window, UINT message, WPARAM index, RECT rect) {
  const std::string sent(reinterpret_cast<char*>(&rect), sizeof rect);
  const std::string bytes = AskRemote(window, message, index, [&](char*) { return sent; });
  bytes.copy(reinterpret_cast<char*>(&rect), sizeof rect);
  return rect;
}
// The middle of that rectangle.
inline bool ClickListPart(HWND window, UINT message, WPARAM index, RECT rect, int clicks = 1) {
  rect = PartRect(window, message, index, rect);
  POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  return rect.right > rect.left && ClientToScreen(window, &at) && ClickAt(window, at, clicks);
}
inline bool PressKeys(HWND window, const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs(2 * keys.size(), INPUT{INPUT_KEYBOARD});
  for (std::size_t i = 0, n = inputs.size(); i < n; ++i) {
    const WORD key = keys[std::min(i, n - 1 - i)];
    inputs[i].ki = {key, WORD(MapVirtualKeyA(key, 0)), i < keys.size() ? 0u : KEYEVENTF_KEYUP};
  }
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 3000) && Send(inputs);
}

// A modal dialog or message box; a message box's text is its static control 0xFFFF.
struct ModalWindow {
  HWND window = nullptr;
  std::string caption, text;
};

// Whatever a test leaves open is reported and the program ended, so no failure leaks on.
class VelmoraE2eTest : public ::testing::Test {
 protected:
  ~VelmoraE2eTest() override {
    EXPECT_EQ(Modals(), "");
    TerminateProcess(process_, 99);  // without a process these fail harmlessly
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }

  // The program the build made, or the one VELMORA_EXE names. The main window exists, hidden,
  // while start-up message boxes are open.
  bool Launch(const std::string& folder = {}) {
    const char* exe = std::getenv("VELMORA_EXE");
    process_ = StartProgram(WindowsPath(exe ? exe : VELMORA_EXE), "",
                            folder.empty() ? dir_.Path() : folder);
    return process_ && WaitUntil([&] { return main_ = FindWindowA("VELMORA", 0); }, 30000);
  }
  bool Shown() {
    return WaitUntil([&] { return IsWindowVisible(main_) && IsWindowEnabled(main_); }) &&
           Ask(main_, WM_NULL);
  }

  HWND Control(int id) const { return GetDlgItem(main_, id); }
  HWND List() const { return Control(IDC_RECORD_LIST); }
  std::vector<std::string> Row(int row) const { return ListRowTexts(List(), row); }

  // A menu command, or a control's notification (from that control: no menu id is a control's).
  // Sent without waiting for the answer, so a dialog it opens never blocks the test; unlike a
  // posted message, the WM_NULL after it is answered after it (or once a modal dialog waits).
  bool Command(int id, int code = 0) {
    const LPARAM from = LPARAM(Control(id));
    return SendNotifyMessageW(main_, WM_COMMAND, MAKEWPARAM(id, code), from) && Ask(main_, WM_NULL);
  }
  bool SelectStructure(int index) {
    return Ask(Control(IDC_STRUCT_SELECTOR), CB_SETCURSEL, index) &&
           Command(IDC_STRUCT_SELECTOR, CBN_SELCHANGE);
  }
  bool Press(int button, const std::string& path) {
    return SetText(Control(IDC_PATH_FIELD), path) && ClickAt(Control(button));
  }
  AssertionResult StatusIs(std::string_view expected) {
    auto status = [&] { return AskText(Control(IDC_STATUS_LINE)); };
    return Check(WaitUntil([&] { return status() == expected; }), "status: " + status() + Modals());
  }

  // The first modal window with `caption` (any when empty), after menu command `id` if any.
  AssertionResult Open(int id, std::string_view caption, ModalWindow& modal) {
    auto found = [&] {
      HWND window = nullptr;
      while ((window = FindWindowExA(nullptr, window, "#32770", nullptr))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == GetProcessId(process_) && IsWindowVisible(window) && IsWindowEnabled(window)) {
          modal = {window, AskText(window), AskText(GetDlgItem(window, 0xFFFF))};
          if (caption.empty() || modal.caption == caption) return true;
        }
      }
      return false;
    };
    const bool opened = (id <= 0 || Command(id)) && WaitUntil(found, id < 0 ? 400 : 10000);
    return Check(opened, "no window " + std::string(caption));
  }
  // Waits a little: the program may still be busy with input queued before.
  std::string Modals() {
    ModalWindow modal;
    return process_ && Open(-1, "", modal) ? "; open: " + modal.caption + ": " + modal.text : "";
  }
  // Clicks a button and waits until the window has gone and its command is done.
  AssertionResult Answer(const ModalWindow& modal, int id) {
    auto gone = [&] { return !IsWindow(modal.window) || !IsWindowVisible(modal.window); };
    const bool closed = ClickAt(GetDlgItem(modal.window, id)) && WaitUntil(gone);
    return Check(closed && Ask(main_, WM_NULL),
                 modal.caption + " not closed by button " + std::to_string(id));
  }
  // The caption and text of the next message box, which button `id` closes.
  std::string AnswerBox(int id = IDOK) {
    ModalWindow box;
    return Open(0, "", box) && Answer(box, id) ? box.caption + ": " + box.text : "<no box>";
  }
  // Double-clicks a cell, types `typed` in the item edit dialog and closes it with `button`;
  // returns the text the dialog showed first.
  std::string EditCell(int row, int column, const std::string& typed, int button = IDOK) {
    ModalWindow dialog;
    const bool opened = ClickListPart(List(), LVM_GETSUBITEMRECT, row, {LVIR_BOUNDS, column}, 2) &&
                        Open(0, "項目編集", dialog);
    HWND field = GetDlgItem(dialog.window, IDC_ITEM_VALUE);
    const std::string shown = AskText(field);
    return opened && SetText(field, typed) && Answer(dialog, button) ? shown : "<no edit>";
  }

  TempDir dir_;
  HANDLE process_ = nullptr;
  HWND main_ = nullptr;
};

}  // namespace e2e
