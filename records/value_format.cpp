#include "records/value_format.h"

#include <bit>
#include <cstring>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Two decimal digits at a time halves the divisions, which dominate a large export.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t kPowersOfTen[20] = {1ull,
                                            10ull,
                                            100ull,
                                            1000ull,
                                            10000ull,
                                            100000ull,
                                            1000000ull,
                                            10000000ull,
                                            100000000ull,
                                            1000000000ull,
                                            10000000000ull,
                                            100000000000ull,
                                            1000000000000ull,
                                            10000000000000ull,
                                            100000000000000ull,
                                            1000000000000000ull,
                                            10000000000000000ull,
                                            100000000000000000ull,
                                            1000000000000000000ull,
                                            10000000000000000000ull};

// Little-endian and unaligned: assembled byte by byte.
std::uint32_t ReadLittleEndian(const std::uint8_t* field, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | field[i];
  return value;
}

// A number field of a width and form known when compiled, so that reading it unrolls and
// hexadecimal has a fixed digit count.
template <int kWidth, TypeForm kForm>
char* WriteNumber(char* out, const std::uint8_t* field, std::int32_t) {
  const std::uint32_t value = ReadLittleEndian(field, kWidth);
  constexpr int kUnusedBits = 32 - 8 * kWidth;
  if constexpr (kForm == TypeForm::Signed) {
    return WriteSignedDecimal(out, static_cast<std::int32_t>(value << kUnusedBits) >> kUnusedBits);
  } else if constexpr (kForm == TypeForm::Hex) {
    return WriteHex(out, 2 * kWidth, value);
  } else {
    return WriteUnsignedDecimal(out, value);
  }
}

template <int kWidth>
CellWriter NumberWriter(TypeForm form) {
  switch (form) {
    case TypeForm::Signed: return &WriteNumber<kWidth, TypeForm::Signed>;
    case TypeForm::Hex: return &WriteNumber<kWidth, TypeForm::Hex>;
    default: return &WriteNumber<kWidth, TypeForm::Unsigned>;
  }
}

// All bytes, zero bytes included: consumers stop at the first zero themselves.
char* WriteBytes(char* out, const std::uint8_t* field, std::int32_t length) {
  if (length <= 0) return out;
  std::memcpy(out, field, static_cast<std::size_t>(length));
  return out + length;
}

char* WriteNothing(char* out, const std::uint8_t*, std::int32_t) { return out; }

}  // namespace

char* WriteUnsignedDecimal(char* out, std::uint64_t value) {
  // Digits are written from the end, straight into place; 32-bit division where it suffices.
  // The digit count from the bit length: log10(2) is about 1233 / 4096.
  const int bits = std::bit_width(value | 1);
  const int guess = (bits * 1233) >> 12;
  const int count = guess + ((value | 1) >= kPowersOfTen[guess] ? 1 : 0);
  char* const end = out + count;
  char* next = end;
  for (; value > UINT32_MAX; next -= 2) {
    const auto pair = static_cast<unsigned>(value % 100) * 2;
    value /= 100;
    next[-2] = kDigitPairs[pair];
    next[-1] = kDigitPairs[pair + 1];
  }
  auto small = static_cast<std::uint32_t>(value);
  for (; small >= 100; next -= 2) {
    const unsigned pair = (small % 100) * 2;
    small /= 100;
    next[-2] = kDigitPairs[pair];
    next[-1] = kDigitPairs[pair + 1];
  }
  if (small >= 10) {
    next[-2] = kDigitPairs[small * 2];
    next[-1] = kDigitPairs[small * 2 + 1];
  } else {
    next[-1] = static_cast<char>('0' + small);
  }
  return end;
}

char* WriteSignedDecimal(char* out, std::int32_t value) {
  if (value >= 0) return WriteUnsignedDecimal(out, static_cast<std::uint32_t>(value));
  *out++ = '-';
  // Negated in 64 bits: the lowest value has no positive 32-bit counterpart.
  return WriteUnsignedDecimal(out, static_cast<std::uint64_t>(-static_cast<std::int64_t>(value)));
}

char* WriteHex(char* out, std::int32_t digits, std::uint32_t value) {
  if (digits <= 0) return out;
  // Only the low eight digits can be non-zero; the rest are '0'.
  for (std::int32_t k = digits - 1; k >= 0; --k) {
    *out++ = k < 8 ? kHexDigits[(value >> (4 * k)) & 0xF] : '0';
  }
  return out;
}

CellWriter CellWriterOf(TypeCode type) {
  const TypeInfo* info = FindType(type);
  if (info == nullptr) return &WriteNothing;
  switch (info->form) {
    case TypeForm::Void: return &WriteNothing;
    case TypeForm::String: return &WriteBytes;
    default: break;
  }
  switch (info->width) {
    case 1: return NumberWriter<1>(info->form);
    case 2: return NumberWriter<2>(info->form);
    default: return NumberWriter<4>(info->form);
  }
}

std::string ToSignedDecimalText(std::int32_t value) {
  char text[20];
  return std::string(text, WriteSignedDecimal(text, value));
}

std::string ToUnsignedDecimalText(std::uint32_t value) {
  char text[20];
  return std::string(text, WriteUnsignedDecimal(text, value));
}

std::string ToHexText(std::int32_t digits, std::uint32_t value) {
  if (digits <= 0) return std::string();
  std::string text(static_cast<std::size_t>(digits), '0');
  WriteHex(text.data(), digits, value);
  return text;
}

std::string FormatCellValue(const std::uint8_t* field, TypeCode type, std::int32_t length) {
  if (FormOfType(type) == TypeForm::String) {
    if (length <= 0) return std::string();
    return std::string(reinterpret_cast<const char*>(field), static_cast<std::size_t>(length));
  }
  char text[20];
  return std::string(text, CellWriterOf(type)(text, field, length));
}
