#include "structdef/definition_parser.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "structdef/record_layout.h"
#include "test_support.h"

namespace {

using Strings = std::vector<std::string>;
using Members = std::vector<std::tuple<TypeCode, std::string, std::int32_t>>;
using enum TypeCode;

// A struct.def in a folder of its own; every report must carry the definition error caption.
struct DefFile {
  explicit DefFile(std::string_view content) { WriteBytes(path, content); }
  Strings Names() const {
    Strings names;
    EXPECT_EQ(ListStructNames(path, [&](std::string_view name) { names.emplace_back(name); }), 0);
    return names;
  }
  int Load(std::string_view name, StructDef& def) {
    texts.clear();
    return LoadStructDef(path, name, def, [&](std::string_view text, std::string_view caption) {
      EXPECT_EQ(caption, DefinitionErrorCaption());
      texts.emplace_back(text);
    });
  }
  TempDir dir;
  const std::string path = dir.File("struct.def");
  Strings texts;
};

const std::string M1 = "型が宣言されていないうちに\";\"を検出しました";
const std::string M3 = "要素名が宣言されていないうちに定義の終わりを検出しました";
const std::string M4 = "配列の定義が不正です";
std::string M2(std::string_view token) {
  return "\"" + std::string(token) + "\"は定義された型ではありません";
}

Members Flatten(const StructDef& def) {
  Members members;
  for (const MemberDef& m : def.members) members.emplace_back(m.type, m.name, m.count);
  return members;
}

// The members and reports of one structure's body.
std::pair<Members, Strings> Body(std::string_view body) {
  DefFile file("struct T {\n" + std::string(body) + "\n}\n");
  StructDef def;
  EXPECT_EQ(file.Load("T", def), 0) << body;
  EXPECT_EQ(def.recordSize, ComputeRecordSize(def.members));
  return {Flatten(def), file.texts};
}

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

}  // namespace

TEST(DefinitionParserTest, PathAndCaptionBytes) {
#ifdef _WIN32
  EXPECT_EQ(StructDefPath("C:\\data"), "C:\\data\\struct.def");
  EXPECT_EQ(StructDefPath("C:\\"), "C:\\\\struct.def");
#else
  EXPECT_EQ(StructDefPath("/home/u"), "/home/u/struct.def");
  EXPECT_EQ(StructDefPath("/"), "//struct.def");
#endif
  EXPECT_EQ(StructDefPath(""), std::string(kSeparator) + "struct.def");
  // Literals are CP932 at run time: 定 92 E8, 義 8B 60, エ 83 47, ラ 83 89, ー 81 5B; 構 8D 5C.
  EXPECT_EQ(DefinitionErrorCaption(), "\\struct.def \x92\xE8\x8B\x60\x83\x47\x83\x89\x81\x5B");
  EXPECT_EQ(std::string("構"), "\x8D\x5C");
}

TEST(DefinitionParserTest, ListsNamesInFileOrderWithTheListingRules) {
  DefFile empty("");
  EXPECT_EQ(ListStructNames(empty.path + ".none", [](std::string_view) { FAIL(); }), -1);
  EXPECT_TRUE(empty.Names().empty());
  const std::pair<const char*, Strings> cases[] = {
      {"struct A { ubyte a; } struct B\n{\n}\nstruct A { } ; junk struct C {}",
       {"A", "B", "A", "C"}},
      // Only a lone "}" leaves a body; "struct" inside a body is not a definition.
      {"struct A { ubyte a; }; struct B { } struct C { struct D } struct E {}", {"A", "C", "E"}},
      {"Struct A { } STRUCT B { } struct C { }", {"C"}},
      {"struct A; struct B { ubyte b; }", {"A;"}}, {"\t\v\fstruct\t\v\fX\f{\v}", {"X"}},
      {"struct", {}}, {"struct 構造体 { } struct \x1A { }", {"構造体", "\x1A"}},
  };
  for (const auto& [content, names] : cases) EXPECT_EQ(DefFile(content).Names(), names) << content;
}

