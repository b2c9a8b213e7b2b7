#include <gmock/gmock.h>

#include "e2e_fixture.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

using DefinitionErrorTest = VelmoraE2eTest;

constexpr char kCaption[] = "\\struct.def 定義エラー";

TEST_F(DefinitionErrorTest, ErrorsAreShownOneBoxEachInFileOrder) {
  WriteStructDef(
      "struct Bad {\n"
      "  ubyte a;\n"
      "  foo x;\n"
      "  ;\n"
      "  uword ; b;\n"
      "  xbyte c [4\n"
      "  ;\n"
      "}\n"
      "struct Good { slong g; }\n");
  ASSERT_TRUE(Launch());

  // The first structure is loaded while the main window is being created, before it shows.
  auto expectBoxes = [&] {
    EXPECT_TRUE(AnswerBox(kCaption, "\"foo\"は定義された型ではありません"));
    EXPECT_TRUE(AnswerBox(kCaption, "\"x;\"は定義された型ではありません"));
    EXPECT_TRUE(AnswerBox(kCaption, "型が宣言されていないうちに\";\"を検出しました"));
    EXPECT_TRUE(AnswerBox(kCaption, "要素名が宣言されていないうちに定義の終わりを検出しました"));
    EXPECT_TRUE(AnswerBox(kCaption, "配列の定義が不正です"));
  };
  expectBoxes();
  ASSERT_TRUE(App().WaitShown());
  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込みました。"));
  EXPECT_THAT(App().Structures(), ElementsAre("Bad", "Good"));
  EXPECT_THAT(App().Headers(), ElementsAre("No.", "Address", "a", "b", "c"));

  // Every load reads the file again and reports again; a clean structure reports nothing.
  ASSERT_TRUE(App().SelectStructure(1));
  EXPECT_TRUE(NoModalAppears());
  EXPECT_THAT(App().Headers(), ElementsAre("No.", "Address", "g"));
  ASSERT_TRUE(App().SelectStructure(0));
  expectBoxes();
  ASSERT_TRUE(App().Settle());
  EXPECT_THAT(App().Headers(), ElementsAre("No.", "Address", "a", "b", "c"));
  EXPECT_TRUE(NoModalAppears());
}

}  // namespace
}  // namespace e2e
