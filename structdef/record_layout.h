#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "structdef/type_model.h"

// What a column shows: the record's number, its address, or a member element's field.
enum class ColumnKind { RecordNumber, Address, Member };

struct ColumnDef {
  std::int32_t memberIndex = -1;  // -1 for "No." and "Address"
  TypeCode displayType = TypeCode::Void;
  std::string label;
  std::int32_t offset = 0;
  ColumnKind kind = ColumnKind::Member;
};

using ColumnList = std::vector<ColumnDef>;

int BuildColumnList(const StructDef& structDef, ColumnList& columns);

// Bytes a cell of the column covers, wherever a cell is read or written: the member's count for
// String, the display type's width for numbers (whatever the member's own type), 0 for "No.",
// "Address", Void and unknown codes.
std::int32_t ColumnByteLength(const ColumnDef& column, const StructDef& structDef);
