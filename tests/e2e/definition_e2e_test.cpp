#include <gmock/gmock.h>

#include "e2e_fixture.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

using DefinitionErrorTest = VelmoraE2eTest;

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
    for (const char* text : {"\"foo\"は定義された型ではありません",
                             "\"x;\"は定義された型ではありません",
                             "型が宣言されていないうちに\";\"を検出しました",
                             "要素名が宣言されていないうちに定義の終わりを検出しました",
                             "配列の定義が不正です"}) {
      EXPECT_TRUE(AnswerBox("\\struct.def 定義エラー", text));
    }
  };
  expectBoxes();
  ASSERT_TRUE(Shown());
  EXPECT_TRUE(StatusIs("構造体定義ファイルを読み込みました。"));
  EXPECT_THAT(Structures(), ElementsAre("Bad", "Good"));
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "a", "b", "c"));

  // Every load reads the file again and reports again; a clean structure reports nothing.
  ASSERT_TRUE(SelectStructure(1));
  EXPECT_TRUE(NoModalAppears());
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "g"));
  ASSERT_TRUE(SelectStructure(0));
  expectBoxes();
  ASSERT_TRUE(Settle());
  EXPECT_THAT(Headers(), ElementsAre("No.", "Address", "a", "b", "c"));
  EXPECT_TRUE(NoModalAppears());
}

}  // namespace
}  // namespace e2e
