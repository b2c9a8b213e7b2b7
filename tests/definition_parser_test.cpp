#include "structdef/definition_parser.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "structdef/column_list.h"
#include "test_support.h"

namespace {

struct Report {
  std::string text;
  std::string caption;
};

class DefFile {
 public:
  explicit DefFile(std::string_view content) : path_(dir_.File("struct.def")) {
    WriteBytes(path_, content);
  }
  const std::string& Path() const { return path_; }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    EXPECT_EQ(ListStructNames(path_, [&](std::string_view name) { names.emplace_back(name); }), 0);
    return names;
  }

  int Load(std::string_view name, StructDef& def) {
    reports.clear();
    return LoadStructDef(path_, name, def, [&](std::string_view text, std::string_view caption) {
      reports.push_back({std::string(text), std::string(caption)});
    });
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Report& report : reports) texts.push_back(report.text);
    return texts;
  }

  std::vector<Report> reports;

 private:
  TempDir dir_;
  std::string path_;
};

const std::string M1 = "型が宣言されていないうちに\";\"を検出しました";
const std::string M3 = "要素名が宣言されていないうちに定義の終わりを検出しました";
const std::string M4 = "配列の定義が不正です";
std::string M2(std::string_view token) {
  return "\"" + std::string(token) + "\"は定義された型ではありません";
}

using Members = std::vector<std::tuple<TypeCode, std::string, std::int32_t>>;

Members Flatten(const StructDef& def) {
  Members members;
  for (const MemberDef& m : def.members) members.emplace_back(m.type, m.name, m.count);
  return members;
}

// Loads the body of one structure and returns its members and reports.
std::pair<Members, std::vector<std::string>> Body(std::string_view body) {
  DefFile file("struct T {\n" + std::string(body) + "\n}\n");
  StructDef def;
  EXPECT_EQ(file.Load("T", def), 0) << body;
  EXPECT_EQ(def.recordSize, ComputeRecordSize(def.members));
  return {Flatten(def), file.Texts()};
}

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

}  // namespace

TEST(DefinitionParserTest, PathAndCaptionBytes) {
#ifdef _WIN32
  EXPECT_EQ(StructDefPath("C:\\data"), "C:\\data\\struct.def");
  EXPECT_EQ(StructDefPath("C:\\"), "C:\\\\struct.def");
  EXPECT_EQ(StructDefPath(""), "\\struct.def");
#else
  EXPECT_EQ(StructDefPath("/home/u"), "/home/u/struct.def");
  EXPECT_EQ(StructDefPath("/"), "//struct.def");
  EXPECT_EQ(StructDefPath(""), "/struct.def");
#endif
  // The caption is CP932 at run time: 定 is 92 E8, 義 8B 60, エ 83 47, ラ 83 89, ー 81 5B.
  EXPECT_EQ(DefinitionErrorCaption(),
            "\\struct.def \x92\xE8\x8B\x60\x83\x47\x83\x89\x81\x5B");
  EXPECT_EQ(DefinitionErrorCaption(), "\\struct.def 定義エラー");
  // 構 carries a backslash as its second byte.
  EXPECT_EQ(std::string("構"), "\x8D\x5C");
  EXPECT_EQ(M4, "\x94\x7A\x97\xF1\x82\xCC\x92\xE8\x8B\x60\x82\xAA\x95\x73\x90\xB3\x82\xC5\x82\xB7");
}

