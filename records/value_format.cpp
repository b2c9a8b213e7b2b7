#include "records/value_format.h"

#include <charconv>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

template <typename Integer>
std::string ToDecimalText(Integer value) {
  char digits[16];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  (void)error;  // 16 bytes hold every 32-bit value
  return std::string(digits, end);
}

// Little-endian and unaligned: assembled byte by byte.
std::uint32_t ReadLittleEndian(const std::uint8_t* field, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | field[i];
  return value;
}

}  // namespace

std::string ToSignedDecimalText(std::int32_t value) { return ToDecimalText(value); }

std::string ToUnsignedDecimalText(std::uint32_t value) { return ToDecimalText(value); }

std::string ToHexText(std::int32_t digits, std::uint32_t value) {
  if (digits <= 0) return std::string();
  std::string text(static_cast<std::size_t>(digits), '0');
  // Only the low eight digits can be non-zero; the rest stay '0'.
  for (std::int32_t k = 0; k < digits && k < 8; ++k) {
    text[static_cast<std::size_t>(digits - 1 - k)] = kHexDigits[(value >> (4 * k)) & 0xF];
  }
  return text;
}

std::string FormatCellValue(const std::uint8_t* field, TypeCode type, std::int32_t length) {
  switch (type) {
    case TypeCode::UByte:
      return ToUnsignedDecimalText(field[0]);
    case TypeCode::UWord:
      return ToUnsignedDecimalText(ReadLittleEndian(field, 2));
    case TypeCode::ULong:
      return ToUnsignedDecimalText(ReadLittleEndian(field, 4));
    case TypeCode::SByte:
      return ToSignedDecimalText(static_cast<std::int8_t>(field[0]));
    case TypeCode::SWord:
      return ToSignedDecimalText(static_cast<std::int16_t>(ReadLittleEndian(field, 2)));
    case TypeCode::SLong:
      return ToSignedDecimalText(static_cast<std::int32_t>(ReadLittleEndian(field, 4)));
    case TypeCode::XByte:
      return ToHexText(2, field[0]);
    case TypeCode::XWord:
      return ToHexText(4, ReadLittleEndian(field, 2));
    case TypeCode::XLong:
      return ToHexText(8, ReadLittleEndian(field, 4));
    case TypeCode::String:
      // All bytes, zero bytes included: consumers stop at the first zero themselves.
      if (length <= 0) return std::string();
      return std::string(reinterpret_cast<const char*>(field), static_cast<std::size_t>(length));
    case TypeCode::Void:
      break;
  }
  return std::string();
}
