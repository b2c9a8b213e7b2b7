#pragma once

// velmora.exe started in a temporary folder and driven as a user drives it: real input through
// SendInput, its controls read back across the process boundary. Every wait has a deadline and
// no call blocks on the program, so a hung program fails a test instead of stopping the run.

#include <windows.h>
#include <commctrl.h>
#include <gmock/gmock.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "test_support.h"

namespace e2e {

namespace ids {
inline constexpr int kSelector = 150, kPathField = 151, kReadButton = 152, kWriteButton = 153;
inline constexpr int kRecordList = 154, kStatusLine = 156, kDialogField = 141, kFirstRadio = 141;
inline constexpr int kAbout = 104, kSettings = 110, kCsvExport = 111, kOk = 1, kCancel = 2,
                     kYes = 6;
}  // namespace ids

using ::testing::AssertionResult;
using ::testing::ElementsAre;

// Milliseconds: long enough for a cold Wine on a busy machine, short enough to fail in seconds.
inline constexpr DWORD kWaitLimit = 10000;

inline bool WaitUntil(const std::function<bool()>& condition, DWORD limit = kWaitLimit) {
  for (const ULONGLONG deadline = GetTickCount64() + limit; !condition(); Sleep(25)) {
    if (GetTickCount64() >= deadline) return false;
  }
  return true;
}

inline AssertionResult Check(bool ok, std::string_view failure) {
  return ok ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << failure;
}

inline std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The program the build made, or the one the environment names; a Linux path is seen through
// Wine's drive Z:.
inline HANDLE StartProgram(const char* variable, const char* built, const std::string& arguments,
                           const std::string& folder) {
  const char* named = std::getenv(variable);
  std::string exe = named && *named ? named : built;
  if (exe.starts_with('/')) exe = "Z:" + exe;
  std::replace(exe.begin(), exe.end(), '/', '\\');
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION info{};
  std::string line = Quoted(exe) + " " + arguments;
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

// SendMessageTimeout reports a zero answer as failure without an error; that is an answer.
inline std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0,
                                  LPARAM lParam = 0) {
  DWORD_PTR answer = 0;
  SetLastError(0);
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer) &&
      (GetLastError() != 0 || !IsWindow(window))) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

// Texts go in UTF-16 (narrow ones do not survive the process boundary under Wine) and are
// compared as code page 932 bytes. No index: a window's text; else a combo box item's.
inline std::string AskText(HWND window, UINT lengthMessage, UINT textMessage,
                           std::optional<WPARAM> index = {}) {
  auto length = std::max<LRESULT>(Ask(window, lengthMessage, index.value_or(0)).value_or(0), 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  length = std::clamp<LRESULT>(Ask(window, textMessage, index.value_or(text.size()),
                                   reinterpret_cast<LPARAM>(text.data())).value_or(0), 0, length);
  std::string bytes(2 * length, '\0');
  bytes.resize(WideCharToMultiByte(932, 0, text.data(), static_cast<int>(length), bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}
inline std::string WindowText(HWND window) {
  return AskText(window, WM_GETTEXTLENGTH, WM_GETTEXT);
}
inline bool SetText(HWND window, const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  MultiByteToWideChar(932, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  return Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())).value_or(0) == TRUE;
}
inline bool IsChecked(HWND button) { return Ask(button, BM_GETCHECK).value_or(0) == BST_CHECKED; }

// Asks with a pointer to a copy of `bytes` in the window's process and reads the copy back;
// `patch` fixes up pointers in the copy once its address is known.
inline bool AskThroughRemote(HWND window, UINT message, WPARAM wParam, std::string& bytes,
                             const std::function<void(char* remote)>& patch = {}) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, 0, id);
  auto* remote = static_cast<char*>(process ? VirtualAllocEx(process, nullptr, bytes.size(),
                                    MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : nullptr);
  if (remote && patch) patch(remote);
  const bool answered =
      remote && WriteProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr) &&
      Ask(window, message, wParam, reinterpret_cast<LPARAM>(remote)) &&
      ReadProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  if (process) CloseHandle(process);
  return answered;
}

inline HWND HeaderOf(HWND list) {
  return reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER).value_or(0));
}

