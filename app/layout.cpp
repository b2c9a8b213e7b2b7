#include "app/layout.h"

MainWindowLayout LayoutMainWindow(int width, int height, const PixelScale& scale) {
  auto rect = [&scale](int x, int y, int w, int h) {
    return ControlRect{scale(x), scale(y), scale(w), scale(h)};
  };
  MainWindowLayout layout;
  layout.structSelector = rect(80, 20, 250, 300);
  layout.pathField = rect(420, 20, 300, 30);
  layout.browseButton = rect(720, 20, 30, 30);
  layout.readButton = rect(780, 20, 60, 30);
  layout.writeButton = rect(870, 20, 60, 30);
  layout.recordList = {0, scale(60), width, height - scale(100)};
  layout.statusLine = {0, height - scale(35), width, scale(30)};
  layout.selectorLabel = {scale(10), scale(20)};
  layout.pathLabel = {scale(340), scale(20)};
  return layout;
}
