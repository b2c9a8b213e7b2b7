#pragma once

#include <windows.h>

// Owners of what the shell creates or borrows from the system and must give back. Control
// handles are not here: the window that made a control destroys it.

// A font the program made with CreateFontIndirectA; a stock font is never held here.
class OwnedFont {
 public:
  OwnedFont() = default;
  explicit OwnedFont(HFONT font) : font_(font) {}
  OwnedFont(const OwnedFont&) = delete;
  OwnedFont& operator=(const OwnedFont&) = delete;
  OwnedFont(OwnedFont&& other) noexcept : font_(other.Release()) {}
  OwnedFont& operator=(OwnedFont&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~OwnedFont() { Reset(nullptr); }

  HFONT Get() const { return font_; }
  explicit operator bool() const { return font_ != nullptr; }
  HFONT Release() {
    HFONT font = font_;
    font_ = nullptr;
    return font;
  }
  void Reset(HFONT font) {
    if (font_ != nullptr) DeleteObject(font_);
    font_ = font;
  }

 private:
  HFONT font_ = nullptr;
};

// A device context from GetDC, released when the owner goes.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), hdc_(GetDC(hwnd)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (hdc_ != nullptr) ReleaseDC(hwnd_, hdc_);
  }

  HDC Get() const { return hdc_; }
  explicit operator bool() const { return hdc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC hdc_;
};

// BeginPaint to EndPaint of one WM_PAINT.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), hdc_(BeginPaint(hwnd, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(hwnd_, &paint_); }

  HDC Get() const { return hdc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC hdc_;
};

// The wait cursor while a long command runs (reading, writing, refilling, exporting); the
// cursor from before comes back when the owner goes, on every way out. A modal window that
// the command opens shows its own cursor; ResumeAfterModal shows the wait cursor again when
// the command goes on after it.
class WaitCursor {
 public:
  WaitCursor() : previous_(GetCursor()) {
    ++active_;
    Show();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() {
    --active_;
    SetCursor(previous_);
  }

  static void ResumeAfterModal() {
    if (active_ > 0) Show();
  }

 private:
  static void Show() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

  HCURSOR previous_;
  static inline int active_ = 0;  // one thread: the user-interface thread
};
