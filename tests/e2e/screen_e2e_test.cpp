#include <fstream>

#include "app/layout.h"
#include "e2e_fixture.h"
#include "win32/handles_win32.h"

namespace e2e {

// The main window with the first example structure's data, and every dialog, on a screen of the
// DPI that wine-run.sh gave the session (VELMORA_DPI). Every control sits where the 96-DPI
// design puts it, scaled, and every text fits its box. With VELMORA_SHOTS naming a folder, each
// window's pixels go there as a BMP: tests/e2e/screens.sh compares the 96-DPI ones with the
// committed pictures and scripts/screenshot.sh makes the user's guide's pictures.
class ScreenE2eTest : public VelmoraE2eTest {
 protected:
  static int Dpi() {
    const char* dpi = std::getenv("VELMORA_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 96;
  }
  static int Scaled(int value) { return MulDiv(value, Dpi(), 96); }

  // Its text in `font` fits the control's client area.
  static AssertionResult TextFits(HWND control, HFONT font) {
    const std::string text = AskText(control);
    const SIZE extent = TextExtent(text, font);
    RECT client{};
    GetClientRect(control, &client);
    return Check(extent.cx <= client.right && extent.cy <= client.bottom,
                 Quoted(text) + " needs " + std::to_string(extent.cx) + "x" +
                     std::to_string(extent.cy) + ", has " + std::to_string(client.right) + "x" +
                     std::to_string(client.bottom));
  }

  // The window's pixels once two looks 200 ms apart agree, as a BMP named `name` in the
  // VELMORA_SHOTS folder (a Linux path); no folder, no picture.
  static AssertionResult Shoot(HWND window, const std::string& name) {
    const char* folder = std::getenv("VELMORA_SHOTS");
    if (folder == nullptr) return ::testing::AssertionSuccess();
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int stride = (3 * width + 3) / 4 * 4;
    std::string pixels;
    std::string earlier;
    const bool steady = WaitUntil([&] {
      Sleep(200);
      earlier = pixels;
      BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB};
      void* bits = nullptr;
      const HDC screen = GetDC(nullptr);
      const HDC memory = CreateCompatibleDC(screen);
      const HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                              DIB_RGB_COLORS, &bits, nullptr, 0);
      const HGDIOBJ old = SelectObject(memory, bitmap);
      BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
      GdiFlush();
      pixels = std::string(reinterpret_cast<char*>(&header), sizeof header) +
               std::string(static_cast<char*>(bits), std::size_t(stride) * height);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      ReleaseDC(nullptr, screen);
      return pixels == earlier;
    });
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file{0x4D42, DWORD(offset + pixels.size() - sizeof(BITMAPINFOHEADER)), 0,
                                0, offset};
    std::ofstream out(WindowsPath(std::string(folder) + "/" + name + ".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return Check(steady && out.good(), "no steady picture of " + name);
  }

  // Pictures a dialog, once open, with the focus on OK (no blinking caret), checks its texts in
  // its font as the template names it, at the session's DPI (a font of the program's process is
  // not readable here), and closes it with CANCEL (the About box with OK).
  void CheckDialog(bool opened, std::string_view caption, int points, const std::string& name) {
    ModalWindow dialog;
    ASSERT_TRUE(opened && Open(0, caption, dialog)) << name;
    Ask(dialog.window, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialog.window, IDOK)), TRUE);
    const OwnedFont font(CreateFontA(-MulDiv(points, Dpi(), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                     SHIFTJIS_CHARSET, 0, 0, 0, 0, "MS UI Gothic"));
    for (HWND child = GetWindow(dialog.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
      EXPECT_TRUE(TextFits(child, font.Get())) << name;
    }
    EXPECT_TRUE(Shoot(dialog.window, name));
    ASSERT_TRUE(Answer(dialog, GetDlgItem(dialog.window, IDCANCEL) ? IDCANCEL : IDOK)) << name;
  }
};

TEST_F(ScreenE2eTest, ControlsScaleWithTheDpiAndEveryTextFits) {
  SetProcessDPIAware();  // this process reads the program's real pixels
  ASSERT_TRUE(Launch(WindowsPath(VELMORA_EXAMPLES)) && Shown());
  ASSERT_TRUE(SetWindowPos(main_, HWND_TOP, 0, 0, Scaled(960), Scaled(540), SWP_SHOWWINDOW));
  ASSERT_TRUE(Press(IDC_READ_BUTTON, "items.bin") &&
              StatusIs("データ\"items.bin\"を読み込みました"));

  // Each control where the layout puts it at the session's DPI in this client area.
  RECT client{};
  GetClientRect(main_, &client);
  const MainWindowLayout layout = LayoutMainWindow(client.right, client.bottom, Scaled);
  for (const auto& [id, place] : {std::pair{IDC_STRUCT_SELECTOR, &MainWindowLayout::structSelector},
                                  std::pair{IDC_PATH_FIELD, &MainWindowLayout::pathField},
                                  std::pair{IDC_BROWSE_BUTTON, &MainWindowLayout::browseButton},
                                  std::pair{IDC_READ_BUTTON, &MainWindowLayout::readButton},
                                  std::pair{IDC_WRITE_BUTTON, &MainWindowLayout::writeButton},
                                  std::pair{IDC_RECORD_LIST, &MainWindowLayout::recordList},
                                  std::pair{IDC_STATUS_LINE, &MainWindowLayout::statusLine}}) {
    const ControlRect& expected = layout.*place;
    RECT r{};
    GetWindowRect(Control(id), &r);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, expected.x, 1) << id;
    EXPECT_NEAR(r.top, expected.y, 1) << id;
    EXPECT_NEAR(r.right - r.left, expected.width, 1) << id;
    // A closed drop-down list is as high as its font makes it.
    if (id != IDC_STRUCT_SELECTOR) {
      EXPECT_NEAR(r.bottom - r.top, expected.height, 1) << id;
    }
    EXPECT_TRUE(TextFits(Control(id), nullptr)) << id;  // no font set: the system font
  }
  // The painted labels end before the controls they name.
  EXPECT_LE(layout.selectorLabel.x + TextExtent("構造体", nullptr).cx, layout.structSelector.x);
  EXPECT_LE(layout.pathLabel.x + TextExtent("ファイル", nullptr).cx, layout.pathField.x);

