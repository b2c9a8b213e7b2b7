#include "datafile/data_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "datafile/safe_write.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#endif

namespace {

#ifdef _WIN32
constexpr char kSeparator[] = "\\";
#else
constexpr char kSeparator[] = "/";
#endif

std::string AllByteValues() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  return bytes + "\r\n\x1A\r\r\n\n\x1A";
}

std::string Contents(const DataBuffer& data) {
  return std::string(reinterpret_cast<const char*>(data.bytes.get()), data.byteCount);
}

DataBuffer Holding(std::string_view bytes) {
  DataBuffer data;
  data.byteCount = static_cast<std::uint32_t>(bytes.size());
  data.bytes.reset(new std::uint8_t[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), data.bytes.get());
  return data;
}

TEST(DataBuffer, LoadAndSaveRoundTripByteForByte) {
  TempDir dir;
  const std::string original = AllByteValues();
  WriteBytes(dir.File("in.bin"), original);

  DataBuffer data;
  ASSERT_TRUE(LoadDataFile(data, dir.File("in.bin")));
  EXPECT_EQ(Contents(data), original);

  // A new file, then an existing longer file, then a CP932 name whose 構 ends in 0x5C.
  WriteBytes(dir.File("longer.bin"), std::string(4000, 'L'));
  for (const char* name : {"out.bin", "longer.bin", "構造.bin"}) {
    ASSERT_TRUE(SaveDataFile(data, dir.File(name))) << name;
    EXPECT_EQ(ReadBytes(dir.File(name)), original) << name;
    DataBuffer again;
    ASSERT_TRUE(LoadDataFile(again, dir.File(name)));
    EXPECT_EQ(Contents(again), original);
  }
  EXPECT_EQ(ListFolder(dir.Path()),
            (std::vector<std::string>{"in.bin", "longer.bin", "out.bin", "構造.bin"}));
}

TEST(DataBuffer, EmptyFileIsDataToo) {
  TempDir dir;
  WriteBytes(dir.File("empty.bin"), "");
  DataBuffer data = Holding("earlier");
  ASSERT_TRUE(LoadDataFile(data, dir.File("empty.bin")));
  EXPECT_TRUE(data.HasBytes());
  EXPECT_EQ(data.byteCount, 0u);

  WriteBytes(dir.File("target.bin"), "content that must go");
  ASSERT_TRUE(SaveDataFile(data, dir.File("target.bin")));
  EXPECT_EQ(ReadBytes(dir.File("target.bin")), "");

  DataBuffer nothing;
  EXPECT_FALSE(SaveDataFile(nothing, dir.File("target2.bin")));
  EXPECT_FALSE(FileExists(dir.File("target2.bin")));
}

TEST(DataBuffer, FailedLoadKeepsTheEarlierBytesAndEdits) {
  TempDir dir;
  WriteBytes(dir.File("data.bin"), "0123456789");
  DataBuffer data;
  ASSERT_TRUE(LoadDataFile(data, dir.File("data.bin")));
  data.bytes[3] = 'X';  // an unsaved edit
  const std::uint8_t* block = data.bytes.get();

  for (const std::string& path : {dir.File("missing.bin"), dir.Path(), dir.File("no/such.bin"),
                                  std::string()}) {
    EXPECT_FALSE(LoadDataFile(data, path)) << path;
    EXPECT_EQ(data.bytes.get(), block);
    EXPECT_EQ(Contents(data), "012X456789");
  }
#ifndef _WIN32
  // Not a regular file: a FIFO must neither hang nor load as an empty file.
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  int writer = open(dir.File("fifo").c_str(), O_RDWR | O_NONBLOCK);  // keeps fopen from blocking
  EXPECT_FALSE(LoadDataFile(data, dir.File("fifo")));
  close(writer);
  EXPECT_EQ(Contents(data), "012X456789");

  // A file of 4 GiB does not fit the 32-bit count; a sparse one costs no disk space.
  WriteBytes(dir.File("huge.bin"), "");
  if (truncate(dir.File("huge.bin").c_str(), std::int64_t{1} << 32) == 0) {
    EXPECT_FALSE(LoadDataFile(data, dir.File("huge.bin")));
    EXPECT_EQ(Contents(data), "012X456789");
  }
#endif
}