TEST(DefinitionParserTest, ListsNamesInFileOrderWithTheListingRules) {
  DefFile missing("");
  EXPECT_EQ(ListStructNames(missing.Path() + ".none", [](std::string_view) { FAIL(); }), -1);
  EXPECT_TRUE(missing.Names().empty());

  EXPECT_EQ(DefFile("struct A { ubyte a; } struct B\n{\n}\nstruct A { } ; junk struct C {}")
                .Names(),
            (std::vector<std::string>{"A", "B", "A", "C"}));
  // Only a lone "}" leaves a body; "struct" inside a body is not a definition.
  EXPECT_EQ(DefFile("struct A { ubyte a; }; struct B { } struct C { struct D } struct E {}")
                .Names(),
            (std::vector<std::string>{"A", "C", "E"}));
  EXPECT_EQ(DefFile("Struct A { } STRUCT B { } struct C { }").Names(),
            (std::vector<std::string>{"C"}));
  EXPECT_EQ(DefFile("struct A; struct B { ubyte b; }").Names(),
            (std::vector<std::string>{"A;"}));
  EXPECT_EQ(DefFile("\xEF\xBB\xBFstruct A { } struct B { }").Names(),
            (std::vector<std::string>{"B"}));
  EXPECT_EQ(DefFile("struct\rA\r{\rubyte a;\r}\rstruct\rB\r{\r}\r").Names(),
            (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(DefFile("\t\v\fstruct\t\v\fX\f{\v}").Names(), (std::vector<std::string>{"X"}));
  EXPECT_EQ(DefFile("struct").Names(), std::vector<std::string>{});
  EXPECT_EQ(DefFile("struct 構造体 { } struct \x1A { }").Names(),
            (std::vector<std::string>{"構造体", "\x1A"}));
}

TEST(DefinitionParserTest, LocatesTheFirstDefinitionWithTheExactName) {
  DefFile file("struct A { ubyte first; }\nstruct a { sbyte lower; }\nstruct A { uword second; }\n"
               "struct Q; struct B { xbyte b; }\nstruct E");
  StructDef def;
  def.members = {{TypeCode::XLong, "old", 1}};
  def.recordSize = 4;

  ASSERT_EQ(file.Load("A", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::UByte, "first", 1}}));
  ASSERT_EQ(file.Load("a", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::SByte, "lower", 1}}));
  // A declaration without a body reads the next body as its own.
  ASSERT_EQ(file.Load("Q;", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::XByte, "b", 1}}));
  ASSERT_EQ(file.Load("E", def), 0);
  EXPECT_TRUE(def.members.empty());
  EXPECT_EQ(def.recordSize, 0);

  def.members = {{TypeCode::XLong, "old", 1}};
  def.recordSize = 4;
  for (std::string_view name : {"B", "Q", "", "A ", "struct", "{"}) {
    EXPECT_EQ(file.Load(name, def), -1) << name;
    EXPECT_EQ(Flatten(def), (Members{{TypeCode::XLong, "old", 1}}));
    EXPECT_EQ(def.recordSize, 4);
  }
  EXPECT_TRUE(file.reports.empty());
  EXPECT_EQ(LoadStructDef(file.Path() + ".none", "A", def, [](auto, auto) { FAIL(); }), -1);
  EXPECT_EQ(DefFile("").Load("A", def), -1);
  EXPECT_EQ(def.recordSize, 4);
}

