#include "win32/common_dialogs_win32.h"

#include <commdlg.h>

namespace {

inline constexpr char kDataFileFilter[] = "All files(*.*)\0*.*\0Binary(*.bin)\0*.bin\0";
inline constexpr char kDataFileTitle[] = "ファイル指定";
inline constexpr char kDataFileExtension[] = "bin";

inline constexpr char kExportFileFilter[] = "Csv file(*.csv)\0*.csv\0All files(*.*)\0*.*\0";
inline constexpr char kExportChooserTitle[] = "エクスポート・ファイル指定";
inline constexpr char kExportDefaultExtension[] = "csv";

}  // namespace

std::optional<std::string> BrowseDataFile(HWND owner, DataFileChooser& chooser) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(OPENFILENAMEA);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kDataFileFilter;
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = chooser.path.data();
  dialog.nMaxFile = static_cast<DWORD>(chooser.path.size());
  dialog.lpstrFileTitle = chooser.title.data();
  dialog.nMaxFileTitle = static_cast<DWORD>(chooser.title.size());
  dialog.lpstrTitle = kDataFileTitle;
  dialog.lpstrDefExt = kDataFileExtension;
  dialog.Flags = 0;  // the chosen file need not exist: the write command may create it
  if (GetOpenFileNameA(&dialog) == 0) return std::nullopt;
  chooser.path.back() = '\0';
  return std::string(chooser.path.data());
}

std::optional<std::string> ChooseCsvFile(HWND owner) {
  std::array<char, MAX_PATH> path{};
  std::array<char, MAX_PATH> title{};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(OPENFILENAMEA);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kExportFileFilter;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrFileTitle = title.data();
  dialog.nMaxFileTitle = static_cast<DWORD>(title.size());
  dialog.lpstrTitle = kExportChooserTitle;
  dialog.lpstrDefExt = kExportDefaultExtension;
  dialog.Flags = 0;  // the overwrite question comes from the writer, not from here
  if (GetOpenFileNameA(&dialog) == 0) return std::nullopt;
  return std::string(path.data());
}

OwnedFont ChooseListFont() {
  LOGFONTA logFont{};
  CHOOSEFONTA dialog{};
  dialog.lStructSize = sizeof(CHOOSEFONTA);
  dialog.hwndOwner = nullptr;
  dialog.lpLogFont = &logFont;
  dialog.Flags = CF_SCREENFONTS;
  dialog.nFontType = SCREEN_FONTTYPE;
  if (ChooseFontA(&dialog) == 0) return OwnedFont();
  return OwnedFont(CreateFontIndirectA(&logFont));
}
