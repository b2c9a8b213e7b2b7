#include "win32/common_dialogs_win32.h"

#include <commdlg.h>

#include <array>

#include "dialogs/export_choice.h"

namespace {

inline constexpr char kDataFileFilter[] = "All files(*.*)\0*.*\0Binary(*.bin)\0*.bin\0";
inline constexpr char kDataFileTitle[] = "ファイル指定";
inline constexpr char kDataFileExtension[] = "bin";

}  // namespace

bool BrowseDataFile(HWND owner, DataBuffer& data) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(OPENFILENAMEA);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kDataFileFilter;
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = data.filePath.data();
  dialog.nMaxFile = static_cast<DWORD>(data.filePath.size());
  dialog.lpstrFileTitle = data.fileTitle.data();
  dialog.nMaxFileTitle = static_cast<DWORD>(data.fileTitle.size());
  dialog.lpstrTitle = kDataFileTitle;
  dialog.lpstrDefExt = kDataFileExtension;
  dialog.Flags = 0;  // the chosen file need not exist: the write command may create it
  return GetOpenFileNameA(&dialog) != 0;
}

std::optional<std::string> ChooseCsvFile(HWND owner) {
  std::array<char, kPathCapacity> path{};
  std::array<char, kPathCapacity> title{};
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
