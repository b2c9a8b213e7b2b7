// What Windows attaches to a file outlives a save; Wine shows the attributes. Access control
// lists, owners and creation times need a real Windows volume.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "datafile/safe_write.h"
#include "test_support.h"

namespace {

using Names = std::vector<std::string>;
constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

DWORD KeptAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()) & kKept; }

// `meanwhile` is what another program does between Open and Commit.
bool Save(const std::string& target, const std::function<void()>& meanwhile = {}) {
  SafeFileWriter writer;
  if (!writer.Open(target) || !writer.Write("new\r\n")) return false;
  if (meanwhile) meanwhile();
  return writer.Commit();
}

// Hidden and system stay; the new content is marked for backup (archive).
TEST(SafeFileWriterOnWindows, ReplacingKeepsTheTargetsAttributes) {
  const std::pair<DWORD, DWORD> cases[] = {  // before, after
      {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_ARCHIVE},
      {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, kKept},
  };
  for (const auto& [before, after] : cases) {
    TempDir dir;
    const std::string target = dir.File("data.bin");
    WriteBytes(target, "old bytes");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), before));
    ASSERT_TRUE(Save(target)) << before;
    EXPECT_EQ(ReadBytes(target), "new\r\n");
    EXPECT_EQ(KeptAttributes(target), after);
    EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
  }
}

// A target gone before Commit is created whole; one that another program holds without
// sharing keeps its bytes and attributes. No temporary is left either way.
TEST(SafeFileWriterOnWindows, WhatOthersDoToTheTargetMeanwhile) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "old");
  ASSERT_TRUE(Save(target, [&] { DeleteFileA(target.c_str()); }));
  EXPECT_EQ(ReadBytes(target), "new\r\n");

  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  HANDLE held = INVALID_HANDLE_VALUE;
  EXPECT_FALSE(Save(target, [&] {
    held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }));
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(KeptAttributes(target), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
}

}  // namespace
#endif
