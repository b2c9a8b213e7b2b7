#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "structdef/type_model.h"

struct ColumnDef {
  std::int32_t memberIndex = -1;  // -1 for "No." and "Address"
  TypeCode displayType = TypeCode::Void;
  std::string label;
  std::int32_t offset = 0;
};

using ColumnList = std::vector<ColumnDef>;

inline constexpr int kFirstMemberColumn = 2;

int BuildColumnList(const StructDef& structDef, ColumnList& columns);

// Bytes a cell of the column covers: the member's count for String, the display type's width
// for numbers, 0 for the fixed columns and Void.
std::int32_t ColumnByteLength(const ColumnDef& column, const StructDef& structDef);
