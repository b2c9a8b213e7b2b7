#include "datafile/data_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Names = std::vector<std::string>;

TEST(DataBuffer, LoadAndSaveRoundTripByteForByte) {
  TempDir dir;
  std::string original;
  for (int i = 0; i < 256; ++i) original.push_back(static_cast<char>(i));
  original += "\r\n\x1A\r\r\n\n\x1A";
  WriteBytes(dir.File("in.bin"), original);
  DataBuffer data;
  ASSERT_TRUE(LoadDataFile(data, dir.File("in.bin")));
  EXPECT_EQ(Contents(data), original);

  // A new file, an existing longer file, a CP932 name whose 構 ends in 0x5C.
  WriteBytes(dir.File("longer.bin"), std::string(4000, 'L'));
  for (const char* name : {"out.bin", "longer.bin", "構造.bin"}) {
    ASSERT_TRUE(SaveDataFile(data, dir.File(name))) << name;
    DataBuffer again;
    ASSERT_TRUE(LoadDataFile(again, dir.File(name)));
    EXPECT_EQ(Contents(again), original) << name;
  }
  EXPECT_EQ(ListFolder(dir.Path()), (Names{"in.bin", "longer.bin", "out.bin", "構造.bin"}));
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

  EXPECT_FALSE(SaveDataFile(DataBuffer{}, dir.File("target2.bin")));  // nothing loaded
  EXPECT_FALSE(FileExists(dir.File("target2.bin")));
}

TEST(DataBuffer, FailedLoadOrSaveChangesNothing) {
  TempDir dir;
  WriteBytes(dir.File("data.bin"), "0123456789");
  DataBuffer data;
  ASSERT_TRUE(LoadDataFile(data, dir.File("data.bin")));
  data.bytes[3] = 'X';  // an unsaved edit
  const std::uint8_t* block = data.bytes.get();
  const std::string noFolder = dir.File("no") + kSeparator + "a.bin";
  for (const std::string& path : {dir.File("missing.bin"), noFolder, std::string()}) {
    EXPECT_FALSE(LoadDataFile(data, path)) << path;
    EXPECT_FALSE(path != dir.File("missing.bin") && SaveDataFile(data, path)) << path;
  }
#ifndef _WIN32
  // A FIFO must neither hang nor load as an empty file.
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  const int writer = open(dir.File("fifo").c_str(), O_RDWR | O_NONBLOCK);  // fopen won't block
  EXPECT_FALSE(LoadDataFile(data, dir.File("fifo")));
  close(writer);
  unlink(dir.File("fifo").c_str());
#endif
  EXPECT_EQ(data.bytes.get(), block);
  EXPECT_EQ(Contents(data), "012X456789");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
  EXPECT_EQ(ReadBytes(dir.File("data.bin")), "0123456789");
}

#ifdef _WIN32

TEST(DataBuffer, ReadOnlyTargetIsRefusedAndASharedOneLoads) {
  TempDir dir;
  const std::string target = dir.File("target.bin");
  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(SaveDataFile(Holding("new bytes"), target));
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"target.bin"});

  // Loading shares the file with a program that has it open for writing.
  HANDLE shared = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  ASSERT_NE(shared, INVALID_HANDLE_VALUE);
  DataBuffer loaded;
  EXPECT_TRUE(LoadDataFile(loaded, target));
  EXPECT_EQ(Contents(loaded), "old");
  CloseHandle(shared);
}

#else

TEST(DataBuffer, ReadOnlyTargetOrFolderIsRefused) {
  TempDir dir;
  const DataBuffer data = Holding("new bytes");
  const std::string target = dir.File("target.bin");
  WriteBytes(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  if (geteuid() == 0) {  // the folder and file go to the user the child becomes
    ASSERT_EQ(chown(dir.Path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
  }
  auto save = [&] { return InChild([&] { return !DropRoot() ? 2 : SaveDataFile(data, target); }); };
  const int readOnly = save();
  if (readOnly == 2) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(readOnly, 0);
  EXPECT_EQ(ReadBytes(target), "old");

  // A writable file in a folder where no temporary can be made.
  ASSERT_EQ(chmod(target.c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
  EXPECT_EQ(save(), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"target.bin"});

  // Both are fine for the owner of a writable folder: the same child succeeds.
  EXPECT_EQ(save(), 1);
  EXPECT_EQ(ReadBytes(target), "new bytes");
}

#endif

}  // namespace
