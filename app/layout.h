#pragma once

struct ControlRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct MainWindowLayout {
  ControlRect recordList;
  ControlRect statusLine;
};

// Where WM_SIZE moves the record list and the status line for a client area of this size; the
// other controls keep their creation positions. Heights below 100 give a negative list height,
// passed on unchanged.
MainWindowLayout LayoutMainWindow(int width, int height);
