#include "structdef/type_model.h"

#include <gtest/gtest.h>

#include <limits>

TEST(TypeModelTest, KeywordsFoldOnlyAsciiLettersAndMatchWholeTokens) {
  EXPECT_EQ(FindKeyword("Dword"), TypeCode::ULong);
  EXPECT_EQ(FindKeyword("LONG"), TypeCode::ULong);
  EXPECT_EQ(FindKeyword("long"), TypeCode::ULong);
  EXPECT_EQ(FindKeyword("word"), TypeCode::UWord);
  EXPECT_EQ(FindKeyword("byte"), TypeCode::UByte);
  EXPECT_EQ(FindKeyword("UByte"), TypeCode::UByte);
  EXPECT_EQ(FindKeyword("sWORD"), TypeCode::SWord);
  EXPECT_EQ(FindKeyword("void"), TypeCode::Void);
  EXPECT_EQ(FindKeyword("STRING"), TypeCode::String);
  for (const KeywordEntry& entry : KeywordTable) EXPECT_EQ(FindKeyword(entry.keyword), entry.code);

  EXPECT_FALSE(FindKeyword("ubyte;"));
  EXPECT_FALSE(FindKeyword("ubyte[4]"));
  EXPECT_FALSE(FindKeyword("ubyt"));
  EXPECT_FALSE(FindKeyword(""));
  EXPECT_FALSE(FindKeyword("struct"));
  // Bytes that lowercase to a keyword only under a locale-aware fold must not match.
  EXPECT_FALSE(FindKeyword("\xC4WORD"));
  EXPECT_FALSE(FindKeyword(std::string_view("byte\0", 5)));
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
  EXPECT_EQ(ComputeRecordSize({}), 0);
  EXPECT_EQ(ComputeRecordSize({{TypeCode::UByte, "a", 1},
                               {TypeCode::UWord, "b", 3},
                               {TypeCode::String, "s", 10},
                               {TypeCode::Void, "pad", 2},
                               {TypeCode::ULong, "c", 1}}),
            23);
  EXPECT_EQ(ComputeRecordSize({{TypeCode::Void, "x", 5}, {TypeCode::Void, "y", 7}}), 12);
  EXPECT_EQ(ComputeRecordSize({{TypeCode::SLong, "z", 0}}), 0);

  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(ComputeRecordSize({{TypeCode::String, "s", max}}), max);
  EXPECT_EQ(ComputeRecordSize({{TypeCode::XLong, "big", max}}), max);
  EXPECT_EQ(ComputeRecordSize({{TypeCode::String, "s", max}, {TypeCode::UByte, "b", 1}}), max);
  // A negative count takes no bytes rather than moving the end backwards.
  EXPECT_EQ(ComputeRecordSize({{TypeCode::String, "s", -5}, {TypeCode::UWord, "w", 1}}), 2);
  EXPECT_EQ(ComputeRecordSize({{static_cast<TypeCode>(42), "odd", 9}}), 0);
}
