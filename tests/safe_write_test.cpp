#include "datafile/safe_write.h"

#include "test_support.h"

static bool Save(
    const std::string& target, std::string_view bytes,
    const std::function<void()>& meanwhile = [] {}) {  // others, before Commit
  SafeFileWriter writer;
  if (!writer.Open(target) || !writer.Write(bytes)) return false;
  meanwhile();
  return writer.Commit();
}

struct SafeWrite : ::testing::Test {
  void SetUp() override { WriteBytes(target, "old"); }
  TempDir dir;
  const std::string target = dir.File("data.bin");
};

TEST_F(SafeWrite, PiecesArriveInOrderOnlyAtCommit) {
  EXPECT_ANY_THROW(Save(target, std::string(100000, 'x'), [] { throw 0; }));  // never committed
  // Opening again drops the first temporary. Small pieces fill the buffer, a large one passes
  // it, an empty one is no write at all. Neither a committed nor an unopened writer takes more.
  SafeFileWriter writer;
  SafeFileWriter unopened;
  ASSERT_TRUE(writer.Open(target) && writer.Write("first") && writer.Open(target));
  std::string all;
  for (std::size_t size : {1u, 100u, 0u, 70000u, 3u, 65535u, 65536u, 200000u, 60000u, 9000u}) {
    all += std::string(size, static_cast<char>('a' + size % 26));
    ASSERT_TRUE(writer.Write(all.substr(all.size() - size)) && ReadBytes(target) == "old");
  }
  ASSERT_TRUE(writer.Commit());
  EXPECT_FALSE(writer.Write("late") || writer.Commit() || unopened.Write("x") || unopened.Commit());
  EXPECT_EQ(ReadBytes(target), all);
  // Nor one whose new Open failed: the file it had open is closed, not written to.
  SafeFileWriter reopened;
  ASSERT_TRUE(reopened.Open(target));
  EXPECT_FALSE(reopened.Open(""));
  EXPECT_FALSE(reopened.Write("x") || reopened.Commit());
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
}

// A replacement that has taken the target away and cannot move the new content in its place
// (a program holds it) tries again for a while, pausing before each try: as the program lets
// go, the move succeeds.
struct OnlyCopy : SafeWrite {
  static bool TakeTargetAway(const char*, const char* targetPath) {
    std::remove(targetPath);
#ifdef _WIN32
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
#endif
    return false;
  }
  static bool MoveOnceLetGo(const char* temporaryPath, const char* targetPath) {
    ++moves;
#ifdef _WIN32
    SetLastError(ERROR_SHARING_VIOLATION);
#endif
    return moves > heldFor && std::rename(temporaryPath, targetPath) == 0;
  }
  void SetUp() override {
    SafeWrite::SetUp();
    moves = 0;
    SetReplaceCalls(TakeTargetAway, MoveOnceLetGo);
  }
  void TearDown() override { SetReplaceCalls(nullptr, nullptr); }
  static inline int moves = 0;
  static inline int heldFor = 0;
};

TEST_F(OnlyCopy, TheMoveIsTriedAgainUntilTheTargetIsLetGo) {
  heldFor = 4;  // let go just in time for the last try
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Save(target, "new"));
  // Three pauses of 200 ms at least (Windows tries the first move at once, with no pause).
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(moves, 5);
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
}

// Held for good, the new content stays under the temporary's name: never removed, it is the
// only copy left, and a later save still works.
TEST_F(OnlyCopy, ANewContentNeverMovedStaysUnderItsTemporaryName) {
  heldFor = 1000;
  EXPECT_FALSE(Save(target, "new"));
  const Names left = ListFolder(dir.Path());
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(ReadBytes(dir.File(left[0])), "new");
  SetReplaceCalls(nullptr, nullptr);
  EXPECT_TRUE(Save(target, "again"));
  EXPECT_EQ(ReadBytes(target), "again");
}

// A name at the system's limit leaves no room for a temporary's suffix; 構 is 3 bytes in Wine.
TEST_F(SafeWrite, LongAndTwoByteNamesGetATemporaryInTheSameFolder) {
  std::string name;
  for (int i = 0; i < 40; ++i) name += "構";
  name.resize(250 - (kSeparator[0] == '\\' ? dir.Path().size() : 0), 'a');
  ASSERT_TRUE(Save(dir.File(name), "1"));
#ifndef _WIN32  // and a name without a folder part, in the working folder
  EXPECT_EQ(InChild([&] { return chdir(dir.Path().c_str()) == 0 && Save(name, "2"); }), 1);
#endif
  EXPECT_EQ(ReadBytes(dir.File(name)), kSeparator[0] == '\\' ? "1" : "2");
  EXPECT_EQ(ListFolder(dir.Path()), (Names{"data.bin", name}));
}

