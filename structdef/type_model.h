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

struct KeywordEntry {
  std::string_view keyword;
  TypeCode code;
};

// Order matters: TypeName returns the first keyword of a code.
inline constexpr std::array<KeywordEntry, 15> KeywordTable{{
    {"void", TypeCode::Void},
    {"ubyte", TypeCode::UByte},
    {"byte", TypeCode::UByte},
    {"sbyte", TypeCode::SByte},
    {"xbyte", TypeCode::XByte},
    {"string", TypeCode::String},
    {"uword", TypeCode::UWord},
    {"word", TypeCode::UWord},
    {"sword", TypeCode::SWord},
    {"xword", TypeCode::XWord},
    {"ulong", TypeCode::ULong},
    {"long", TypeCode::ULong},
    {"slong", TypeCode::SLong},
    {"xlong", TypeCode::XLong},
    {"dword", TypeCode::ULong},
}};

// Case-insensitive for ASCII letters only; every other byte must match exactly.
std::optional<TypeCode> FindKeyword(std::string_view token);

// The first keyword of the code; empty for a code outside 0 to 10.
std::string_view TypeName(TypeCode code);

// Bytes of one element: 1, 2 or 4 for codes 0 to 10; 0 for any other code.
std::int32_t TypeWidth(TypeCode code);

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
