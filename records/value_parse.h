#pragma once

#include <cstddef>
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

// Why a text is not one that a cell of its type could show, None when it is.
enum class CellTextProblem {
  None,
  NotDecimal,     // not digits (with a leading "-" for a signed type)
  OutOfRange,     // decimal digits whose value the field cannot hold
  NotHex,         // not hexadecimal digits
  TooManyDigits,  // more hexadecimal digits than the field's width shows
  TooLong,        // a String text longer than `maxLength`, or with a zero byte
};

// Checks `text` against what a cell of `type` can show, before it is stored: leading zeros and
// lower-case hexadecimal digits are taken (they name a value the cell shows), a "+" is not.
// `maxLength` bounds a String text.
CellTextProblem CheckCellText(TypeCode type, std::string_view text, std::size_t maxLength);

enum class StoreResult : int {
  Refused = 0,  // the field does not lie wholly inside the data; nothing is written
  Stored = 1,   // the text was taken (also when nothing needs writing)
};

// Parses `text` by the column's display type into its field of `record`; nothing outside the
// data is ever written.
StoreResult StoreCellValue(DataBuffer& data, const StructDef& structDef, const ColumnList& columns,
                           std::string_view text, int column, std::uint32_t record);