TEST(DefinitionParserTest, MemberForms) {
  using enum TypeCode;
  EXPECT_EQ(Body("ubyte a [4];").first, (Members{{UByte, "a", 4}}));
  EXPECT_EQ(Body("ubyte a[4];").first, (Members{{UByte, "a[4]", 1}}));
  EXPECT_EQ(Body("ubyte a [4] ;").first, (Members{{UByte, "a", 4}}));
  EXPECT_EQ(Body("ubyte a [4]\n;").first, (Members{{UByte, "a", 4}}));
  EXPECT_EQ(Body("ubyte a ;").first, (Members{{UByte, "a", 1}}));
  EXPECT_EQ(Body("UBYTE a; Dword b; LONG c; word d; byte e;").first,
            (Members{{UByte, "a", 1}, {ULong, "b", 1}, {ULong, "c", 1}, {UWord, "d", 1},
                     {UByte, "e", 1}}));
  EXPECT_EQ(Body("ubyte a [];").first, (Members{{UByte, "a", 0}}));
  EXPECT_EQ(Body("ubyte a [x];").first, (Members{{UByte, "a", 0}}));
  EXPECT_EQ(Body("ubyte a [12abc];").first, (Members{{UByte, "a", 12}}));
  EXPECT_EQ(Body("ubyte a [+7];").first, (Members{{UByte, "a", 7}}));
  EXPECT_EQ(Body("ubyte a [3]]x; ;").first, (Members{{UByte, "a", 3}}));
  EXPECT_EQ(Body("ubyte a [5]x ;").first, (Members{{UByte, "a", 5}}));
  EXPECT_EQ(Body("ubyte a [5]x b; ;").first, (Members{{UByte, "a", 5}}));
  EXPECT_EQ(Body("ubyte a [-0];").first, (Members{{UByte, "a", 0}}));
  EXPECT_EQ(Body("ubyte a [0] ; uword b;").first, (Members{{UByte, "a", 0}, {UWord, "b", 1}}));
  EXPECT_EQ(Body("string 名前 [8]; void pad [3]; xlong x;").first,
            (Members{{String, "名前", 8}, {Void, "pad", 3}, {XLong, "x", 1}}));
  // A stray token is ignored until ";" or an array part; the closing brace drops the member.
  EXPECT_EQ(Body("ubyte a b; ;").first, (Members{{UByte, "a", 1}}));
  EXPECT_EQ(Body("ubyte a b;").first, Members{});
  EXPECT_EQ(Body("ubyte a b; [2];").first, (Members{{UByte, "a", 2}}));
  EXPECT_EQ(Body("ubyte a [4]").first, Members{});
}

TEST(DefinitionParserTest, ErrorsAreReportedInFileOrderWithExactBytes) {
  auto [members, texts] = Body(
      "; [x] foo ubyte ; x; sbyte y [4 z ; Ubyte; ubyte w; uword b [-1]; xword c [-99999999999999999999]");
  using enum TypeCode;
  EXPECT_EQ(members, (Members{{UByte, "x", 1}, {SByte, "y", 1}, {UByte, "w", 1}, {UWord, "b", 1}}));
  EXPECT_EQ(texts, (std::vector<std::string>{M1, M1, M2("foo"), M3, M4, M2("Ubyte;"), M4, M4}));

  // "foo x;" is two bad types; the token is quoted as written.
  EXPECT_EQ(Body("foo x;").second, (std::vector<std::string>{M2("foo"), M2("x;")}));
  EXPECT_EQ(Body("FOO").second, (std::vector<std::string>{M2("FOO")}));
  EXPECT_EQ(Body("[4];").second, (std::vector<std::string>{M1}));
  EXPECT_EQ(Body("\"q\"").second, (std::vector<std::string>{M2("\"q\"")}));
  // 構 (8D 5C) inside a reported token stays intact.
  EXPECT_EQ(Body("構").second, (std::vector<std::string>{"\"\x8D\x5C\"\x82\xCD\x92\xE8\x8B\x60\x82\xB3\x82\xEA\x82\xBD\x8C\x5E\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"}));

  DefFile file("struct T { ; }");
  StructDef def;
  ASSERT_EQ(file.Load("T", def), 0);
  ASSERT_EQ(file.reports.size(), 1u);
  EXPECT_EQ(file.reports[0].caption, DefinitionErrorCaption());
  EXPECT_EQ(file.reports[0].text,
            "\x8C\x5E\x82\xAA\x90\xE9\x8C\xBE\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xC8\x82\xA2\x82"
            "\xA4\x82\xBF\x82\xC9\"\x3B\"\x82\xF0\x8C\x9F\x8F\x6F\x82\xB5\x82\xDC\x82\xB5\x82\xBD");
}

