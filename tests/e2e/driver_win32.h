#pragma once

// Drives another process's windows the way a user would: real mouse and key input through
// SendInput, texts read back across the process boundary, modal dialogs and message boxes found
// and answered. Every wait has a deadline and no call blocks on the other process, so a hung
// program fails a test instead of stopping the run.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// Milliseconds. (<chrono> is kept out: its C++20 unit suffixes cannot be written in CP932.)
using Millis = DWORD;

// Long enough for a cold Wine on a busy machine, short enough that a hang fails in seconds.
inline constexpr Millis kWaitLimit = 10000;

// Polls `condition` until it holds or `limit` has passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition, Millis limit = kWaitLimit);

// Text conversion between the narrow program's code page 932 and the UTF-16 of the window
// system. Texts read back are compared byte for byte with CP932 literals.
std::string ToCp932(std::wstring_view text);
std::wstring FromCp932(std::string_view text);

// A path of the Linux side ("/work/...") as Wine's Z: drive sees it; other paths unchanged.
std::string ToWindowsPath(std::string path);

// A process started by a test; terminated when the owner goes out of scope still running.
class Process {
 public:
  // Starts the program with `workingDirectory` as its current directory; nothing, with the
  // reason in `error`, when it cannot be started.
  static std::optional<Process> Start(const std::string& exePath,
                                      const std::string& workingDirectory, std::string& error);
  Process(Process&& other) noexcept;
  Process& operator=(Process&&) = delete;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return handle_; }
  bool HasExited() const;
  // The exit code once the process has ended within `limit`.
  std::optional<DWORD> WaitForExit(Millis limit = kWaitLimit);
  void Terminate();

 private:
  Process(HANDLE handle, DWORD id) : handle_(handle), id_(id) {}
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// Memory inside another process, for messages that carry pointers (list view, header, list box
// rectangles): the receiving control dereferences them in its own address space.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size);
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory();

  bool Valid() const { return address_ != nullptr; }
  LPARAM Address(std::size_t offset = 0) const {
    return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
  }
  bool Write(const void* data, std::size_t size, std::size_t offset = 0);
  bool Read(void* data, std::size_t size, std::size_t offset = 0);

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

// SendMessageTimeoutW: the answer, or nothing when the window did not answer in time or is gone.
// A zero answer is a real answer (SendMessageTimeout reports it as failure without an error).
// A window that has stopped answering fails at once instead of once per call.
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                           Millis limit = 5000);
// Returns once the window's thread has finished what it was doing and looks at its messages
// again (a handler that opened a modal dialog counts as looking).
bool Settle(HWND window);

std::string WindowText(HWND window);
// Replaces the text as typing it would: the control sees WM_SETTEXT with the same characters.
bool SetWindowTextCp932(HWND window, std::string_view text);
std::string ClassNameOf(HWND window);
// The window's rectangle in its parent's client coordinates (screen for top-level windows).
RECT RectInParent(HWND window);
RECT ClientRectOf(HWND window);

// Top-level windows of a process, in z-order.
std::vector<HWND> TopWindowsOf(DWORD processId);
HWND FindTopWindow(DWORD processId, std::string_view className, bool mustBeVisible);
HWND WaitForTopWindow(DWORD processId, std::string_view className, bool mustBeVisible,
                      Millis limit = kWaitLimit);

// A modal dialog or message box that is waiting for the user: a visible, enabled top-level
// "#32770" window of the process.
struct ModalWindow {
  HWND window = nullptr;
  std::string caption;
  std::string text;  // a message box's text: its static control 0xFFFF
};
std::vector<ModalWindow> ModalWindowsOf(DWORD processId);
std::optional<ModalWindow> WaitForModal(DWORD processId, Millis limit = kWaitLimit);
// Waits for a modal window with this caption; others are ignored.
std::optional<ModalWindow> WaitForModal(DWORD processId, std::string_view caption,
                                        Millis limit = kWaitLimit);
bool WaitForClose(HWND window, Millis limit = kWaitLimit);

// Why the last click or key press of this driver failed, for failure messages.
std::string LastInputError();

// Real mouse input at a screen point, after checking that `target` (or a child of it) is what
// the user would hit there. `clicks` is 1 or 2.
bool ClickAt(POINT screen, HWND target, int clicks = 1);
// A click in the middle of a control.
bool ClickWindow(HWND window);
// The dialog's button or radio button `id`, clicked; false when it is missing or covered.
bool ClickDialogItem(HWND dialog, int id);
// Alt held with the key that types `character` on the current keyboard layout, sent to the
// foreground window after making `window` the foreground window.
bool PressAltCharacter(HWND window, char character);
bool MakeForeground(HWND window);

// Combo box and list box items, read in UTF-16 and converted (the narrow forms do not survive
// the process boundary under Wine).
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
std::vector<std::string> ListBoxItems(HWND listBox);
std::vector<bool> ListBoxSelection(HWND listBox);
bool ClickListBoxItem(HWND listBox, int index);
bool IsChecked(HWND button);

// Report-mode list view, read through memory in its process.
int ListRowCount(HWND list);
int ListColumnCount(HWND list);
std::string ListColumnText(HWND list, int column);
std::vector<std::string> ListColumnTexts(HWND list);
std::string ListCellText(HWND list, int row, int column);
std::vector<std::string> ListRowTexts(HWND list, int row);
// Real clicks: `clicks` on a cell (scrolled into view first), one on a column header.
bool ClickListCell(HWND list, int row, int column, int clicks);
bool ClickListHeader(HWND list, int column);

}  // namespace e2e
