#include "records/list_view_columns.h"

#include <algorithm>
#include <string>

#include "resources/messages.h"

namespace {

constexpr std::string_view kWidestNumber = "-2147483648";

// 300 letters "W" are wider than 270 pixels in any legible font, so a longer sample cannot
// change the capped width; measuring the whole count would build gigabytes of text for a
// string member of a huge count.
constexpr std::int32_t kStringSampleCap = kMaxColumnWidth;

int MeasureOrFallback(std::string_view text, RecordListView& list) {
  return list.MeasureTextWidth(text).value_or(list.ScaledPixels(kFallbackTextWidth));
}

}  // namespace

std::int32_t MeasureTypeSampleWidth(TypeCode type, RecordListView& list) {
  // As many characters of "-2147483648" as the type's longest cell text has.
  const TypeInfo* info = FindType(type);
  const int characters = info != nullptr ? info->widestText : 0;
  if (characters == 0) return list.ScaledPixels(kFallbackTextWidth);
  return MeasureOrFallback(kWidestNumber.substr(0, static_cast<std::size_t>(characters)), list);
}

std::int32_t MeasureStringSampleWidth(std::int32_t characters, RecordListView& list) {
  const std::int32_t measured = std::clamp(characters, 0, kStringSampleCap);
  return MeasureOrFallback(std::string(static_cast<std::size_t>(measured), 'W'), list);
}

void InsertListColumn(const ColumnDef& column, const StructDef& structDef, RecordListView& list,
                      std::int32_t& lastColumnIndex) {
  ++lastColumnIndex;
  const int headerWidth = MeasureOrFallback(column.label, list);
  int sampleWidth = 0;
  if (FormOfType(column.displayType) == TypeForm::String) {
    std::int32_t count = 0;
    if (column.memberIndex >= 0 &&
        static_cast<std::size_t>(column.memberIndex) < structDef.members.size()) {
      count = structDef.members[static_cast<std::size_t>(column.memberIndex)].count;
    }
    sampleWidth = MeasureStringSampleWidth(count, list);
  } else {
    sampleWidth = MeasureTypeSampleWidth(column.displayType, list);
  }
  const auto width = std::min<std::int64_t>(
      std::int64_t{std::max(headerWidth, sampleWidth)} + list.ScaledPixels(kColumnPadding),
      list.ScaledPixels(kMaxColumnWidth));
  list.InsertColumn(lastColumnIndex, column.label, static_cast<int>(width));
}

void BuildListColumns(const ColumnList& columns, const StructDef& structDef, RecordListView& list,
                      std::int32_t& lastColumnIndex, const MessageSink& report) {
  const bool emptied = list.DeleteAllItems();
  // The old columns stay and the new ones follow them; the program goes on. The box comes
  // before the pause, so that the list is drawn behind it.
  if (!emptied) report(texts::kTableInitFailed, texts::kTableInitFailedCaption);
  const auto pause = list.PauseRedraw();
  if (emptied) {
    for (std::int32_t n = lastColumnIndex; n >= 0; --n) list.DeleteColumn(n);
    lastColumnIndex = -1;
  }
  for (const ColumnDef& column : columns)
    InsertListColumn(column, structDef, list, lastColumnIndex);
}
