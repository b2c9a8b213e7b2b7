#include "structdef/type_model.h"

#include <gtest/gtest.h>

using enum TypeCode;

// A byte that lowercases to a letter only under a locale-aware fold must not match.
TEST(TypeModel, KeywordsAreWholeTokensInAnyAsciiCase) {
  const std::pair<std::string_view, std::optional<TypeCode>> cases[] = {
      {"String", String},
      {"sWORD", SWord},
      {"Dword", ULong},
      {"ubyte;", {}},
      {"ubyt", {}},
      {"", {}},
      {"struct", {}},
      {"\xC4WORD", {}},
      {std::string_view("byte\0", 5), {}},
      {std::string_view("ubytes", 5), UByte}};
  for (const auto& [token, code] : cases) EXPECT_EQ(FindKeyword(token), code) << token;
}

TEST(TypeModel, CodesOutsideTheTableHaveNoWidthNameOrFamily) {
  for (int code : {-1, 11}) {
    EXPECT_EQ(TypeWidth(TypeCode(code)), 0);
    EXPECT_EQ(TypeName(TypeCode(code)), "");
    EXPECT_EQ(FamilyOfType(TypeCode(code)), std::nullopt);
  }
}

TEST(TypeModel, OnlyNumbersChangeTypeAndOnlyWithinTheirFamily) {
  EXPECT_EQ(CheckRetype(UWord, XWord), Retype::Allowed);
  EXPECT_EQ(CheckRetype(XLong, XLong), Retype::Allowed);
  EXPECT_EQ(CheckRetype(UByte, UWord), Retype::OtherFamily);
  EXPECT_EQ(CheckRetype(SByte, String), Retype::OtherFamily);
  EXPECT_EQ(CheckRetype(String, String), Retype::NotANumber);
  EXPECT_EQ(CheckRetype(Void, UByte), Retype::NotANumber);
}

// Saturates at 2147483647; a negative count takes no bytes.
TEST(TypeModel, RecordSizeIsTheSumOfTheMembers) {
  const std::pair<std::vector<MemberDef>, std::int32_t> sizes[] = {
      {{}, 0},
      {{{Void, "x", 5}, {XWord, "y", 7}}, 19},
      {{{String, "s", -5}, {UWord, "w", 1}}, 2},
      {{{String, "s", 2147483647}, {UByte, "b", 1}}, 2147483647},
      {{{TypeCode(42), "o", 9}}, 0}};
  for (const auto& [members, size] : sizes) EXPECT_EQ(ComputeRecordSize(members), size) << size;
}