TEST(DefinitionParserTest, LocatesTheFirstDefinitionWithTheExactName) {
  const std::string longName(5000, '\x8D');
  DefFile file(
      "struct A { ubyte first; }\nstruct a { sbyte lower; }\nstruct A { uword second; }\n"
      "struct Q; struct B { xbyte b; }\nstruct " +
      longName + " { string s [3]; }\nstruct E");
  const std::pair<std::string, Members> found[] = {
      {"A", {{UByte, "first", 1}}}, {"a", {{SByte, "lower", 1}}},
      // A declaration without a body reads the next body as its own.
      {"Q;", {{XByte, "b", 1}}}, {longName, {{String, "s", 3}}}, {"E", {}}};
  StructDef def;
  for (const auto& [name, members] : found) {
    ASSERT_EQ(file.Load(name, def), 0) << name.substr(0, 10);
    EXPECT_EQ(Flatten(def), members);
    EXPECT_EQ(def.recordSize, ComputeRecordSize(def.members));
  }
  def.members = {{XLong, "old", 1}};
  def.recordSize = 4;
  for (std::string_view name : {"B", "Q", "", "A ", "struct", "{"}) {
    EXPECT_EQ(file.Load(name, def), -1) << name;
    EXPECT_EQ(Flatten(def), (Members{{XLong, "old", 1}}));
  }
  EXPECT_TRUE(file.texts.empty());
  EXPECT_EQ(LoadStructDef(file.path + ".none", "A", def, [](auto, auto) { FAIL(); }), -1);
  EXPECT_EQ(DefFile("").Load("A", def), -1);
  EXPECT_EQ(def.recordSize, 4);
}

TEST(DefinitionParserTest, MemberFormsAndCounts) {
  const struct {
    const char* body;
    Members members;
    int reports = 0;
  } cases[] = {
      {"ubyte a [4];", {{UByte, "a", 4}}}, {"ubyte a[4];", {{UByte, "a[4]", 1}}},
      {"ubyte a [4]\n;", {{UByte, "a", 4}}}, {"ubyte a ;", {{UByte, "a", 1}}},
      {"UBYTE a; Dword b; LONG c; word d; byte e;",
       {{UByte, "a", 1}, {ULong, "b", 1}, {ULong, "c", 1}, {UWord, "d", 1}, {UByte, "e", 1}}},
      {"ubyte a [x];", {{UByte, "a", 0}}}, {"ubyte a [12abc];", {{UByte, "a", 12}}},
      {"ubyte a [+7];", {{UByte, "a", 7}}}, {"ubyte a [-0];", {{UByte, "a", 0}}},
      {"ubyte a [5]x b; ;", {{UByte, "a", 5}}},
      {"string 名前 [8]; void pad [3]; xlong x;",
       {{String, "名前", 8}, {Void, "pad", 3}, {XLong, "x", 1}}},
      // A stray token is ignored until ";" or an array part; the closing brace drops the member.
      {"ubyte a b; ;", {{UByte, "a", 1}}}, {"ubyte a b;", {}},
      {"ubyte a b; [2];", {{UByte, "a", 2}}},
      // Any line end separates tokens; 0x1A is an ordinary byte, not the end of the file.
      {"slong s;\rxword x\r[2]\r;\rstring t [3];\r",
       {{SLong, "s", 1}, {XWord, "x", 2}, {String, "t", 3}}},
      {"xword x\r\n[2]\r\n;\r\nubyte \x1A; uword after;",
       {{XWord, "x", 2}, {UByte, "\x1A", 1}, {UWord, "after", 1}}},
      // Counts saturate; past 65,536 columns or 2,147,483,647 bytes a member gets count 1.
      {"string s [99999999999999999999];", {{String, "s", kMax}}},
      {"string s [2147483647]; ubyte b;", {{String, "s", kMax}}, 1},
      {"void v [2147483646]; ubyte b; ubyte c;", {{Void, "v", kMax - 1}, {UByte, "b", 1}}, 1},
      {"void v [2147483000]; xlong x [1000];", {{Void, "v", 2147483000}, {XLong, "x", 1}}, 1},
      {"ubyte a [65536]; ubyte b;", {{UByte, "a", 65536}}, 1},
      {"ubyte a [65537];", {{UByte, "a", 1}}, 1},
      {"sword a [65535]; string s [9]; void v [9];",
       {{SWord, "a", 65535}, {String, "s", 9}, {Void, "v", 9}}},
      {"ubyte a [4 ; ubyte b [2147483647]", {{UByte, "a", 1}}, 1},
  };
  for (const auto& c : cases) {
    auto [members, texts] = Body(c.body);
    EXPECT_EQ(members, c.members) << c.body;
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(c.reports)) << c.body;
  }
  // A long name times a large count would make gigabytes of column labels.
  const std::string longName(4096, 'n');
  EXPECT_EQ(Body("ubyte " + longName + " [65536];"),
            std::make_pair(Members{{UByte, longName, 1}}, Strings{M4}));

  DefFile big("struct T { ulong a [16384]; string s [2147418111]; }");
  StructDef def;
  ASSERT_EQ(big.Load("T", def), 0);
  EXPECT_EQ(def.recordSize, kMax);
  ColumnList columns;
  BuildColumnList(def, columns);
  EXPECT_EQ(columns.size(), 16384u + 1 + 2);
  EXPECT_EQ(columns.back().offset, 65536);
}

