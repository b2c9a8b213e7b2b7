#include "structdef/type_model.h"

#include <gtest/gtest.h>

#include <limits>

using enum TypeCode;

TEST(TypeModelTest, KeywordsFoldOnlyAsciiLettersAndMatchWholeTokens) {
  for (const KeywordEntry& entry : KeywordTable) EXPECT_EQ(FindKeyword(entry.keyword), entry.code);
  EXPECT_EQ(FindKeyword("Dword"), ULong);
  EXPECT_EQ(FindKeyword("LONG"), ULong);
  EXPECT_EQ(FindKeyword("sWORD"), SWord);
  EXPECT_EQ(FindKeyword("STRING"), String);
  // A byte that lowercases to a letter only under a locale-aware fold must not match.
  const std::string_view refused[] = {"ubyte;", "ubyte[4]", "ubyt", "", "struct", "\xC4WORD",
                                     std::string_view("byte\0", 5)};
  for (std::string_view token : refused) {
    EXPECT_FALSE(FindKeyword(token)) << token;
  }
}

TEST(TypeModelTest, TypeNameGivesFirstKeywordAndWidthFollowsFamily) {
  const char* names[] = {"void",  "ubyte", "sbyte", "xbyte", "string", "uword",
                         "sword", "xword", "ulong", "slong", "xlong"};
  const int widths[] = {1, 1, 1, 1, 1, 2, 2, 2, 4, 4, 4};
  for (int code = 0; code <= 10; ++code) {
    EXPECT_EQ(TypeName(static_cast<TypeCode>(code)), names[code]) << code;
    EXPECT_EQ(TypeWidth(static_cast<TypeCode>(code)), widths[code]) << code;
  }
  for (int code : {-1, 11, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
    EXPECT_EQ(TypeName(static_cast<TypeCode>(code)), "") << code;
    EXPECT_EQ(TypeWidth(static_cast<TypeCode>(code)), 0) << code;
  }
}

TEST(TypeModelTest, RecordSizeSumsWithoutOverflow) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const std::pair<std::vector<MemberDef>, std::int32_t> cases[] = {
      {{}, 0},
      {{{Void, "x", 5}, {Void, "y", 7}}, 12},
      {{{SLong, "z", 0}}, 0},
      {{{XLong, "big", max}}, max},
      {{{String, "s", max}, {UByte, "b", 1}}, max},
      {{{String, "s", -5}, {UWord, "w", 1}}, 2},  // a negative count takes no bytes
      {{{static_cast<TypeCode>(42), "odd", 9}}, 0},
  };
  for (const auto& [members, size] : cases) EXPECT_EQ(ComputeRecordSize(members), size) << size;
}
