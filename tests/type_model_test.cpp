#include "structdef/type_model.h"

#include <gtest/gtest.h>

#include <limits>

using enum TypeCode;

TEST(TypeModel, KeywordsFoldOnlyAsciiLettersAndMatchWholeTokens) {
  const std::pair<std::string_view, std::optional<TypeCode>> cases[] = {
      {"void", Void}, {"ubyte", UByte}, {"byte", UByte}, {"sbyte", SByte}, {"xbyte", XByte},
      {"String", String}, {"uword", UWord}, {"word", UWord}, {"sWORD", SWord}, {"xword", XWord},
      {"ulong", ULong}, {"LONG", ULong}, {"slong", SLong}, {"xlong", XLong}, {"Dword", ULong},
      // A byte that lowercases to a letter only under a locale-aware fold must not match.
      {"ubyte;", {}}, {"ubyt", {}}, {"", {}}, {"struct", {}}, {"\xC4WORD", {}},
      {std::string_view("byte\0", 5), {}}};
  for (const auto& [token, code] : cases) EXPECT_EQ(FindKeyword(token), code) << token;
}

TEST(TypeModel, NameAndWidthOfEachCode) {
  const char* names[] = {"void",  "ubyte", "sbyte", "xbyte", "string", "uword",
                         "sword", "xword", "ulong", "slong", "xlong", "", "", ""};
  const int widths[] = {1, 1, 1, 1, 1, 2, 2, 2, 4, 4, 4, 0, 0, 0};
  const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, std::numeric_limits<int>::min()};
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(TypeName(static_cast<TypeCode>(codes[i])), names[i]) << codes[i];
    EXPECT_EQ(TypeWidth(static_cast<TypeCode>(codes[i])), widths[i]) << codes[i];
  }
}

TEST(TypeModel, RecordSizeSumsWithoutOverflow) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const std::pair<std::vector<MemberDef>, std::int32_t> cases[] = {
      {{}, 0}, {{{Void, "x", 5}, {Void, "y", 7}}, 12}, {{{SLong, "z", 0}}, 0},
      {{{XLong, "big", max}}, max}, {{{String, "s", max}, {UByte, "b", 1}}, max},
      {{{String, "s", -5}, {UWord, "w", 1}}, 2},  // a negative count takes no bytes
      {{{static_cast<TypeCode>(42), "odd", 9}}, 0},
  };
  for (const auto& [members, size] : cases) EXPECT_EQ(ComputeRecordSize(members), size) << size;
}
