#include "structdef/definition_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using Strings = std::vector<std::string>;
using Members = std::vector<std::tuple<TypeCode, std::string, std::int32_t>>;
using enum TypeCode;

const std::string M1 = "型が宣言されていないうちに\";\"を検出しました", M4 = "配列の定義が不正です";
const std::string M3 = "要素名が宣言されていないうちに定義の終わりを検出しました";
std::string M2(std::string_view token) {
  return "\"" + std::string(token) + "\"は定義された型ではありません";
}
const Members kNotFound = {{Void, "(not found)", -1}};
constexpr std::int32_t kMax = 2147483647;

// Each pass reads the file in blocks and the same bytes in memory, which must agree.
Strings Names(std::string_view content) {
  TempDir dir;
  WriteBytes(dir.File("struct.def"), content);
  Strings names, inMemory;
  const std::string path = dir.File("struct.def");
  EXPECT_EQ(ListStructNames(path, [&](auto name) { names.emplace_back(name); }), 0);
  ListStructNamesInBytes(content, [&](auto name) { inMemory.emplace_back(name); });
  EXPECT_EQ(names, inMemory);
  return names;
}

// The members of `name` (kNotFound when not found, which leaves the structure as it was) and
// the reports, in order.
std::pair<Members, Strings> Load(std::string_view content, std::string_view name) {
  TempDir dir;
  WriteBytes(dir.File("struct.def"), content);
  StructDef def{{{XLong, "old", 1}}, 4}, inMemory = def;
  Strings reports, inMemoryReports;
  const int found = LoadStructDef(dir.File("struct.def"), name, def, [&](auto text, auto caption) {
    EXPECT_EQ(caption, DefinitionErrorCaption());
    reports.emplace_back(text);
  });
  EXPECT_EQ(LoadStructDefFromBytes(content, name, inMemory,
                                   [&](auto text, auto) { inMemoryReports.emplace_back(text); }),
            found);
  Members members;
  for (const MemberDef& m : def.members) members.emplace_back(m.type, m.name, m.count);
  EXPECT_EQ(def.recordSize, ComputeRecordSize(def.members));
  EXPECT_EQ(inMemory.members.size(), def.members.size());
  EXPECT_EQ(inMemoryReports, reports);
  EXPECT_TRUE(found == 0 || members == (Members{{XLong, "old", 1}}));
  return {found == -1 ? kNotFound : members, reports};
}

std::pair<Members, Strings> Body(std::string_view body) {
  return Load("struct T {\n" + std::string(body) + "\n}\n", "T");
}

TEST(DefinitionParser, PathCaptionAndFilesThatCannotBeRead) {
  EXPECT_EQ(StructDefPath("dir"), "dir" + std::string(kSeparator) + "struct.def");
  // Literals are CP932 at run time: 定 92 E8, 義 8B 60, エ 83 47, ラ 83 89, ー 81 5B.
  EXPECT_EQ(DefinitionErrorCaption(), "\\struct.def \x92\xE8\x8B\x60\x83\x47\x83\x89\x81\x5B");
  TempDir dir;
  StructDef def;
  const std::string path = dir.File("struct.def");
  auto refused = [&] {
    return ListStructNames(path, [](auto) {}) == -1 &&
           LoadStructDef(path, "A", def, [](auto, auto) {}) == -1;
  };
  EXPECT_TRUE(refused());  // missing
#ifdef _WIN32
  ASSERT_TRUE(MakeFolder(path));
  EXPECT_TRUE(refused());
#else
  // A FIFO with no writer is refused at once; the child's deadline catches a blocked open.
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(InChild(refused, 5), 1);
#endif
}