// A report-mode list view's texts; row -1 is the column headers.
inline std::vector<std::string> ListRowTexts(HWND list, int row) {
  std::vector<std::string> texts;
  auto text = [&](UINT message, WPARAM index, auto request) {
    std::string bytes(sizeof request + 1024, '\0');
    const bool answered = AskThroughRemote(list, message, index, bytes, [&](char* remote) {
      request.pszText = remote + sizeof request;
      request.cchTextMax = 1024;
      std::memcpy(bytes.data(), &request, sizeof request);
    });
    texts.push_back(answered ? bytes.c_str() + sizeof request : "<no answer>");
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
  input.mi = {LONG((at.x * 65536LL + width - 1) / width),
              LONG((at.y * 65536LL + height - 1) / height), 0,
              flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0};
  return input;
}

// Real clicks at a screen point once `target` (or a child) is what a user would hit there: a
// new window may lie below its owner for a moment. Under Wine the X pointer may report its old
// place and take the cursor back: move until it stays, and give every button its position.
inline bool ClickAt(POINT at, HWND target, int clicks = 1) {
  POINT cursor{};
  const bool ready = WaitUntil([&] {
    HWND hit = WindowFromPoint(at);
    return hit && (hit == target || IsChild(target, hit));
  }, 3000) && WaitUntil([&] {
    return Send({Mouse(0, at)}) && (Sleep(20), GetCursorPos(&cursor)) && cursor.x == at.x &&
           cursor.y == at.y;
  }, 2000);
  std::vector<INPUT> inputs;
  for (int i = 0; i < 2 * clicks; ++i) {
    inputs.push_back(Mouse(i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN, at));
  }
  return ready && Send(inputs);
}
inline bool ClickWindow(HWND window) {
  RECT r{};
  return GetWindowRect(window, &r) &&
         ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, window);
}
// The middle of the rectangle that `message` fills in for item `index` of a list or its header.
inline bool ClickListPart(HWND window, UINT message, WPARAM index, RECT rect, int clicks) {
  std::string bytes(reinterpret_cast<const char*>(&rect), sizeof rect);
  if (!AskThroughRemote(window, message, index, bytes)) return false;
  std::memcpy(&rect, bytes.data(), sizeof rect);
  POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  return rect.right > rect.left && ClientToScreen(window, &at) && ClickAt(at, window, clicks);
}

// The keys pressed in order and released in reverse, into `window`.
inline bool PressKeys(HWND window, const std::vector<WORD>& keys) {
  SetForegroundWindow(window);
  std::vector<INPUT> inputs(2 * keys.size(), INPUT{INPUT_KEYBOARD});
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const WORD scan = WORD(MapVirtualKeyA(keys[i], MAPVK_VK_TO_VSC));
    inputs[i].ki = {keys[i], scan, 0, 0, 0};
    inputs[inputs.size() - 1 - i].ki = {keys[i], scan, KEYEVENTF_KEYUP, 0, 0};
  }
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 3000) && Send(inputs);
}

// A visible, enabled top-level "#32770" window of the program waits for its user; a message
// box's text is its static control 0xFFFF.
struct ModalWindow {
  HWND window = nullptr;
  std::string caption, text;
};

