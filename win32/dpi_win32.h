#pragma once

#include <windows.h>

#include "win32/handles_win32.h"

// The manifest declares the program aware of the system DPI: the screen's pixels per inch at
// sign-in, one value for the whole process and every monitor.
inline int SystemDpi() {
  static const int dpi = [] {
    const WindowDc screen(nullptr);
    const int perInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return perInch > 0 ? perInch : 96;
  }();
  return dpi;
}

// The one place where a pixel length of the 96-DPI design becomes the screen's: every pixel the
// shell places goes through here.
inline int ScaleToDpi(int value) { return MulDiv(value, SystemDpi(), 96); }
