#pragma once

#include <functional>

struct ControlRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Where a label painted on the main window starts.
struct LabelPoint {
  int x = 0;
  int y = 0;
};

// Everything the main window places: its controls and the labels it paints before two of them.
struct MainWindowLayout {
  ControlRect structSelector;  // its height is that of the open drop-down list
  ControlRect pathField;
  ControlRect browseButton;
  ControlRect readButton;
  ControlRect writeButton;
  ControlRect recordList;
  ControlRect statusLine;
  LabelPoint selectorLabel;
  LabelPoint pathLabel;
};

// Turns a length of the 96-DPI design into the screen's pixels; the shell's is
// MulDiv(value, dpi, 96).
using PixelScale = std::function<int(int)>;

// The one table of the main window's places, written in 96-DPI pixels and scaled here, for a
// client area of this size in screen pixels. The record list and the status line follow the
// client area (WM_SIZE moves them); the rest stay where they were created. Heights below the
// scaled 100 give a negative list height, passed on unchanged.
MainWindowLayout LayoutMainWindow(int width, int height, const PixelScale& scale);