// Whatever a test leaves open is reported and the program ended, so no failure leaks on.
class VelmoraE2eTest : public ::testing::Test {
 protected:
  ~VelmoraE2eTest() override {
    EXPECT_TRUE(Modals().empty()) << "left open" << Modals();
    if (process_ && WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 5000);
    }
    if (process_) CloseHandle(process_);
  }
  std::string PathIn(std::string_view name) const { return dir_.File(name); }

  // The main window exists, hidden, while start-up message boxes are open. The first start
  // under Wine loads a lot; later ones take well under a second.
  AssertionResult Launch(const std::string& folder = {}) {
    process_ = StartProgram("VELMORA_EXE", VELMORA_EXE, "", folder.empty() ? dir_.Path() : folder);
    processId_ = GetProcessId(process_);
    return Check(process_ && WaitUntil([&] {
      return (main_ = FindWindowA("VELMORA", nullptr)) != nullptr;
    }, 30000), "no VELMORA window within 30 s");
  }
  AssertionResult Start(const std::string& folder = {}) {
    auto launched = Launch(folder);
    return launched ? Shown() : launched;
  }
  AssertionResult Shown() {
    return Check(WaitUntil([&] { return IsWindowVisible(main_) && IsWindowEnabled(main_); }) &&
                 Settle(), "main window not shown" + Modals());
  }
  // Returns once the main window looks at its messages again (a modal dialog counts).
  bool Settle() const { return Ask(main_, WM_NULL).has_value(); }

  HWND Control(int id) const { return GetDlgItem(main_, id); }
  HWND List() const { return Control(ids::kRecordList); }
  std::vector<std::string> Row(int row) const { return ListRowTexts(List(), row); }
  std::vector<std::string> Structures() const {
    std::vector<std::string> items;
    HWND combo = Control(ids::kSelector);
    for (WPARAM i = 0; i < WPARAM(Ask(combo, CB_GETCOUNT).value_or(0)); ++i) {
      items.push_back(AskText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, i));
    }
    return items;
  }

  // Sent without waiting for the answer, so a dialog it opens never blocks the test; unlike a
  // posted message, the Settle after it is handled after it.
  AssertionResult Command(int id, int code = 0, HWND from = nullptr) {
    return Check(SendNotifyMessageW(main_, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(from)) &&
                 Settle(), "command not handled: " + std::to_string(id));
  }
  AssertionResult SelectStructure(int index) {
    Ask(Control(ids::kSelector), CB_SETCURSEL, index);
    return Command(ids::kSelector, CBN_SELCHANGE, Control(ids::kSelector));
  }
  AssertionResult Press(int button, const std::string& path) {
    return Check(SetText(Control(ids::kPathField), path) && ClickWindow(Control(button)),
                 "cannot type the path and click");
  }
  AssertionResult StatusIs(std::string_view expected) {
    HWND status = Control(ids::kStatusLine);
    return Check(WaitUntil([&] { return WindowText(status) == expected; }),
                 "status: " + WindowText(status) + Modals());
  }
  AssertionResult Read(const std::string& path) {
    auto pressed = Press(ids::kReadButton, path);
    return pressed ? StatusIs("データ" + Quoted(path) + "を読み込みました") : pressed;
  }

  // The first modal window with `caption` (any when empty), after menu command `id` if not 0.
  AssertionResult Open(int id, std::string_view caption, ModalWindow& modal) {
    return Check((id <= 0 || Command(id)) && WaitUntil([&] {
      for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
          modal = {window, WindowText(window), WindowText(GetDlgItem(window, 0xFFFF))};
          if (caption.empty() || modal.caption == caption) return true;
        }
      }
      return false;
    }, id < 0 ? 400 : kWaitLimit), "no window " + std::string(caption));
  }
  std::string Modals() {
    ModalWindow modal;
    return process_ && Open(-1, "", modal) ? "; open: " + modal.caption + ": " + modal.text : "";
  }
  // Clicks a button of a modal window and waits until it has gone and its command is done.
  AssertionResult Answer(const ModalWindow& modal, int id) {
    return Check(ClickWindow(GetDlgItem(modal.window, id)) && WaitUntil([&] {
      return !IsWindow(modal.window) || !IsWindowVisible(modal.window);
    }) && Settle(), modal.caption + " not closed by button " + std::to_string(id));
  }
  AssertionResult AnswerBox(std::string_view caption, std::string_view text, int id = ids::kOk) {
    ModalWindow box;
    if (Open(0, "", box) && box.caption == caption && box.text == text) return Answer(box, id);
    return Check(false, "expected " + std::string(caption) + ": " + std::string(text) + Modals());
  }
  // Double-clicks a cell, types `typed` in the item edit dialog and closes it with `button`;
  // returns the text the dialog showed first.
  std::string EditCell(int row, int column, const std::string& typed, int button = ids::kOk) {
    ModalWindow dialog;
    if (!ClickListPart(List(), LVM_GETSUBITEMRECT, row, RECT{LVIR_BOUNDS, column}, 2) ||
        !Open(0, "項目編集", dialog)) {
      return "<no dialog>" + Modals();
    }
    HWND field = GetDlgItem(dialog.window, ids::kDialogField);
    const std::string shown = WindowText(field);
    return SetText(field, typed) && Answer(dialog, button) ? shown : "<not closed>";
  }
  // Clicks a column header, then radio button `to` of the type change dialog and OK; returns
  // the numbers of the radio buttons marked first.
  std::string ChangeType(int column, int to) {
    ModalWindow dialog;
    if (!ClickListPart(HeaderOf(List()), HDM_GETITEMRECT, column, RECT{}, 1) ||
        !Open(0, "型の変更", dialog)) {
      return "<no dialog>" + Modals();
    }
    auto radio = [&](int n) { return GetDlgItem(dialog.window, ids::kFirstRadio + n); };
    std::string marked;
    for (int n = 0; n < 3; ++n) marked += IsChecked(radio(n)) ? std::to_string(n) : "";
    return ClickWindow(radio(to)) && WaitUntil([&] { return IsChecked(radio(to)); }) &&
           Answer(dialog, ids::kOk) ? marked : "<not changed>";
  }

  TempDir dir_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND main_ = nullptr;
};

}  // namespace e2e
