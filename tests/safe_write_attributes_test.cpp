// What Windows attaches to a file outlives a save; what Wine can show of it is tested here
// (attributes). Access control lists, owners and creation times need a real Windows volume.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "datafile/safe_write.h"
#include "test_support.h"

namespace {

using Names = std::vector<std::string>;
constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

DWORD KeptAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()) & kKept; }

// Hidden and system stay; the new content is marked for backup (archive).
TEST(SafeFileWriterOnWindows, ReplacingKeepsTheTargetsAttributes) {
  const struct {
    DWORD before;
    DWORD after;
  } cases[] = {
      {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_ARCHIVE},
      {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, kKept},
  };
  for (const auto& [before, after] : cases) {
    TempDir dir;
    const std::string target = dir.File("data.bin");
    WriteBytes(target, "old bytes");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), before));
    SafeFileWriter writer;
    ASSERT_TRUE(writer.Open(target));
    ASSERT_TRUE(writer.Write("new\r\n"));
    ASSERT_TRUE(writer.Commit()) << before;
    EXPECT_EQ(ReadBytes(target), "new\r\n");
    EXPECT_EQ(KeptAttributes(target), after);
    EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
  }
}

// Where there is nothing to replace any more, the new content still arrives whole.
TEST(SafeFileWriterOnWindows, ATargetGoneBeforeCommitIsCreated) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "old");
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("new"));
  ASSERT_TRUE(DeleteFileA(target.c_str()));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
}

// Another program that opened the target without sharing it between Open and Commit: the
// save fails, the target keeps its bytes and its attributes, and no temporary is left.
TEST(SafeFileWriterOnWindows, ATargetHeldByAnotherProgramStaysAsItWas) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("new"));
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(writer.Commit());
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(KeptAttributes(target), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
}

}  // namespace
#endif
