#include "datafile/data_buffer.h"

#include "test_support.h"

TEST(DataBuffer, SaveThenLoadGivesTheSameBytes) {
  TempDir dir;
  std::string all(256, 0);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
  // 表 is 95 5C and ソ 83 5C: a byte-wise path keeps each whole.
  ASSERT_TRUE(MakeFolder(dir.File("データ表")));
  WriteBytes(dir.File("longer.bin"), std::string(4000, 'L'));
  for (const std::string& content : {all + "\r\n\x1A\r\r\n", std::string()}) {
    for (const std::string& path : {dir.File("new.bin"), dir.File("longer.bin"),
                                    dir.File("データ表") + kSeparator + "出力ソ.bin"}) {
      DataBuffer again = Holding("earlier");
      ASSERT_TRUE(SaveDataFile(Holding(content), path) && LoadDataFile(again, path)) << path;
      EXPECT_EQ(Contents(again), content) << path;
    }
  }
  EXPECT_FALSE(SaveDataFile(DataBuffer{}, dir.File("nothing.bin")));  // nothing loaded
  EXPECT_EQ(ListFolder(dir.Path()), (Names{"longer.bin", "new.bin", "データ表"}));
}

// Refused at once, leaving the bytes in memory (edits included) and every file as they were.
struct Refusals : ::testing::Test {
  void SetUp() override {
    WriteBytes(dir.File("data.bin"), "0123456789");
    ASSERT_TRUE(LoadDataFile(data, dir.File("data.bin")));
    data.bytes[3] = 'X';  // an unsaved edit
    WriteBytes(target, "old");
  }
  void TearDown() override {
    EXPECT_EQ(Contents(data) + ReadBytes(dir.File("data.bin")), "012X4567890123456789");
  }
  TempDir dir;
  DataBuffer data;
  const std::string target = dir.File("target.bin");
};

TEST_F(Refusals, MissingPathsAndFolders) {
  EXPECT_FALSE(LoadDataFile(data, dir.File("missing.bin")));
  for (const std::string& path : {dir.File("no") + kSeparator + "a", std::string(), dir.Path()})
    EXPECT_FALSE(LoadDataFile(data, path) || SaveDataFile(data, path)) << path;
  EXPECT_EQ(ListFolder(dir.Path()), (Names{"data.bin", "target.bin"}));
}

#ifdef _WIN32
TEST_F(Refusals, LockedAndReadOnlyFiles) {
  HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(LoadDataFile(data, target) || SaveDataFile(data, target));
  CloseHandle(lock);
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(SaveDataFile(data, target));
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ReadBytes(target), "old");
}
#else
// A FIFO would block a plain open (the deadline fails that); each refusal frees its descriptor.
TEST_F(Refusals, FifoIsRefusedWithoutBlocking) {
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(InChild(
                [&] {
                  const rlimit few{32, 32};
                  int refused = setrlimit(RLIMIT_NOFILE, &few) == 0 ? 0 : 100;
                  while (refused < 64 && !LoadDataFile(data, dir.File("fifo"))) ++refused;
                  return refused == 64 && LoadDataFile(data, dir.File("data.bin"));
                },
                5),
            1);
}

// Sparse; its first bytes would look like a 10-byte file if the size were cut to 32 bits.
TEST_F(Refusals, OverFourGigabytesFailsWithoutAllocating) {
  for (off_t size : {off_t{1} << 32, (off_t{1} << 32) + 7}) {
    WriteBytes(target, "1234567890");
    EXPECT_FALSE(truncate(target.c_str(), size) != 0 || LoadDataFile(data, target)) << size;
  }
}

TEST_F(Refusals, UnreadableAndReadOnlyFilesForAnOrdinaryUser) {
  for (const std::string& owned : {dir.Path(), target})  // to the user the child becomes
    ASSERT_TRUE(geteuid() != 0 || chown(owned.c_str(), 65534, 65534) == 0);
  auto asUser = [&](auto step) { return InChild([&] { return DropRoot() ? step() : 2; }); };
  if (asUser([] { return 0; }) == 2) GTEST_SKIP() << "cannot run as an unprivileged user";
  const auto save = [&] { return SaveDataFile(data, target); };
  for (mode_t mode : {0, 0444, 0666}) {  // unreadable, read-only, in a folder without room
    ASSERT_EQ(chmod(target.c_str(), mode), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), mode == 0666 ? 0555 : 0755), 0);
    EXPECT_EQ(asUser([&] { return mode ? save() : LoadDataFile(data, target); }), 0);
  }
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(asUser(save), 1);  // the same user can
}
#endif
