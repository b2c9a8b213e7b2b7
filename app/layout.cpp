#include "app/layout.h"

MainWindowLayout LayoutMainWindow(int width, int height) {
  MainWindowLayout layout;
  layout.recordList = {0, 60, width, height - 100};
  layout.statusLine = {0, height - 35, width, 30};
  return layout;
}
