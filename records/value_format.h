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
