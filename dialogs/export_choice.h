#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "structdef/record_layout.h"

inline constexpr std::size_t kCsvPathCapacity =
    1024;  // the dialog's path buffer, terminator included

// What the export dialog's OK gives: the path field's text and the chosen columns, as indexes
// into the ColumnList, ascending.
struct ExportChoice {
  std::string path;
  std::vector<std::int32_t> columns;
};

// The labels the dialog lists, item i for column i, each selected: columns 0 to
// lastColumnIndex, but never past the end of the ColumnList.
std::vector<std::string> ExportColumnLabels(const ColumnList& columns,
                                            std::int32_t lastColumnIndex);

// OK over `itemCount` listed items: the path field's text (cut to 1023 bytes, also when empty)
// and the items `isSelected` reports.
ExportChoice AcceptExportChoice(std::string_view pathFieldText, std::size_t itemCount,
                                const std::function<bool(std::int32_t item)>& isSelected);