TEST(DefinitionParser, ListsNamesInFileOrder) {
  const std::string longName(5000, 'N');
  const std::pair<std::string, Strings> cases[] = {
      {"", {}}, {"struct", {}}, {"Struct A { } STRUCT B { } struct C { }", {"C"}},
      {"struct A { ubyte a; } struct B\n{\n}\nstruct A { } ; x struct C {}", {"A", "B", "A", "C"}},
      // Only a lone "}" leaves a body; "struct" inside a body is not a definition.
      {"struct A { ubyte a; }; struct B { } struct C { struct D } struct E {}", {"A", "C", "E"}},
      {"struct A; struct B { ubyte b; }", {"A;"}}, {"\t\v\fstruct\t\v\fX\f{\v}", {"X"}},
      {"struct 構造体 { } struct \x1A { }", {"構造体", "\x1A"}},
      {"struct " + longName + " { }", {longName}},
      // The mark is glued to the first "struct": that definition is not one.
      {"\xEF\xBB\xBFstruct A { ubyte a; }\r\nstruct B { }", {"B"}},
      {"struct A {\r}\rstruct B\r{\r}\r", {"A", "B"}},
  };
  for (const auto& [content, names] : cases) EXPECT_EQ(Names(content), names) << content;
}

TEST(DefinitionParser, LoadsTheFirstDefinitionWithTheExactName) {
  const std::string longName(5000, '\x8D');
  const std::string content =
      "struct A { ubyte first; }\nstruct a { sbyte lower; }\nstruct A { uword second; }\n"
      "struct Q; struct B { xbyte b; }\nstruct " + longName + " { string s [3]; }\nstruct E";
  const std::pair<std::string, Members> cases[] = {
      {"A", {{UByte, "first", 1}}}, {"a", {{SByte, "lower", 1}}}, {longName, {{String, "s", 3}}},
      {"Q;", {{XByte, "b", 1}}},  // a declaration without a body reads the next body as its own
      {"E", {}}, {"B", kNotFound}, {"Q", kNotFound}, {"", kNotFound}, {"A ", kNotFound},
      {"{", kNotFound}};
  for (const auto& [name, members] : cases) {
    EXPECT_EQ(Load(content, name), std::make_pair(members, Strings{})) << name.substr(0, 8);
  }
  // The body ends at any "}" token, or silently at the end of the file.
  const std::pair<std::string, Members> ends[] = {
      {"struct A { ubyte a; }; sword z; };", {{UByte, "a", 1}}}, {"struct A { sword c }x; }", {}},
      {"struct A { ubyte a; sbyte b [3]", {{UByte, "a", 1}}}, {"struct A ubyte a;", {}},
      {"", kNotFound}};
  for (const auto& [text, members] : ends) {
    EXPECT_EQ(Load(text, "A"), std::make_pair(members, Strings{}));
  }
}

