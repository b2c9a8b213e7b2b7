#pragma once

// Drives another process's windows the way a user would: real mouse and key input through
// SendInput, texts read back across the process boundary, modal dialogs and message boxes found
// and answered. Every wait has a deadline and no call blocks on the other process, so a hung
// program fails a test instead of stopping the run.

#include <windows.h>

#include <functional>
#include <memory>
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

// A started process, terminated when its owner lets go of it while it still runs.
struct ProcessEnder {
  void operator()(HANDLE process) const;
};
using Process = std::unique_ptr<void, ProcessEnder>;
// Null, with the reason in `error`, when the program cannot be started.
Process StartProcess(const std::string& exePath, const std::string& folder, std::string& error);

// SendMessageTimeoutW: the answer, or nothing when the window did not answer in time or is gone.
// A zero answer is a real answer (SendMessageTimeout reports it as failure without an error).
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                           Millis limit = 5000);
// Returns once the window's thread looks at its messages again (a handler that opened a modal
// dialog counts as looking).
bool Settle(HWND window);

// Texts in the program's code page 932, compared byte for byte with CP932 literals.
std::string WindowText(HWND window);
// Replaces the text as typing it would: the control sees WM_SETTEXT with the same characters.
bool SetWindowTextCp932(HWND window, std::string_view text);

// Top-level windows of the process with this class, shown or not, in z-order.
std::vector<HWND> TopWindowsOf(DWORD processId, const char* className);

// A modal dialog or message box that is waiting for the user: a visible, enabled top-level
// "#32770" window of the process.
struct ModalWindow {
  HWND window = nullptr;
  std::string caption;
  std::string text;  // a message box's text: its static control 0xFFFF
};
std::vector<ModalWindow> ModalWindowsOf(DWORD processId);
// Waits for a modal window with this caption (any when empty); others are ignored.
std::optional<ModalWindow> WaitForModal(DWORD processId, std::string_view caption = {},
                                        Millis limit = kWaitLimit);

// Why the last click of this driver failed, for failure messages.
std::string LastInputError();
// A real click in the middle of a window; false when it is missing or covered.
bool ClickWindow(HWND window);
// Alt held with the key that types `character` on the current keyboard layout, sent after
// making `window` the foreground window.
bool PressAltCharacter(HWND window, char character);
bool MakeForeground(HWND window);

// Combo box items, read in UTF-16 and converted (the narrow form does not survive the process
// boundary under Wine).
std::vector<std::string> ComboItems(HWND combo);
bool IsChecked(HWND button);

// Report-mode list view, read through memory in its process. Row -1 is the column headers.
int ListRowCount(HWND list);
std::vector<std::string> ListRowTexts(HWND list, int row);
std::string ListCellText(HWND list, int row, int column);
// Real clicks: `clicks` on a cell (scrolled into view first), one on a column header.
bool ClickListCell(HWND list, int row, int column, int clicks);
bool ClickListHeader(HWND list, int column);

}  // namespace e2e