#ifdef _WIN32
// Hidden and system stay, plus archive; a target deleted meanwhile is made, one held is kept.
TEST_F(SafeWrite, TargetsAttributesAndWhatOthersDoMeanwhile) {
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), kept & ~FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(Save(target, "new") && (GetFileAttributesA(target.c_str()) & kept) == kept);
  ASSERT_TRUE(Save(target, "again", [&] { DeleteFileA(target.c_str()); }));
  HANDLE held = INVALID_HANDLE_VALUE;
  EXPECT_FALSE(Save(target, "lost", [&] {
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN);
    held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }));
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(target), "again");
  EXPECT_EQ(GetFileAttributesA(target.c_str()) & kept, kept & ~FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
}
#else
// Mode and owner kept; new files get the usual mode; links are followed, dangling ones refused.
TEST_F(SafeWrite, ReplacementKeepsModeOwnerAndLinks) {
  namespace fs = std::filesystem;
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  const bool given = geteuid() == 0 && chown(target.c_str(), 65534, 65534) == 0;  // root may
  ASSERT_EQ(symlink("data.bin", dir.File("link.bin").c_str()), 0);
  ASSERT_EQ(symlink("missing.bin", dir.File("dangling.bin").c_str()), 0);
  SafeFileWriter writer;  // opened again, it forgets the file it was to replace
  EXPECT_EQ(InChild([&] {
              umask(022);
              return writer.Open(target) && writer.Open(dir.File("fresh.bin")) && writer.Commit();
            }),
            1);
  ASSERT_TRUE(Save(target, "new") && Save(dir.File("link.bin"), "via link"));
  for (const std::string& path : Names{"/dev/null", dir.File("none") + "/x.bin",
                                       dir.File("dangling.bin")})  // not files it may replace
    EXPECT_FALSE(writer.Open(path)) << path;
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  struct stat owner {};
  EXPECT_TRUE(stat(target.c_str(), &owner) == 0 && (!given || owner.st_uid == 65534));
  EXPECT_EQ(fs::status(dir.File("fresh.bin")).permissions(), fs::perms(0644));
  EXPECT_FALSE(Save(dir.File("fresh.bin"), "x", [&] {  // a folder meanwhile: rename fails
    fs::remove(dir.File("fresh.bin"));
    fs::create_directories(dir.File("fresh.bin") + "/in");
  }));
  EXPECT_TRUE(fs::is_symlink(dir.File("link.bin")));
  EXPECT_EQ(ReadBytes(target), "via link");
  EXPECT_EQ(ListFolder(dir.Path()), (Names{"dangling.bin", "data.bin", "fresh.bin", "link.bin"}));
}

// Few descriptors: many saves, each dropping a temporary first, still work. A disk full part
// way fails the write that spills the buffer, or a large one that goes straight through, and
// the commit.
TEST_F(SafeWrite, DescriptorsAndFileSizeLimits) {
  const std::string first(60000, 'a');
  const std::string second(10000, 'b');
  auto failures = [&](int resource, rlim_t limit, int times, const Names& pieces) {
    return InChild([&] {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit cap{limit, limit};
      int failed = setrlimit(resource, &cap) == 0 ? 0 : 100;
      for (SafeFileWriter writer; times-- > 0;) {
        failed += !writer.Open(target) || !writer.Open(target);
        for (const std::string& piece : pieces) failed += !writer.Write(piece);
        failed += !writer.Commit();
      }
      return failed;
    });
  };
  EXPECT_EQ(failures(RLIMIT_FSIZE, 30000, 1, {first, second}), 2);
  EXPECT_EQ(failures(RLIMIT_FSIZE, 30000, 1, {std::string(70000, 'c')}), 2);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ListFolder(dir.Path()), Names{"data.bin"});
  EXPECT_EQ(failures(RLIMIT_NOFILE, 32, 64, {first, second}), 0);
  EXPECT_EQ(ReadBytes(target), first + second);
}
#endif
