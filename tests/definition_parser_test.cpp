#include "structdef/definition_parser.h"

#include "test_support.h"

using Strings = std::vector<std::string>;
using enum TypeCode;

const std::string M1 = "型が宣言されていないうちに\";\"を検出しました", M4 = "配列の定義が不正です";
const std::string M3 = "要素名が宣言されていないうちに定義の終わりを検出しました";
static std::string M2(std::string_view token) {
  return "\"" + std::string(token) + "\"は定義された型ではありません";
}

// The members of `name` as "type name count, ..." ("-" when not found, which leaves the
// structure as it was) and the reports, in order. Read 3 bytes at a time, so that tokens span
// reads.
static std::pair<std::string, Strings> Load(std::string_view content, std::string_view name) {
  TempDir dir;
  WriteBytes(dir.File("struct.def"), content);
  StructDef def{{{XLong, "old", 1}}, 4};
  Strings reports;
  const auto report = [&](auto text, auto caption) {
    EXPECT_EQ(caption, DefinitionErrorCaption());
    reports.emplace_back(text);
  };
  const bool found =
      LoadStructDef(dir.File("struct.def"), name, def, report, 3) == StructLookup::Found;
  EXPECT_EQ(def.recordSize, ComputeRecordSize(def.members));
  std::string members;
  for (const auto& m : def.members) {
    members += (members.empty() ? "" : ", ") + std::string(TypeName(m.type)) + " " + m.name + " " +
               std::to_string(m.count);
  }
  EXPECT_TRUE(found || members == "xlong old 1");
  return {found ? members : "-", reports};
}

// Literals are CP932 at run time. What cannot be opened (a FIFO too: data_buffer_test proves
// the shared open refuses one) is a file that cannot be read.
TEST(DefinitionParser, CaptionAndAFileThatCannotBeRead) {
  EXPECT_EQ(DefinitionErrorCaption(), "\\struct.def \x92\xE8\x8B\x60\x83\x47\x83\x89\x81\x5B");
  TempDir dir;
  StructDef def;
  const std::string path = dir.File("struct.def");
  EXPECT_EQ(ListStructNames(path, [](auto) {}), DefinitionRead::Unreadable);
  EXPECT_EQ(LoadStructDef(path, "A", def, [](auto, auto) {}), StructLookup::NotFound);
}

// Only a lone "}" leaves a body; "struct" inside a body is not a definition. A byte-order mark
// is glued to the first "struct": that definition is not one.
TEST(DefinitionParser, ListsNamesInFileOrder) {
  const std::pair<std::string, Strings> cases[] = {
      {"", {}},
      {"struct", {}},
      {"Struct A { } STRUCT B { } struct C { }", {"C"}},
      {"struct A { ubyte a; } struct B\n{\n}\nstruct A { } ; x struct C {}", {"A", "B", "A", "C"}},
      {"struct A { ubyte a; }; struct B { } struct C { struct D } struct E {}", {"A", "C", "E"}},
      {"struct A; struct B { ubyte b; }", {"A;"}},
      {"struct 構 { } struct \x1A { }", {"構", "\x1A"}},
      {"\t\v\fstruct\t\v\fX\f{\v}\rstruct\rY", {"X", "Y"}},
      {"\xEF\xBB\xBFstruct A { }\r\nstruct B", {"B"}}};
  // The listing shares the file reader with loading, so memory is enough here.
  for (const auto& [content, names] : cases) {
    Strings listed;
    ListStructNamesInBytes(content, [&](auto name) { listed.emplace_back(name); });
    EXPECT_EQ(listed, names) << content;
  }
}

// A body-less declaration reads the next body; a body ends at any "}" token or the file's end.
TEST(DefinitionParser, LoadsTheFirstDefinitionWithTheExactName) {
  const std::string longName(5000, '\x8D');
  const std::string content =
      "struct A { ubyte first; }\nstruct a { sbyte lower; }\nstruct A { uword second; }\n"
      "struct Q; struct B { xbyte b; }\nstruct " +
      longName + " { string s [3]; }\nstruct E";
  const std::pair<std::string, std::string> cases[] = {{"A", "ubyte first 1"},
                                                       {"a", "sbyte lower 1"},
                                                       {longName, "string s 3"},
                                                       {"Q;", "xbyte b 1"},
                                                       {"E", ""},
                                                       {"B", "-"},
                                                       {"Q", "-"},
                                                       {"", "-"},
                                                       {"A ", "-"},
                                                       {"{", "-"}};
  for (const auto& [name, members] : cases) {
    EXPECT_EQ(Load(content, name), std::make_pair(members, Strings{})) << name.substr(0, 8);
  }
  // The last of these ends on a read of one byte, a token of its own.
  for (std::string text : {"struct A { ubyte a; }; sword z; };", "struct A { ubyte a; sbyte b",
                           "struct A { ubyte a   ;"}) {
    EXPECT_EQ(Load(text, "A"), std::make_pair(std::string("ubyte a 1"), Strings{})) << text;
  }
}

