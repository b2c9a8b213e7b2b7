#include "dialogs/export_choice.h"

#include <algorithm>

namespace {

// A failed table initialisation can leave lastColumnIndex past the ColumnList; only columns
// that exist are offered.
std::int32_t OfferedColumnCount(const AppState& state) {
  const std::int64_t listed = std::int64_t{state.lastColumnIndex} + 1;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(listed, 0, static_cast<std::int64_t>(state.columns.size())));
}

}  // namespace

std::vector<std::string> ExportColumnLabels(const AppState& state) {
  std::vector<std::string> labels;
  const std::int32_t count = OfferedColumnCount(state);
  labels.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) labels.push_back(state.columns[i].label);
  return labels;
}

void AcceptExportChoice(AppState& state, std::string_view pathFieldText,
                        const std::function<bool(std::int32_t item)>& isSelected) {
  state.csvPath.assign(pathFieldText.substr(0, kCsvPathCapacity - 1));
  state.csvSelection.clear();
  const std::int32_t count = OfferedColumnCount(state);
  for (std::int32_t i = 0; i < count; ++i) {
    if (isSelected(i)) state.csvSelection.push_back(i);
  }
}