TEST(DefinitionParserTest, BodyEndsAtAnyTokenStartingWithBrace) {
  DefFile file("struct A { ubyte a; }; sword z; };\nstruct B { ubyte b; }\nstruct C { sword c }x; }");
  EXPECT_EQ(file.Names(), (std::vector<std::string>{"A", "C"}));
  StructDef def;
  ASSERT_EQ(file.Load("A", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::UByte, "a", 1}}));
  EXPECT_EQ(def.recordSize, 1);
  EXPECT_TRUE(file.reports.empty());
  EXPECT_EQ(file.Load("B", def), -1);

  DefFile closed("struct A { ubyte a; } struct B { uword b [2]; }\n");
  ASSERT_EQ(closed.Load("B", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::UWord, "b", 2}}));
  EXPECT_EQ(def.recordSize, 4);

  // End of file inside a body keeps what was appended, silently.
  DefFile cut("struct A { ubyte a; sbyte b [3]");
  ASSERT_EQ(cut.Load("A", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::UByte, "a", 1}}));
  EXPECT_TRUE(cut.reports.empty());
  DefFile noBrace("struct A ubyte a;");
  ASSERT_EQ(noBrace.Load("A", def), 0);
  EXPECT_TRUE(def.members.empty());
}

TEST(DefinitionParserTest, CountsSaturateAndStayWithinBounds) {
  using enum TypeCode;
  auto one = [](std::string_view body) {
    auto [members, texts] = Body(body);
    return std::make_pair(members, static_cast<int>(texts.size()));
  };
  EXPECT_EQ(one("ubyte a [99999999999999999999];"), std::make_pair(Members{{UByte, "a", 1}}, 1));
  EXPECT_EQ(one("ubyte a [-1];"), std::make_pair(Members{{UByte, "a", 1}}, 1));
  EXPECT_EQ(one("string s [-2147483648];"), std::make_pair(Members{{String, "s", 1}}, 1));
  EXPECT_EQ(one("ubyte a [0];"), std::make_pair(Members{{UByte, "a", 0}}, 0));
  EXPECT_EQ(one("void v [2147483647];"), std::make_pair(Members{{Void, "v", kMax}}, 0));
  EXPECT_EQ(one("string s [99999999999999999999];"),
            std::make_pair(Members{{String, "s", kMax}}, 0));
  EXPECT_EQ(one("string s [2147483647]; ubyte b;"),
            std::make_pair(Members{{String, "s", kMax}}, 1));
  EXPECT_EQ(one("void v [2147483646]; ubyte b; ubyte c;"),
            std::make_pair(Members{{Void, "v", kMax - 1}, {UByte, "b", 1}}, 1));
  EXPECT_EQ(one("void v [2147483000]; xlong x [1000];"),
            std::make_pair(Members{{Void, "v", 2147483000}, {XLong, "x", 1}}, 1));
  EXPECT_EQ(one("ubyte a [65536]; ubyte b;"), std::make_pair(Members{{UByte, "a", 65536}}, 1));
  EXPECT_EQ(one("ubyte a [65537];"), std::make_pair(Members{{UByte, "a", 1}}, 1));
  EXPECT_EQ(one("sword a [65535]; string s [9]; void v [9];"),
            std::make_pair(Members{{SWord, "a", 65535}, {String, "s", 9}, {Void, "v", 9}}, 0));
  EXPECT_EQ(one("ubyte a [4 ; ubyte b [2147483647]"), std::make_pair(Members{{UByte, "a", 1}}, 1));

  // A long name times a large count would make gigabytes of column labels.
  const std::string longName(4096, 'n');
  auto [members, texts] = Body("ubyte " + longName + " [65536];");
  EXPECT_EQ(members, (Members{{UByte, longName, 1}}));
  EXPECT_EQ(texts, std::vector<std::string>{M4});

  StructDef def;
  DefFile big("struct T { ulong a [16384]; string s [2147418111]; }");
  ASSERT_EQ(big.Load("T", def), 0);
  EXPECT_EQ(def.recordSize, kMax);
  ColumnList columns;
  BuildColumnList(def, columns);
  EXPECT_EQ(columns.size(), 16384u + 1 + 2);
  EXPECT_EQ(columns.back().offset, 65536);
}

