#include "e2e_fixture.h"

#include <winioctl.h>  // after <windows.h>, which the fixture brings

namespace e2e {
namespace {

// Random bytes and huge counts in struct.def are in the definition error test.
using HostileInputTest = VelmoraE2eTest;

// Gigabytes of apparent size that take no disk space where the file system allows.
bool MakeSparseFile(const std::string& path, LONGLONG size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = size;
  DWORD written = 0;
  const bool made = WriteFile(file, "1234567", 7, &written, nullptr) && written == 7 &&
                    SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return made;
}

TEST_F(HostileInputTest, DataFilesThatCannotBeReadOrWritten) {
  WriteStructDef("struct Rec { ubyte a; uword b; }\r\n");
  const std::string huge = PathIn("huge.bin");
  ASSERT_TRUE(MakeSparseFile(huge, (LONGLONG{1} << 32) + 7));
  const std::string tiny = PathIn("tiny.bin");
  WriteBytes(tiny, "\x2A");
  const std::string folder = PathIn("folder");
  ASSERT_TRUE(MakeFolder(folder));
  const std::string lockedFolder = PathIn("ロック表");
  ASSERT_TRUE(MakeFolder(lockedFolder));
  const std::string locked = lockedFolder + "\\表ソ.bin";
  WriteBytes(locked, "locked");
  ASSERT_TRUE(Start());
  const std::string started = Status();

  // Nothing loaded yet: the write refuses and creates no file. An empty path does nothing.
  const std::string early = PathIn("early.bin");
  ASSERT_TRUE(Press(ids::kWriteButton, early));
  ASSERT_TRUE(AnswerBox("Error Message", "データがありません"));
  ASSERT_TRUE(Press(ids::kReadButton, ""));
  ASSERT_TRUE(Press(ids::kWriteButton, ""));
  EXPECT_TRUE(NoModalAppears());
  // Missing, and over 4 GiB: refused at once, and the program goes on answering.
  const std::string missing = PathIn("missing.bin");
  ASSERT_TRUE(ReadFails(missing));
  ASSERT_TRUE(ReadFails(huge));
  EXPECT_EQ(Status(), started);

  ASSERT_TRUE(Read(tiny));
  EXPECT_EQ(RowCount(), 1);
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "42", ""));
  // A failed read keeps the data read before it, so nothing of it is lost.
  for (const std::string& path : {missing, huge, folder}) ASSERT_TRUE(ReadFails(path));
  const std::string copy = PathIn("copy.bin");
  ASSERT_TRUE(Write(copy));
  EXPECT_EQ(ReadBytes(copy), "\x2A");
  const std::string written = Status();
  ASSERT_TRUE(WriteFails(PathIn("missing-folder\\out.bin")));
  ASSERT_TRUE(WriteFails(folder));
  EXPECT_EQ(Status(), written);

  // Held open by another process without sharing: neither read nor replaced.
  HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(ReadFails(locked));
  EXPECT_TRUE(WriteFails(locked));
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(locked), "locked");
  EXPECT_THAT(ListFolder(lockedFolder), ElementsAre("表ソ.bin"));

  // The data read before every failure is still there, and the files are as they were.
  EXPECT_THAT(Row(0), ElementsAre("0", "00000000", "42", ""));
  EXPECT_EQ(ReadBytes(tiny), "\x2A");
  EXPECT_THAT(ListFolder(Folder()),
              ElementsAre("copy.bin", "folder", "huge.bin", "struct.def", "tiny.bin", "ロック表"));
  EXPECT_TRUE(ListFolder(folder).empty());
}

// A list view holds at most 100,000,000 rows: the program shows that many and says so, rather
// than dropping the rest silently.
TEST_F(HostileInputTest, MoreRecordsThanTheListHolds) {
  WriteStructDef("struct Byte { ubyte b; }\r\n");
  const std::string big = PathIn("big.bin");
  ASSERT_TRUE(MakeSparseFile(big, 100'000'002));
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
