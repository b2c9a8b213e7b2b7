#include "e2e_fixture.h"

namespace e2e {

using PackageTest = VelmoraE2eTest;

// The program unzipped into a folder of its own, named by scripts/package-test.sh; else skipped.
TEST_F(PackageTest, UnpackedProgramShowsTheExamples) {
  const char* folder = std::getenv("VELMORA_PACKAGE_DIR");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "no VELMORA_PACKAGE_DIR";
  ASSERT_TRUE(Launch(folder) && Shown());
  const std::string items = folder + std::string("\\items.bin");
  ASSERT_TRUE(Press(IDC_READ_BUTTON, items) &&
              StatusIs("データ" + Quoted(items) + "を読み込みました"));
  ASSERT_EQ(Ask(List(), LVM_GETITEMCOUNT), 48);  // 1728 bytes of 36-byte records
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "1000", "ポーション", "2", "4", "81", "675",
                                  "439", "0100", "74", "198", "250", "202"));
}

}  // namespace e2e
