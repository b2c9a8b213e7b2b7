#include "e2e_fixture.h"

#include <winioctl.h>  // after <windows.h>, which the fixture brings

namespace e2e {
namespace {

using RowLimitTest = VelmoraE2eTest;

// A list view holds at most 100,000,000 rows: the program shows that many and says so, rather
// than dropping the rest silently. The file is sparse where the file system allows.
TEST_F(RowLimitTest, MoreRecordsThanTheListHolds) {
  WriteStructDef("struct Byte { ubyte b; }\r\n");
  const std::string big = PathIn("big.bin");
  HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = 100'000'002;
  const bool made = WriteFile(file, "1", 1, &returned, nullptr) &&
                    SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  ASSERT_TRUE(made);
  ASSERT_TRUE(Start());

  ASSERT_TRUE(Press(ids::kReadButton, big));
  ASSERT_TRUE(AnswerBox("表示件数の上限",
                        "レコードが100000002件あります。一覧に表示できるのは先頭の100000000件"
                        "までです。\r\nそれより後のレコードは表示されませんが、CSVエクスポート"
                        "にはすべて含まれます。"));
  ASSERT_TRUE(StatusIs("データ" + Quoted(big) + "を読み込みました"));
  EXPECT_EQ(RowCount(), 100'000'000);
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "49"));
  EXPECT_THAT(Row(99'999'999), ElementsAre("99999999", "05F5E0FF", "0"));
}

}  // namespace
}  // namespace e2e