// A stray token waits for ";" or an array part; the closing brace drops the member. Counts
// saturate; past 65,536 columns, 2^31 - 1 bytes or 32 MiB of "name[0]" labels, count 1.
TEST(DefinitionParser, MemberFormsAndCounts) {
  const std::string whole(32 << 20, 'w'), fits(16777213, 'f'), over(33550, 'o'), a(1000, 'a');
  const std::string b(1000, 'b');
  const std::string past(3401, 'p');
  const std::pair<std::string, std::pair<std::string, std::size_t>> cases[] = {
      {"ubyte a [4]; ubyte b[4]; UBYTE c; Dword d; word e;",
       {"ubyte a 4, ubyte b[4] 1, ubyte c 1, ulong d 1, uword e 1", 0}},
      {"ubyte a [x]; ubyte b [12abc]; ubyte c [+7]; ubyte d [-0]; string 名前 [8]; void p [3];",
       {"ubyte a 0, ubyte b 12, ubyte c 7, ubyte d 0, string 名前 8, void p 3", 0}},
      {"ubyte a [5]x b; ; ubyte c d; ;", {"ubyte a 5, ubyte c 1", 0}},
      {"ubyte a b;", {"", 0}},
      {"ubyte a b; [2];", {"ubyte a 2", 0}},
      {"slong s;\rxword x\r[2]\r;\r\nubyte \x1A;", {"slong s 1, xword x 2, ubyte \x1A 1", 0}},
      {"string s [99999999999999999999];", {"string s 2147483647", 0}},
      {"string s [2147483647]; ubyte b;", {"string s 2147483647", 1}},
      {"void v [2147483646]; ubyte b; ubyte c;", {"void v 2147483646, ubyte b 1", 1}},
      {"void v [2147483000]; xlong x [1000];", {"void v 2147483000, xlong x 1", 1}},
      {"ubyte a [65536]; ubyte b;", {"ubyte a 65536", 1}},
      {"ubyte a [65537];", {"ubyte a 1", 1}},
      {"ubyte a [65535]; string s [9];", {"ubyte a 65535, string s 9", 0}},  // one column
      {"ubyte " + whole + ";", {"ubyte " + whole + " 1", 0}},                // exactly 32 MiB
      {"ubyte " + fits + " [2];", {"ubyte " + fits + " 2", 0}},              // and again
      {"ubyte " + over + " [1000];", {"ubyte " + over + " 1", 1}},           // 458 bytes over
      {"ubyte " + past + " [9849];", {"ubyte " + past + " 1", 1}},           // 1 byte over
      {"ubyte " + a + " [20000]; ubyte " + b + " [20000];",
       {"ubyte " + a + " 20000, ubyte " + b + " 1", 1}}};
  for (const auto& [body, expected] : cases) {
    auto [members, reports] = Load("struct T {\n" + body + "\n}\n", "T");
    EXPECT_EQ(std::make_pair(members, reports.size()), expected) << body.substr(0, 60);
  }
}

TEST(DefinitionParser, ErrorsAreReportedInFileOrderWithExactBytes) {
  std::string flood;
  while (flood.size() < 800000) flood += "bad ";
  // Quoted as written, 構 (8D 5C) intact; at most 100, and the members after them still load.
  const std::pair<std::string, std::pair<std::string, Strings>> cases[] = {
      {"; [x] foo ubyte ; x; sbyte y [4 z ; Ubyte; ubyte w; uword b [-1]; xword c [-99999999999]",
       {"ubyte x 1, sbyte y 1, ubyte w 1, uword b 1",
        {M1, M1, M2("foo"), M3, M4, M2("Ubyte;"), M4, M4}}},
      {"foo x;", {"", {M2("foo"), M2("x;")}}},
      {"[4];", {"", {M1}}},
      {"構", {"", {M2("構")}}},
      {"ubyte a [3]; ubyte b [4 ;", {"ubyte a 3, ubyte b 1", {M4}}},
      {flood + "; sword last;", {"sword last 1", Strings(100, M2("bad"))}}};
  for (const auto& [body, expected] : cases) {
    EXPECT_EQ(Load("struct T {\n" + body + "\n}\n", "T"), expected) << body.substr(0, 20);
  }
}
