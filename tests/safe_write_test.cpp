#include "datafile/safe_write.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

TEST(SafeFileWriter, PiecesOfAnySizeArriveInOrder) {
  TempDir dir;
  const std::string target = dir.File("out.csv");
  std::string expected;
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  // Small pieces fill the buffer; a large one passes it; an empty one is no write at all.
  for (std::size_t size : {1u, 100u, 0u, 70000u, 3u, 65535u, 65536u, 200000u, 7u}) {
    std::string piece(size, static_cast<char>('a' + size % 26));
    piece.append(size ? "\r\n" : "");
    expected += piece;
    ASSERT_TRUE(writer.Write(piece));
  }
  EXPECT_FALSE(FileExists(target));  // nothing reaches the target before Commit
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadBytes(target), expected);
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"out.csv"});

  EXPECT_FALSE(writer.Write("late"));  // a committed writer is closed
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(ReadBytes(target), expected);
}

TEST(SafeFileWriter, UncommittedWritesNeverReachTheTarget) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "original");
  {
    SafeFileWriter writer;
    ASSERT_TRUE(writer.Open(target));
    ASSERT_TRUE(writer.Write(std::string(100000, 'x')));
    EXPECT_EQ(ListFolder(dir.Path()).size(), 2u);  // the temporary sits beside the target
  }
  EXPECT_EQ(ReadBytes(target), "original");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"data.bin"});

  // Opening again drops the first temporary; only the second content lands.
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("first"));
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("second"));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadBytes(target), "second");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"data.bin"});

  SafeFileWriter unopened;
  EXPECT_FALSE(unopened.Write("x"));
  EXPECT_FALSE(unopened.Commit());
}

TEST(SafeFileWriter, LongAndTwoByteNamesGetATemporaryInTheSameFolder) {
  TempDir dir;
  // The target's name leaves no room for the temporary's suffix within the system's limit
  // (a 255-byte name on POSIX, a 260-byte path on Windows); 構 ends in the byte 0x5C.
#ifdef _WIN32
  const std::size_t nameBytes = 250 - dir.Path().size();
#else
  const std::size_t nameBytes = 250;
#endif
  // Wine keeps names in UTF-8 on the host, where 構 takes 3 bytes of the 255: some ASCII fill.
  std::string name;
  for (int i = 0; i < 40; ++i) name += "構";
  name.append(nameBytes - name.size() - 4, 'a');
  name += ".bin";
  const std::string target = dir.File(name);
  WriteBytes(target, "old");
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("new"));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{name});
}

#ifdef _WIN32

TEST(SafeFileWriter, TargetLockedBeforeCommitIsLeftAlone) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "original");
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("replacement"));
  HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(writer.Commit());
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(target), "original");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"data.bin"});
}

#else

TEST(SafeFileWriter, ReplacementKeepsModeAndLinks) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("new"));
  ASSERT_TRUE(writer.Commit());
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  // A new file gets the usual mode for new files.
  const mode_t mask = umask(022);
  ASSERT_TRUE(writer.Open(dir.File("fresh.bin")));
  ASSERT_TRUE(writer.Commit());
  umask(mask);
  ASSERT_EQ(stat(dir.File("fresh.bin").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);

  // Saving through a symbolic link replaces the file it points to and keeps the link.
  ASSERT_EQ(symlink("data.bin", dir.File("link.bin").c_str()), 0);
  ASSERT_TRUE(writer.Open(dir.File("link.bin")));
  ASSERT_TRUE(writer.Write("through the link"));
  ASSERT_TRUE(writer.Commit());
  ASSERT_EQ(lstat(dir.File("link.bin").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadBytes(target), "through the link");
  EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"data.bin", "fresh.bin", "link.bin"}));
}

#endif

}  // namespace