TEST(DefinitionParserTest, HostileFilesStayFastAndBounded) {
  // 300,000 bad tokens make at most 100 reports, and the members after them still load.
  std::string body = "struct T {\n";
  for (int i = 0; i < 100000; ++i) body += "; ";
  for (int i = 0; i < 100000; ++i) body += "bad ";
  for (int i = 0; i < 100000; ++i) body += "ubyte a [-1] ";
  body += "; sword last; }";
  DefFile hostile(body);
  StructDef def;
  ASSERT_EQ(hostile.Load("T", def), 0);
  EXPECT_EQ(hostile.reports.size(), 100u);
  EXPECT_EQ(hostile.reports.back().text, M1);
  ASSERT_EQ(def.members.size(), 2u);
  EXPECT_EQ(def.members[1].name, "last");

  // 10,000 structures, each found by its own name; a name of 5,000 bytes.
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "struct S" + std::to_string(i) + " { ubyte a; }\n";
  const std::string longName(5000, '\x8D');
  many += "struct " + longName + " { string s [3]; }\nstruct S5 { sbyte duplicate; }";
  DefFile file(many);
  std::vector<std::string> names = file.Names();
  ASSERT_EQ(names.size(), 10002u);
  EXPECT_EQ(names[9999], "S9999");
  EXPECT_EQ(names[10000], longName);
  EXPECT_EQ(names[10001], "S5");
  ASSERT_EQ(file.Load(longName, def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::String, "s", 3}}));
  ASSERT_EQ(file.Load("S5", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::UByte, "a", 1}}));
}

TEST(DefinitionParserTest, ByteOrderMarkAndLineEnds) {
  StructDef def;
  DefFile bom("\xEF\xBB\xBFstruct A { ubyte a; }\r\nstruct B { ubyte b; }");
  EXPECT_EQ(bom.Load("A", def), -1);
  EXPECT_EQ(bom.Load("B", def), 0);

  for (std::string_view eol : {"\r", "\r\n", "\n"}) {
    std::string text = "struct A {";
    for (std::string_view line : {"slong s;", "xword x", "[2]", ";", "string t [3];", "}"}) {
      text += eol;
      text += line;
    }
    DefFile file(text);
    ASSERT_EQ(file.Load("A", def), 0);
    EXPECT_EQ(Flatten(def), (Members{{TypeCode::SLong, "s", 1}, {TypeCode::XWord, "x", 2},
                                     {TypeCode::String, "t", 3}}));
    EXPECT_EQ(def.recordSize, 11);
  }

  // 0x1A is an ordinary byte, not the end of the file.
  DefFile eof("struct A { ubyte \x1A; uword after; }");
  ASSERT_EQ(eof.Load("A", def), 0);
  EXPECT_EQ(Flatten(def), (Members{{TypeCode::UByte, "\x1A", 1}, {TypeCode::UWord, "after", 1}}));
}

TEST(DefinitionParserTest, TwentyThreeByteExampleEndToEnd) {
  DefFile file("struct Example {\n  ubyte a;\n  uword b [3];\n  string s [10];\n  void pad [2];\n"
               "  ulong c;\n}\n");
  StructDef def;
  ASSERT_EQ(file.Load("Example", def), 0);
  EXPECT_EQ(def.recordSize, 23);
  ColumnList columns;
  BuildColumnList(def, columns);
  std::vector<std::pair<std::string, std::int32_t>> layout;
  for (const ColumnDef& column : columns) layout.emplace_back(column.label, column.offset);
  EXPECT_EQ(layout, (std::vector<std::pair<std::string, std::int32_t>>{
                        {"No.", 0}, {"Address", 0}, {"a", 0}, {"b[0]", 1}, {"b[1]", 3},
                        {"b[2]", 5}, {"s", 7}, {"c", 19}}));
  EXPECT_TRUE(file.reports.empty());
}
