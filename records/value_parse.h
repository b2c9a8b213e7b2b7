#pragma once

#include <cstdint>
#include <string_view>

#include "datafile/data_buffer.h"
#include "structdef/record_layout.h"
#include "structdef/type_model.h"

// The text ends at its first zero byte, as the zero-terminated edit buffer does.
std::int32_t ParseSignedDecimal(std::string_view text);
std::int32_t ParseDigits(std::string_view text, int base);
// The 32-bit value `text` gives under a number type's parser (hexadecimal, signed or unsigned
// decimal); the caller keeps the low bytes of the type's width.
std::uint32_t ParseNumberAs(TypeCode type, std::string_view text);

enum class StoreResult : int {
  Refused = 0,  // the field does not lie wholly inside the data; nothing is written
  Stored = 1,   // the text was taken (also when nothing needs writing)
};

// Parses `text` by the column's display type into its field of `record`; nothing outside the
// data is ever written.
StoreResult StoreCellValue(DataBuffer& data, const StructDef& structDef, const ColumnList& columns,
                           std::string_view text, int column, std::uint32_t record);