TEST(DefinitionParser, MemberFormsAndCounts) {
  // Labels "name[0]" on: 33,554,430 bytes, 33,554,433 bytes (one past the 32 MiB), 40 MB in two.
  const std::string longName(4096, 'n'), fits(11184807, 'f'), over(2581107, 'o');
  const std::string a1000(1000, 'a'), b1000(1000, 'b');
  const struct {
    std::string body;
    Members members;
    std::size_t reports = 0;
  } cases[] = {
      {"ubyte a [4];", {{UByte, "a", 4}}}, {"ubyte a[4];", {{UByte, "a[4]", 1}}},
      {"ubyte a [4]\n;", {{UByte, "a", 4}}}, {"ubyte a ;", {{UByte, "a", 1}}},
      {"UBYTE a; Dword b; word d;", {{UByte, "a", 1}, {ULong, "b", 1}, {UWord, "d", 1}}},
      {"ubyte a [x];", {{UByte, "a", 0}}}, {"ubyte a [12abc];", {{UByte, "a", 12}}},
      {"ubyte a [+7];", {{UByte, "a", 7}}}, {"ubyte a [-0];", {{UByte, "a", 0}}},
      {"string 名前 [8]; void pad [3]; xlong x;",
       {{String, "名前", 8}, {Void, "pad", 3}, {XLong, "x", 1}}},
      // A stray token is ignored until ";" or an array part; the closing brace drops the member.
      {"ubyte a [5]x b; ;", {{UByte, "a", 5}}}, {"ubyte a b; ;", {{UByte, "a", 1}}},
      {"ubyte a b;", {}},
      {"ubyte a b; [2];", {{UByte, "a", 2}}},
      // Any line end separates tokens; 0x1A is an ordinary byte, not the end of the file.
      {"slong s;\rxword x\r[2]\r;\r\nubyte \x1A;",
       {{SLong, "s", 1}, {XWord, "x", 2}, {UByte, "\x1A", 1}}},
      // Counts saturate; past 65,536 columns or 2,147,483,647 bytes a member gets count 1.
      {"string s [99999999999999999999];", {{String, "s", kMax}}},
      {"string s [2147483647]; ubyte b;", {{String, "s", kMax}}, 1},
      {"void v [2147483646]; ubyte b; ubyte c;", {{Void, "v", kMax - 1}, {UByte, "b", 1}}, 1},
      {"void v [2147483000]; xlong x [1000];", {{Void, "v", 2147483000}, {XLong, "x", 1}}, 1},
      {"ubyte a [65536]; ubyte b;", {{UByte, "a", 65536}}, 1},
      {"ubyte a [65537];", {{UByte, "a", 1}}, 1},
      {"sword a [65535]; string s [9];", {{SWord, "a", 65535}, {String, "s", 9}}},
      {"ulong a [16384]; string s [2147418111];",
       {{ULong, "a", 16384}, {String, "s", 2147418111}}},
      {"ubyte a [4 ; ubyte b [2147483647]", {{UByte, "a", 1}}, 1},
      // A long name times a large count would make gigabytes of column labels: the labels of
      // a structure take at most 32 MiB.
      {"ubyte " + longName + " [65536];", {{UByte, longName, 1}}, 1},
      {"ubyte " + fits + " [3];", {{UByte, fits, 3}}},
      {"ubyte " + over + " [13];", {{UByte, over, 1}}, 1},
      {"ubyte " + a1000 + " [20000]; ubyte " + b1000 + " [20000];",
       {{UByte, a1000, 20000}, {UByte, b1000, 1}}, 1},
  };
  for (const auto& c : cases) {
    auto [members, reports] = Body(c.body);
    EXPECT_EQ(members, c.members) << c.body.substr(0, 60);
    EXPECT_EQ(reports.size(), c.reports) << c.body.substr(0, 60);
  }
}

TEST(DefinitionParser, ErrorsAreReportedInFileOrderWithExactBytes) {
  std::string flood;
  for (int i = 0; i < 200000; ++i) flood += "bad ";
  flood += "; sword last;";
  const std::pair<std::string, std::pair<Members, Strings>> cases[] = {
      {"; [x] foo ubyte ; x; sbyte y [4 z ; Ubyte; ubyte w; uword b [-1]; xword c [-99999999999]",
       {{{UByte, "x", 1}, {SByte, "y", 1}, {UByte, "w", 1}, {UWord, "b", 1}},
        {M1, M1, M2("foo"), M3, M4, M2("Ubyte;"), M4, M4}}},
      {"foo x;", {{}, {M2("foo"), M2("x;")}}}, {"[4];", {{}, {M1}}},  // quoted as written
      // CP932 bytes, and 構 (8D 5C) inside a reported token stays intact.
      {"構", {{}, {"\"\x8D\x5C\"\x82\xCD\x92\xE8\x8B\x60\x82\xB3\x82\xEA\x82\xBD\x8C\x5E\x82\xC5"
                  "\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"}}},
      // At most 100 reports, and the members after them still load.
      {flood, {{{SWord, "last", 1}}, Strings(100, M2("bad"))}},
  };
  for (const auto& [body, expected] : cases) EXPECT_EQ(Body(body), expected) << body.substr(0, 20);
}

// Tokens cut by the reader's block boundaries: the file and memory passes still agree.
TEST(DefinitionParser, ShuffledTokensOverManyBlocks) {
  std::mt19937 random(20240601);
  const char* const vocabulary[] = {"struct", "{", "}", ";", "ubyte", "String", "xlong", "[",
                                    "[4]", "[-1];", "a", "a;", "};", "\x8D\x5C", "S"};
  std::string tokens;
  while (tokens.size() < (1u << 20)) {
    tokens += vocabulary[random() % std::size(vocabulary)];
    tokens += " \r\n\t"[random() % 4];
  }
  const Strings names = Names(tokens);
  ASSERT_GT(names.size(), 1000u);
  EXPECT_LE(Load(tokens, names.back()).second.size(), 100u);
}

}  // namespace
