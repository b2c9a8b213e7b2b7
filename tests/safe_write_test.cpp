#include "datafile/safe_write.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Names = std::vector<std::string>;

TEST(SafeFileWriter, PiecesArriveInOrderOnlyAtCommit) {
  TempDir dir;
  const std::string target = dir.File("out.csv");
  WriteBytes(target, "original");
  {
    SafeFileWriter dropped;  // never committed: its temporary goes with it
    ASSERT_TRUE(dropped.Open(target) && dropped.Write(std::string(100000, 'x')));
    EXPECT_EQ(ListFolder(dir.Path()).size(), 2u);
  }
  EXPECT_EQ(ListFolder(dir.Path()), Names{"out.csv"});

  // Opening again drops the first temporary. Small pieces fill the buffer, a large one passes
  // it, an empty one is no write at all.
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target) && writer.Write("first") && writer.Open(target));
  std::string expected;
  for (std::size_t size : {1u, 100u, 0u, 70000u, 3u, 65535u, 65536u, 200000u, 60000u, 9000u}) {
    const std::string piece =
        size ? std::string(size, static_cast<char>('a' + size % 26)) + "\r\n" : "";
    expected += piece;
    ASSERT_TRUE(writer.Write(piece));
  }
  EXPECT_EQ(ReadBytes(target), "original");
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadBytes(target), expected);
  EXPECT_EQ(ListFolder(dir.Path()), Names{"out.csv"});
  EXPECT_FALSE(writer.Write("late") || writer.Commit());  // a committed writer is closed
  SafeFileWriter unopened;
  EXPECT_FALSE(unopened.Write("x") || unopened.Commit());
  EXPECT_EQ(ReadBytes(target), expected);
}

TEST(SafeFileWriter, LongAndTwoByteNamesGetATemporaryInTheSameFolder) {
  TempDir dir;
  // No room for the temporary's suffix within the system's limit (255-byte name on POSIX,
  // 260-byte path on Windows); Wine keeps names in UTF-8, where 構 takes 3 bytes.
#ifdef _WIN32
  const std::size_t nameBytes = 250 - dir.Path().size();
#else
  const std::size_t nameBytes = 250;
#endif
  std::string name;
  for (int i = 0; i < 40; ++i) name += "構";
  name += std::string(nameBytes - name.size() - 4, 'a') + ".bin";
  WriteBytes(dir.File(name), "old");
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(dir.File(name)) && writer.Write("1") && writer.Commit());
  EXPECT_EQ(ReadBytes(dir.File(name)), "1");
#ifndef _WIN32
  // A name without a folder part, in the working folder.
  EXPECT_EQ(InChild([&] {
              return chdir(dir.Path().c_str()) == 0 && writer.Open(name) && writer.Write("2") &&
                     writer.Commit();
            }), 1);
  EXPECT_EQ(ReadBytes(dir.File(name)), "2");
#endif
  EXPECT_EQ(ListFolder(dir.Path()), Names{name});
}

#ifdef _WIN32

TEST(SafeFileWriter, TargetLockedBeforeCommitIsLeftAlone) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "original");
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(target) && writer.Write("replacement"));
  HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(writer.Commit());
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(target), "original");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
}

#else

TEST(SafeFileWriter, ReplacementKeepsModeAndLinks) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteBytes(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  SafeFileWriter writer;
  auto mode = [](const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
  };
  ASSERT_TRUE(writer.Open(target) && writer.Write("new") && writer.Commit());
  EXPECT_EQ(mode(target) & 07777, 0640u);
  const mode_t mask = umask(022);  // a new file gets the usual mode
  ASSERT_TRUE(writer.Open(dir.File("fresh.bin")) && writer.Commit());
  umask(mask);
  EXPECT_EQ(mode(dir.File("fresh.bin")) & 07777, 0644u);
  // Through a symbolic link: the file it points to is replaced, the link stays.
  ASSERT_EQ(symlink("data.bin", dir.File("link.bin").c_str()), 0);
  ASSERT_TRUE(writer.Open(dir.File("link.bin")) && writer.Write("via link") && writer.Commit());
  EXPECT_TRUE(S_ISLNK(mode(dir.File("link.bin"))));
  EXPECT_EQ(ReadBytes(target), "via link");
  ASSERT_EQ(symlink("missing.bin", dir.File("dangling.bin").c_str()), 0);
  EXPECT_FALSE(writer.Open(dir.File("dangling.bin")));
  EXPECT_EQ(ListFolder(dir.Path()), (Names{"dangling.bin", "data.bin", "fresh.bin", "link.bin"}));
}

// Each replacement gives back every descriptor it opened: with room for few, many still work.
TEST(SafeFileWriter, ManyReplacementsLeakNoDescriptor) {
  TempDir dir;
  WriteBytes(dir.File("data.bin"), "old");
  EXPECT_EQ(InChild([&] {
              const rlimit few{32, 32};
              bool saved = setrlimit(RLIMIT_NOFILE, &few) == 0;
              for (int i = 0; i < 64 && saved; ++i) {
                SafeFileWriter writer;
                saved = writer.Open(dir.File("data.bin")) && writer.Write("new") && writer.Commit();
              }
              return saved;
            }), 1);
}

// A disk that fills part way: the second piece makes the buffer spill and the write fail, and
// the commit after it fails too, leaving the earlier file whole and no temporary; with room
// enough the same pieces succeed.
TEST(SafeFileWriter, WriteCutShortByTheFileSizeLimit) {
  TempDir dir;
  const std::string target = dir.File("target.bin");
  const std::string first(60000, 'a'), second(10000, 'b');
  WriteBytes(target, "the earlier target");
  auto save = [&](rlim_t limit) {
    return InChild([&] {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit fileSize{limit, limit};
      SafeFileWriter writer;
      if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0 || !writer.Open(target)) return 2;
      writer.Write(first);
      writer.Write(second);
      return writer.Commit() ? 1 : 0;
    });
  };
  EXPECT_EQ(save(30000), 0);
  EXPECT_EQ(ReadBytes(target), "the earlier target");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"target.bin"});
  EXPECT_EQ(save(64 << 20), 1);
  EXPECT_EQ(ReadBytes(target), first + second);
}

#endif

}  // namespace