  // Every header and every shown cell fits its column; a row is as high as the list's text.
  // The list's font, the stock one it starts with (the program's own is not readable here).
  const HFONT listFont = HFONT(GetStockObject(OEM_FIXED_FONT));
  for (int row = -1; row < 8; ++row) {
    const std::vector<std::string> texts = Row(row);
    for (std::size_t column = 0; column < texts.size(); ++column) {
      EXPECT_LE(TextExtent(texts[column], listFont).cx,
                Ask(List(), LVM_GETCOLUMNWIDTH, column).value_or(0))
          << row << ": " << texts[column];
    }
  }
  const RECT rowRect = PartRect(List(), LVM_GETITEMRECT, 0, {LVIR_BOUNDS});
  EXPECT_GE(rowRect.bottom - rowRect.top, TextExtent("0", listFont).cy);
  EXPECT_TRUE(Shoot(main_, "main"));

  CheckDialog(Command(IDM_ABOUT), "バージョン情報 Velmora", 9, "about");
  CheckDialog(Command(IDM_SETTINGS), "設定", 9, "settings");
  CheckDialog(Command(IDM_CSV_EXPORT), "CSVエクスポート", 11, "export");
  CheckDialog(ClickListPart(List(), LVM_GETSUBITEMRECT, 1, {LVIR_BOUNDS, 2}, 2), "項目編集", 9,
              "item-edit");
  CheckDialog(ClickListPart(HeaderOf(List()), HDM_GETITEMRECT, 2, {}), "型の変更", 9, "type");
}

}  // namespace e2e
