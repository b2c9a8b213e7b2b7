#include "structdef/type_model.h"

#include <gtest/gtest.h>

using enum TypeCode;

// A byte that lowercases to a letter only under a locale-aware fold must not match.
TEST(TypeModel, KeywordsWidthsAndRecordSize) {
  const std::pair<std::string_view, std::optional<TypeCode>> cases[] = {
      {"void", Void},
      {"ubyte", UByte},
      {"byte", UByte},
      {"sbyte", SByte},
      {"xbyte", XByte},
      {"String", String},
      {"uword", UWord},
      {"word", UWord},
      {"sWORD", SWord},
      {"xword", XWord},
      {"ulong", ULong},
      {"LONG", ULong},
      {"slong", SLong},
      {"xlong", XLong},
      {"Dword", ULong},
      {"ubyte;", {}},
      {"ubyt", {}},
      {"", {}},
      {"struct", {}},
      {"\xC4WORD", {}},
      {std::string_view("byte\0", 5), {}},
      {std::string_view("ubytes", 5), UByte}};
  for (const auto& [token, code] : cases) EXPECT_EQ(FindKeyword(token), code) << token;
  const int widths[] = {0, 1, 1, 1, 1, 1, 2, 2, 2, 4, 4, 4, 0};
  for (int code = -1; code <= 11; ++code) EXPECT_EQ(TypeWidth(TypeCode(code)), widths[code + 1]);
  for (int code : {-1, 11}) EXPECT_EQ(TypeName(TypeCode(code)), "");
  EXPECT_EQ(TypeName(String), "string");
  // Saturates at 2147483647; a negative count takes no bytes.
  const std::pair<std::vector<MemberDef>, std::int32_t> sizes[] = {
      {{}, 0},
      {{{Void, "x", 5}, {XWord, "y", 7}}, 19},
      {{{String, "s", -5}, {UWord, "w", 1}}, 2},
      {{{String, "s", 2147483647}, {UByte, "b", 1}}, 2147483647},
      {{{TypeCode(42), "o", 9}}, 0}};
  for (const auto& [members, size] : sizes) EXPECT_EQ(ComputeRecordSize(members), size) << size;
}