TEST(DataBuffer, FailedSaveLeavesTheTargetAlone) {
  TempDir dir;
  const DataBuffer data = Holding("new bytes");
  // A folder in the target's place, a missing folder, an empty path.
  ASSERT_EQ(ListFolder(dir.Path()).size(), 0u);
  WriteBytes(dir.File("keep.bin"), "old");
  for (const std::string& path :
       {dir.Path(), dir.File("missing") + kSeparator + "a.bin", std::string()}) {
    EXPECT_FALSE(SaveDataFile(data, path)) << path;
  }
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"keep.bin"});
  EXPECT_EQ(ReadBytes(dir.File("keep.bin")), "old");
}

#ifdef _WIN32

TEST(DataBuffer, ReadOnlyOrLockedTargetIsRefused) {
  TempDir dir;
  const DataBuffer data = Holding("new bytes");
  const std::string target = dir.File("target.bin");
  WriteBytes(target, "old");

  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(SaveDataFile(data, target));
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ReadBytes(target), "old");

  HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SaveDataFile(data, target));
  DataBuffer loaded = Holding("earlier");
  EXPECT_FALSE(LoadDataFile(loaded, target));
  EXPECT_EQ(Contents(loaded), "earlier");
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"target.bin"});

  // Loading shares the file with a program that has it open for writing.
  HANDLE shared = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  ASSERT_NE(shared, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(LoadDataFile(loaded, target));
  EXPECT_EQ(Contents(loaded), "old");
  CloseHandle(shared);
}

#else

// Runs `action` in a child process and returns what it returned, or -1 when the child could not
// run it. With `unprivileged`, the child first becomes the user "nobody" when we are root, since
// permission bits do not stop root.
int InChild(const std::function<bool()>& action, bool unprivileged = false) {
  pid_t child = fork();
  if (child == 0) {
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    _exit(action() ? 1 : 0);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 2 ? -1 : WEXITSTATUS(status);
}

// Makes the folder and its files belong to the user the unprivileged child runs as.
void HandOver(const TempDir& dir) {
  if (geteuid() != 0) return;
  ASSERT_EQ(chown(dir.Path().c_str(), 65534, 65534), 0);
  for (const std::string& name : ListFolder(dir.Path())) {
    ASSERT_EQ(chown(dir.File(name).c_str(), 65534, 65534), 0);
  }
}

TEST(DataBuffer, ReadOnlyTargetOrFolderIsRefused) {
  TempDir dir;
  const DataBuffer data = Holding("new bytes");
  const std::string target = dir.File("target.bin");
  WriteBytes(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  HandOver(dir);
  int saved = InChild([&] { return SaveDataFile(data, target); }, true);
  if (saved == -1) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadBytes(target), "old");

  // A writable file in a folder where no new file may be made: the temporary cannot exist.
  ASSERT_EQ(chmod(target.c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
  EXPECT_EQ(InChild([&] { return SaveDataFile(data, target); }, true), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"target.bin"});

  // Both are fine for the owner of a writable folder: the same child succeeds.
  EXPECT_EQ(InChild([&] { return SaveDataFile(data, target); }, true), 1);
  EXPECT_EQ(ReadBytes(target), "new bytes");
}

TEST(DataBuffer, FileSizeLimitHitWhileSavingKeepsTheTarget) {
  TempDir dir;
  const std::string target = dir.File("target.bin");
  WriteBytes(target, "old content");
  const DataBuffer big = Holding(std::string(1 << 20, 'B'));
  // The limit falls in the middle of the data: the first write succeeds in part, the next fails.
  auto underLimit = [](const std::function<bool()>& save) {
    return [save] {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit{100000, 100000};
      return setrlimit(RLIMIT_FSIZE, &limit) == 0 && save();
    };
  };
  EXPECT_EQ(InChild(underLimit([&] { return SaveDataFile(big, target); })), 0);
  EXPECT_EQ(ReadBytes(target), "old content");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"target.bin"});

  // The same through many small buffered writes, as the CSV writer makes them.
  EXPECT_EQ(InChild(underLimit([&] {
              SafeFileWriter writer;
              if (!writer.Open(target)) return true;  // must not count as the expected failure
              bool ok = true;
              for (int i = 0; i < 8000 && ok; ++i) ok = writer.Write("0123456789,abcdefghij\r\n");
              return ok && writer.Commit();
            })),
            0);
  EXPECT_EQ(ReadBytes(target), "old content");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"target.bin"});

  // Under the limit the same save succeeds, so the failures above came from the limit.
  const DataBuffer small = Holding(std::string(50000, 'S'));
  EXPECT_EQ(InChild(underLimit([&] { return SaveDataFile(small, target); })), 1);
  EXPECT_EQ(ReadBytes(target), std::string(50000, 'S'));
}

#endif

}  // namespace