TEST(DefinitionParserTest, ErrorsAreReportedInFileOrderWithExactBytes) {
  EXPECT_EQ(
      Body("; [x] foo ubyte ; x; sbyte y [4 z ; Ubyte; ubyte w; uword b [-1]; "
           "xword c [-99999999999999999999]"),
      std::make_pair(Members{{UByte, "x", 1}, {SByte, "y", 1}, {UByte, "w", 1}, {UWord, "b", 1}},
                     Strings{M1, M1, M2("foo"), M3, M4, M2("Ubyte;"), M4, M4}));
  EXPECT_EQ(Body("foo x;").second, (Strings{M2("foo"), M2("x;")}));  // quoted as written
  EXPECT_EQ(Body("[4];").second, Strings{M1});
  // CP932 bytes, and 構 (8D 5C) inside a reported token stays intact.
  EXPECT_EQ(Body(";").second,
            Strings{"\x8C\x5E\x82\xAA\x90\xE9\x8C\xBE\x82\xB3\x82\xEA\x82\xC4\x82\xA2"
                    "\x82\xC8\x82\xA2\x82\xA4\x82\xBF\x82\xC9\"\x3B\"\x82\xF0\x8C\x9F"
                    "\x8F\x6F\x82\xB5\x82\xDC\x82\xB5\x82\xBD"});
  EXPECT_EQ(Body("構").second,
            Strings{"\"\x8D\x5C\"\x82\xCD\x92\xE8\x8B\x60\x82\xB3\x82\xEA\x82\xBD"
                    "\x8C\x5E\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"});

  // 300,000 bad tokens make at most 100 reports, and the members after them still load.
  std::string body = "struct T {\n";
  for (const char* token : {"; ", "bad ", "ubyte a [-1] "}) {
    for (int i = 0; i < 100000; ++i) body += token;
  }
  DefFile hostile(body + "; sword last; }");
  StructDef def;
  ASSERT_EQ(hostile.Load("T", def), 0);
  EXPECT_EQ(hostile.texts, Strings(100, M1));
  EXPECT_EQ(Flatten(def), (Members{{UByte, "a", 1}, {SWord, "last", 1}}));
}

TEST(DefinitionParserTest, BodyEndsAtAnyBraceTokenOrAtTheEndOfTheFile) {
  DefFile file(
      "struct A { ubyte a; }; sword z; };\nstruct B { ubyte b; }\nstruct C { sword c }x; }");
  EXPECT_EQ(file.Names(), (Strings{"A", "C"}));
  StructDef def;
  ASSERT_EQ(file.Load("A", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{UByte, "a", 1}}));
  EXPECT_EQ(def.recordSize, 1);
  EXPECT_TRUE(file.texts.empty());
  EXPECT_EQ(file.Load("B", def), -1);

  // End of file inside a body keeps what was appended, silently.
  DefFile cut("struct A { ubyte a; sbyte b [3]");
  ASSERT_EQ(cut.Load("A", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{UByte, "a", 1}}));
  EXPECT_TRUE(cut.texts.empty());
  ASSERT_EQ(DefFile("struct A ubyte a;").Load("A", def), 0);
  EXPECT_TRUE(def.members.empty());
}
