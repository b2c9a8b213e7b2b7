#pragma once

#include <cstdint>
#include <string>

#include "structdef/type_model.h"

std::string ToSignedDecimalText(std::int32_t value);
std::string ToUnsignedDecimalText(std::uint32_t value);
// Exactly `digits` upper-case hexadecimal digits; empty for 0 or fewer.
std::string ToHexText(std::int32_t digits, std::uint32_t value);

// The cell text of the field at `field`: reads exactly TypeWidth(type) bytes, or `length` bytes
// for String (all of them, zero bytes included); empty for Void and unknown codes.
std::string FormatCellValue(const std::uint8_t* field, TypeCode type, std::int32_t length);

// The same texts written straight into a caller's buffer, for exports that make millions of
// them; each returns the end of what it wrote. Room needed: 20 bytes for a decimal, `digits`
// for hexadecimal, `length` for a String field, 11 for any other cell.
char* WriteUnsignedDecimal(char* out, std::uint64_t value);
char* WriteSignedDecimal(char* out, std::int32_t value);
char* WriteHex(char* out, std::int32_t digits, std::uint32_t value);

// The writer of a field's text for one type, chosen once per column so that an export does not
// look the type up for every cell.
using CellWriter = char* (*)(char* out, const std::uint8_t* field, std::int32_t length);
CellWriter CellWriterOf(TypeCode type);
