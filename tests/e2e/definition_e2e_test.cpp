#include "e2e_fixture.h"

namespace e2e {
namespace {

using DefinitionTest = VelmoraE2eTest;

// The first structure is loaded while the main window is being created: its error boxes come
// one by one in file order before the window shows; a clean structure loads without a box.
TEST_F(DefinitionTest, StartUpShowsTheErrorBoxesInFileOrderThenTheWindow) {
  WriteStructDef(
      "struct Bad {\n  ubyte a;\n  foo x;\n  ;\n  uword ; b;\n  xbyte c [4\n  ;\n}\n"
      "struct Good { slong g; }\n");
  ASSERT_TRUE(Launch());
  for (const char* text : {"\"foo\"は定義された型ではありません", "\"x;\"は定義された型ではありません",
                           "型が宣言されていないうちに\";\"を検出しました",
                           "要素名が宣言されていないうちに定義の終わりを検出しました",
                           "配列の定義が不正です"}) {
    ASSERT_TRUE(AnswerBox("\\struct.def 定義エラー", text));
  }
  ASSERT_TRUE(Shown());
  EXPECT_EQ(WindowText(Main()), "Velmora β版");
  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込みました。"));
  EXPECT_THAT(Structures(), ElementsAre("Bad", "Good"));
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "a", "b", "c"));
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "", "", ""));
  ASSERT_TRUE(SelectStructure(1));
  EXPECT_TRUE(NoModalAppears());
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "g"));
}

}  // namespace
}  // namespace e2e
