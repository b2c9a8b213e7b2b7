#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "records/record_list_view.h"
#include "structdef/message_sink.h"
#include "structdef/record_layout.h"
#include "structdef/type_model.h"

// Pixels of the 96-DPI design; the list scales them to its screen.
inline constexpr int kFallbackTextWidth = 30;  // a text that cannot be measured
inline constexpr int kColumnPadding = 30;
inline constexpr int kMaxColumnWidth = 300;

std::int32_t MeasureTypeSampleWidth(TypeCode type, RecordListView& list);
std::int32_t MeasureStringSampleWidth(std::int32_t characters, RecordListView& list);

// Inserts `column` at lastColumnIndex + 1 with its computed width.
void InsertListColumn(const ColumnDef& column, const StructDef& structDef, RecordListView& list,
                      std::int32_t& lastColumnIndex);

// Replaces the list's columns with one per ColumnDef; reports a list that cannot be emptied.
void BuildListColumns(const ColumnList& columns, const StructDef& structDef, RecordListView& list,
                      std::int32_t& lastColumnIndex, const MessageSink& report);
