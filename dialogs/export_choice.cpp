#include "dialogs/export_choice.h"

#include <algorithm>

std::vector<std::string> ExportColumnLabels(const ColumnList& columns,
                                            std::int32_t lastColumnIndex) {
  // A failed table initialisation can leave lastColumnIndex past the ColumnList; only columns
  // that exist are offered.
  const auto listed =
      static_cast<std::size_t>(std::max<std::int64_t>(std::int64_t{lastColumnIndex} + 1, 0));
  std::vector<std::string> labels;
  labels.reserve(std::min(listed, columns.size()));
  for (std::size_t i = 0; i < listed && i < columns.size(); ++i) labels.push_back(columns[i].label);
  return labels;
}

ExportChoice AcceptExportChoice(std::string_view pathFieldText, std::size_t itemCount,
                                const std::function<bool(std::int32_t item)>& isSelected) {
  ExportChoice choice{std::string(pathFieldText.substr(0, kCsvPathCapacity - 1)), {}};
  for (std::size_t i = 0; i < itemCount; ++i) {
    if (isSelected(static_cast<std::int32_t>(i)))
      choice.columns.push_back(static_cast<std::int32_t>(i));
  }
  return choice;
}
