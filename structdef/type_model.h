#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A fixed underlying type lets any 32-bit value travel through a TypeCode (a corrupt or future
// code must format as empty text, not be undefined behaviour).
enum class TypeCode : std::int32_t {
  Void = 0,
  UByte = 1,
  SByte = 2,
  XByte = 3,
  String = 4,
  UWord = 5,
  SWord = 6,
  XWord = 7,
  ULong = 8,
  SLong = 9,
  XLong = 10,
};

// How a type's bytes read as text.
enum class TypeForm {
  Void,      // filler: no text
  Unsigned,  // decimal
  Signed,    // decimal, two's complement of the type's width
  Hex,       // upper-case, two digits a byte
  String,    // the bytes themselves, as many as the member's count
};

// The width families of the number types; each has its own type change dialog, whose three
// radios stand for the family's unsigned, signed and hexadecimal type.
enum class TypeFamily { Byte, Word, Long };

// Everything the program knows about one type.
struct TypeInfo {
  TypeCode code;
  std::array<std::string_view, 3> keywords;  // the first is the type's name; empty: none more
  std::int32_t width;                        // bytes of one element
  TypeForm form;
  std::optional<TypeFamily> family;  // none: a header click cannot change it
  std::int32_t widestText;           // characters of its longest cell text; 0: not a number
};

// One row per type, in code order.
inline constexpr std::array<TypeInfo, 11> kTypes{{
    {TypeCode::Void, {"void"}, 1, TypeForm::Void, std::nullopt, 0},
    {TypeCode::UByte, {"ubyte", "byte"}, 1, TypeForm::Unsigned, TypeFamily::Byte, 3},
    {TypeCode::SByte, {"sbyte"}, 1, TypeForm::Signed, TypeFamily::Byte, 4},
    {TypeCode::XByte, {"xbyte"}, 1, TypeForm::Hex, TypeFamily::Byte, 2},
    {TypeCode::String, {"string"}, 1, TypeForm::String, std::nullopt, 0},
    {TypeCode::UWord, {"uword", "word"}, 2, TypeForm::Unsigned, TypeFamily::Word, 5},
    {TypeCode::SWord, {"sword"}, 2, TypeForm::Signed, TypeFamily::Word, 6},
    {TypeCode::XWord, {"xword"}, 2, TypeForm::Hex, TypeFamily::Word, 4},
    {TypeCode::ULong, {"ulong", "long", "dword"}, 4, TypeForm::Unsigned, TypeFamily::Long, 10},
    {TypeCode::SLong, {"slong"}, 4, TypeForm::Signed, TypeFamily::Long, 11},
    {TypeCode::XLong, {"xlong"}, 4, TypeForm::Hex, TypeFamily::Long, 8},
}};

// The row of a code; null for a code outside the table.
inline const TypeInfo* FindType(TypeCode code) {
  const auto index = static_cast<std::uint32_t>(code);
  return index < kTypes.size() ? &kTypes[index] : nullptr;
}

// The form of a code; Void for a code outside the table, which shows no text either.
inline TypeForm FormOfType(TypeCode code) {
  const TypeInfo* type = FindType(code);
  return type != nullptr ? type->form : TypeForm::Void;
}

// Case-insensitive for ASCII letters only; every other byte must match exactly.
std::optional<TypeCode> FindKeyword(std::string_view token);

// The first keyword of the code; empty for a code outside the table.
std::string_view TypeName(TypeCode code);

// Bytes of one element; 0 for a code outside the table.
std::int32_t TypeWidth(TypeCode code);

// The family of a type; none for String, Void and unknown codes (no type change).
std::optional<TypeFamily> FamilyOfType(TypeCode type);

// The family's types in radio order: unsigned, signed, hexadecimal.
std::array<TypeCode, 3> FamilyTypes(TypeFamily family);

// Whether a column shown as `current` may be shown as `chosen`: only a number type changes, and
// only within its width family, so that a cell keeps covering the same bytes.
enum class Retype { Allowed, NotANumber, OtherFamily };
Retype CheckRetype(TypeCode current, TypeCode chosen);

struct MemberDef {
  TypeCode type = TypeCode::Void;
  std::string name;
  std::int32_t count = 1;
};

struct StructDef {
  std::vector<MemberDef> members;
  std::int32_t recordSize = 0;
};

// Sum of count x element width over the members.
std::int32_t ComputeRecordSize(const std::vector<MemberDef>& members);
