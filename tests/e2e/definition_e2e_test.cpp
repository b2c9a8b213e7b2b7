#include <random>

#include "e2e_fixture.h"

namespace e2e {
namespace {

using DefinitionErrorTest = VelmoraE2eTest;

constexpr char kCaption[] = "\\struct.def 定義エラー";

// Random bytes first, for the listing pass; then a broken structure, a clean one, one whose
// every token is a bad type name and one with a count past 64 bits.
TEST_F(DefinitionErrorTest, EachLoadShowsItsErrorsOneBoxEachInFileOrder) {
  std::mt19937 random(5);
  std::string definitions(4096, '\0');
  for (char& c : definitions) c = static_cast<char>(random());
  definitions +=
      "\r\nstruct Bad {\n"
      "  ubyte a;\n"
      "  foo x;\n"
      "  ;\n"
      "  uword ; b;\n"
      "  xbyte c [4\n"
      "  ;\n"
      "}\n"
      "struct Good { slong g; }\n"
      "struct R {\r\n";
  std::vector<std::string> tokens(5);
  for (std::string& token : tokens) {
    token = "q";
    while (token.size() < 12) {
      const char c = static_cast<char>(0x21 + random() % 0x5E);
      if (c != '}' && c != '[' && c != ';') token += c;
    }
    definitions += token + " ";
  }
  definitions += "}\r\nstruct H { ubyte a [99999999999999999999]; xword b; }\r\n";
  WriteStructDef(definitions);
  ASSERT_TRUE(Launch());

  // The first structure is loaded while the main window is being created, before it shows.
  auto expectBadBoxes = [&] {
    for (const char* text : {"\"foo\"は定義された型ではありません",
                             "\"x;\"は定義された型ではありません",
                             "型が宣言されていないうちに\";\"を検出しました",
                             "要素名が宣言されていないうちに定義の終わりを検出しました",
                             "配列の定義が不正です"}) {
      EXPECT_TRUE(AnswerBox(kCaption, text));
    }
  };
  expectBadBoxes();
  ASSERT_TRUE(Shown());
  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込みました。"));
  EXPECT_THAT(Structures(), ElementsAre("Bad", "Good", "R", "H"));
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "a", "b", "c"));

  // Every load reads the file again and reports again; a clean structure reports nothing.
  ASSERT_TRUE(SelectStructure(1));
  EXPECT_TRUE(NoModalAppears());
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "g"));
  ASSERT_TRUE(SelectStructure(0));
  expectBadBoxes();
  ASSERT_TRUE(Settle());
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "a", "b", "c"));

  ASSERT_TRUE(SelectStructure(2));
  for (const std::string& token : tokens) {
    ASSERT_TRUE(AnswerBox(kCaption, Quoted(token) + "は定義された型ではありません"));
  }
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address"));
  // The saturated count is an invalid array: one box, one element.
  ASSERT_TRUE(SelectStructure(3));
  ASSERT_TRUE(AnswerBox(kCaption, "配列の定義が不正です"));
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "a", "b"));
  EXPECT_TRUE(NoModalAppears());
}

}  // namespace
}  // namespace e2e
