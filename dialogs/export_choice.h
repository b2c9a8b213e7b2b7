#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"

inline constexpr std::size_t kCsvPathCapacity = 1024;  // the dialog's path buffer, terminator included

// The chooser of the export dialog's browse button.
inline constexpr char kExportFileFilter[] = "Csv file(*.csv)\0*.csv\0All files(*.*)\0*.*\0";
inline constexpr char kExportChooserTitle[] = "エクスポート・ファイル指定";
inline constexpr char kExportDefaultExtension[] = "csv";

// The labels the dialog lists on WM_INITDIALOG, item i for column i, each selected: columns 0
// to lastColumnIndex, but never past the end of the ColumnList.
std::vector<std::string> ExportColumnLabels(const AppState& state);

// OK: csvPath becomes the path field's text (cut to 1023 bytes, also when empty) and
// csvSelection the indexes of the selected items, ascending. CANCEL changes neither, so it
// needs no call.
void AcceptExportChoice(AppState& state, std::string_view pathFieldText,
                        const std::function<bool(std::int32_t item)>& isSelected);
