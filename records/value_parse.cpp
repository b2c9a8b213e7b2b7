#include "records/value_parse.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// Every byte has a digit value, whatever the base: '0'-'9', 'A'-'F', 'a'-'f', the rest 0.
constexpr std::array<std::uint8_t, 256> kDigitValues = [] {
  std::array<std::uint8_t, 256> values{};
  for (int c = '0'; c <= '9'; ++c) values[c] = static_cast<std::uint8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) values[c] = static_cast<std::uint8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) values[c] = static_cast<std::uint8_t>(c - 'a' + 10);
  return values;
}();

// Unsigned arithmetic so that the accumulation wraps modulo 2^32 without undefined behaviour.
std::uint32_t Accumulate(std::string_view text, std::uint32_t base) {
  std::uint32_t value = 0;
  for (char c : text) {
    if (c == '\0') break;
    value = value * base + kDigitValues[static_cast<unsigned char>(c)];
  }
  return value;
}

void StoreLittleEndian(std::uint8_t* field, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) field[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::int32_t ParseSignedDecimal(std::string_view text) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  std::uint32_t value = Accumulate(text, 10);
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

std::int32_t ParseDigits(std::string_view text, int base) {
  return static_cast<std::int32_t>(Accumulate(text, static_cast<std::uint32_t>(base)));
}

std::uint32_t ParseNumberAs(TypeCode type, std::string_view text) {
  switch (FormOfType(type)) {
    case TypeForm::Hex: return static_cast<std::uint32_t>(ParseDigits(text, 16));
    case TypeForm::Signed: return static_cast<std::uint32_t>(ParseSignedDecimal(text));
    default: return static_cast<std::uint32_t>(ParseDigits(text, 10));
  }
}

CellTextProblem CheckCellText(TypeCode type, std::string_view text, std::size_t maxLength) {
  const int bits = 8 * TypeWidth(type);
  // A code outside the table reads as a number of no bits: only 0 fits.
  const TypeInfo* info = FindType(type);
  const TypeForm form = info != nullptr ? info->form : TypeForm::Unsigned;
  switch (form) {
    case TypeForm::Void: return CellTextProblem::None;
    case TypeForm::String:
      return text.size() > maxLength || text.find('\0') != std::string_view::npos
                 ? CellTextProblem::TooLong
                 : CellTextProblem::None;
    case TypeForm::Hex:
      if (text.empty()) return CellTextProblem::NotHex;
      for (char c : text) {
        if (c != '0' && kDigitValues[static_cast<unsigned char>(c)] == 0) {
          return CellTextProblem::NotHex;
        }
      }
      return text.size() > static_cast<std::size_t>(bits / 4) ? CellTextProblem::TooManyDigits
                                                              : CellTextProblem::None;
    default: break;
  }
  const bool isSigned = form == TypeForm::Signed;
  const bool negative = isSigned && !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return CellTextProblem::NotDecimal;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return CellTextProblem::NotDecimal;
    // Saturates well above every limit, so any number of digits is compared correctly.
    value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), 1ull << 40);
  }
  const std::uint64_t limit =
      isSigned ? (1ull << (bits - 1)) - (negative ? 0 : 1) : (1ull << bits) - 1;
  return value > limit ? CellTextProblem::OutOfRange : CellTextProblem::None;
}

StoreResult StoreCellValue(DataBuffer& data, const StructDef& structDef, const ColumnList& columns,
                           std::string_view text, int column, std::uint32_t record) {
  if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) {
    return StoreResult::Refused;
  }
  const ColumnDef& def = columns[static_cast<std::size_t>(column)];
  if (def.kind != ColumnKind::Member || !data.HasBytes()) return StoreResult::Refused;

  // 64-bit positions: a huge record index, a record size of 0 or below, or a negative offset
  // can never wrap around into the data.
  const std::int64_t position =
      static_cast<std::int64_t>(record) * structDef.recordSize + def.offset;
  // As the table's cells read it.
  const std::int64_t length = ColumnByteLength(def, structDef);
  if (position < 0 || position >= data.byteCount) return StoreResult::Refused;
  // A field cut short by the end of the data is refused whole rather than half written.
  if (position + length > data.byteCount) return StoreResult::Refused;

  std::uint8_t* field = data.bytes.get() + position;
  switch (FormOfType(def.displayType)) {
    case TypeForm::Unsigned:
    case TypeForm::Signed:
    case TypeForm::Hex:
      StoreLittleEndian(field, ParseNumberAs(def.displayType, text), TypeWidth(def.displayType));
      break;
    case TypeForm::String: {
      // Zero-filled after the text's end; a text of the full length or more is cut, unterminated.
      std::size_t i = 0;
      for (; i < static_cast<std::size_t>(length) && i < text.size() && text[i] != '\0'; ++i) {
        field[i] = static_cast<std::uint8_t>(text[i]);
      }
      for (; i < static_cast<std::size_t>(length); ++i) field[i] = 0;
      break;
    }
    case TypeForm::Void: break;
  }
  return StoreResult::Stored;
}
