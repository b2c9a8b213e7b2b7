#include "datafile/data_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "datafile/safe_write.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Names = std::vector<std::string>;

TEST(DataBuffer, SaveThenLoadGivesTheSameBytes) {
  TempDir dir;
  std::string original;
  for (int i = 0; i < 256; ++i) original.push_back(static_cast<char>(i));
  original += "\r\n\x1A\r\r\n\n\x1A";
  // 表 is 95 5C and ソ 83 5C: a byte-wise path keeps each whole.
  const std::string folder = dir.File("データ表");
  ASSERT_TRUE(MakeFolder(folder));
  WriteBytes(dir.File("longer.bin"), std::string(4000, 'L'));
  for (std::string_view content : {std::string_view(original), std::string_view()}) {
    for (const std::string& path : {dir.File("new.bin"), dir.File("longer.bin"),
                                    folder + kSeparator + "出力ソ.bin"}) {
      DataBuffer again = Holding("earlier");
      ASSERT_TRUE(SaveDataFile(Holding(content), path)) << path;
      ASSERT_TRUE(LoadDataFile(again, path)) << path;
      EXPECT_TRUE(again.HasBytes());
      EXPECT_EQ(Contents(again), content) << path;
    }
  }
  EXPECT_FALSE(SaveDataFile(DataBuffer{}, dir.File("nothing.bin")));  // nothing loaded
  EXPECT_EQ(ListFolder(dir.Path()), (Names{"longer.bin", "new.bin", "データ表"}));
}

// What cannot be read or written is refused at once, and the bytes in memory, edits
// included, and every file stay as they were.
struct Refusals : ::testing::Test {
  void SetUp() override {
    WriteBytes(dir.File("data.bin"), "0123456789");
    ASSERT_TRUE(LoadDataFile(data, dir.File("data.bin")));
    data.bytes[3] = 'X';  // an unsaved edit
  }
  void ExpectNothingChanged(const Names& files = {"data.bin"}) {
    EXPECT_EQ(Contents(data), "012X456789");
    EXPECT_EQ(ReadBytes(dir.File("data.bin")), "0123456789");
    EXPECT_EQ(ListFolder(dir.Path()), files);
  }
  TempDir dir;
  DataBuffer data;
};

TEST_F(Refusals, MissingPathsAndFolders) {
  const std::string noFolder = dir.File("no") + kSeparator + "a.bin";
  for (const std::string& path : {dir.File("missing.bin"), noFolder, std::string(), dir.Path()}) {
    EXPECT_FALSE(LoadDataFile(data, path)) << path;
    EXPECT_FALSE(path != dir.File("missing.bin") && SaveDataFile(data, path)) << path;
  }
  ExpectNothingChanged();
}

#ifdef _WIN32

TEST_F(Refusals, LockedAndReadOnlyFiles) {
  const std::string target = dir.File("target.bin");
  WriteBytes(target, "old");
  HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(LoadDataFile(data, target));
  EXPECT_FALSE(SaveDataFile(data, target));
  CloseHandle(lock);
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(SaveDataFile(data, target));
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ReadBytes(target), "old");
  ExpectNothingChanged({"data.bin", "target.bin"});

  // Loading shares the file with a program that has it open for writing.
  HANDLE shared = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  ASSERT_NE(shared, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(LoadDataFile(data, target));
  EXPECT_EQ(Contents(data), "old");
  CloseHandle(shared);
}

#else

// A FIFO with no writer would block a plain open forever: the child's deadline turns that into
// a failure. Each refusal gives its descriptor back, so with room for few, many refusals still
// leave one for the next load.
TEST_F(Refusals, FifoIsRefusedWithoutBlocking) {
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(InChild([&] {
              const rlimit few{32, 32};
              bool refused = setrlimit(RLIMIT_NOFILE, &few) == 0;
              for (int i = 0; i < 64; ++i)
                refused = refused && !LoadDataFile(data, dir.File("fifo"));
              return refused && LoadDataFile(data, dir.File("data.bin"));
            }, 5), 1);
  unlink(dir.File("fifo").c_str());
  ExpectNothingChanged();
}

TEST_F(Refusals, OverFourGigabytesFailsWithoutAllocating) {
  for (off_t size : {off_t{1} << 32, (off_t{1} << 32) + 7}) {
    // Sparse, and its first bytes would look like a 10-byte file if the size were cut to 32 bits.
    WriteBytes(dir.File("huge.bin"), "1234567890");
    ASSERT_EQ(truncate(dir.File("huge.bin").c_str(), size), 0);
    EXPECT_FALSE(LoadDataFile(data, dir.File("huge.bin"))) << size;
  }
  unlink(dir.File("huge.bin").c_str());
  ExpectNothingChanged();
}

TEST_F(Refusals, UnreadableAndReadOnlyFilesForAnOrdinaryUser) {
  const std::string target = dir.File("target.bin");
  WriteBytes(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0), 0);
  for (const std::string& owned : {dir.Path(), target}) {  // to the user the child becomes
    ASSERT_TRUE(geteuid() != 0 || chown(owned.c_str(), 65534, 65534) == 0);
  }
  auto asUser = [&](auto step) { return InChild([&] { return DropRoot() ? step() : 2; }); };
  if (asUser([] { return 0; }) == 2) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(asUser([&] { return LoadDataFile(data, target); }), 0);
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  EXPECT_EQ(asUser([&] { return SafeFileWriter().Open(target); }), 0);
  // A writable file in a folder where no temporary can be made.
  ASSERT_EQ(chmod(target.c_str(), 0666), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
  EXPECT_EQ(asUser([&] { return SaveDataFile(data, target); }), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  EXPECT_EQ(ReadBytes(target), "old");
  ExpectNothingChanged({"data.bin", "target.bin"});
  EXPECT_EQ(asUser([&] { return SaveDataFile(data, target); }), 1);  // the same user can
}

#endif

}  // namespace
