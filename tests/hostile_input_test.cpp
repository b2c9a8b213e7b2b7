// Hostile definition files, data files and paths through the command flows: each gets the
// program's own answer (a box or a status text) and no file that was not the target changes.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/main_flows.h"
#include "memory_user_interface.h"
#include "structdef/definition_parser.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#endif

namespace {

using Messages = std::vector<MessageRecord>;
using Strings = std::vector<std::string>;
using Listing = std::map<std::string, std::string>;

constexpr char kDefinitions[] = "struct Rec { ubyte a; uword b; string s [4]; }\n";

// Size of a file, or -1 for a folder or a missing path.
std::int64_t FileSize(const std::string& path) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return -1;
  }
  return (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
#else
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : -1;
#endif
}

// Every entry under `folder` with its bytes; a large file by its size, so that a sparse file of
// gigabytes is never read.
Listing Snapshot(const std::string& folder, const std::string& key = "") {
  Listing entries;
  for (const std::string& name : ListFolder(folder)) {
    const std::string child = folder + kSeparator + name;
    const std::int64_t size = FileSize(child);
    if (size < 0) {
      entries[key + name + "/"] = "folder";
      entries.merge(Snapshot(child, key + name + "/"));
    } else {
      entries[key + name] = size > (16 << 20) ? "size " + std::to_string(size) : ReadBytes(child);
    }
  }
  return entries;
}

// A session whose folder held nothing but its struct.def before it started.
struct Watched : Session {
  explicit Watched(std::string_view definitions, const std::string& subfolder = "")
      : Session(definitions, subfolder) {
    const std::string prefix = subfolder.empty() ? "" : subfolder + "/";
    if (!prefix.empty()) before[prefix] = "folder";
    before[prefix + "struct.def"] = definitions;
  }
  Strings MemberLabels() const {
    const Strings labels = Labels();
    return Strings(labels.begin() + 2, labels.end());
  }
  // Nothing in the folder changed since `before` but `written`.
  void ExpectUnchangedBut(const Strings& written = {}) {
    Listing after = Snapshot(dir.Path()), expected = before;
    for (const std::string& name : written) after.erase(name), expected.erase(name);
    EXPECT_EQ(after, expected);
  }
  Listing before;
};

TEST(Hostile, DefinitionsWithOddCountsMarksLineEndsAndLongNames) {
  const MessageRecord badArray{"配列の定義が不正です", std::string(DefinitionErrorCaption())};
  const std::string longName(5000, 'N'), longMember = std::string(4999, '\x95') + "\x5C";
  const struct {
    std::string definitions;
    Strings structures;
    Messages boxes;
    Strings labels;
  } cases[] = {
      {"struct A { ubyte a [-1]; uword b; }", {"A"}, {badArray}, {"a", "b"}},
      {"struct A { ubyte a [0]; uword b; }", {"A"}, {}, {"b"}},
      {"struct A { ubyte a [2147483647]; }", {"A"}, {badArray}, {"a"}},
      {"struct A { string s [2147483647]; }", {"A"}, {}, {"s"}},
      {"struct A { sword a [99999999999999999999]; xbyte b [-99999999999999999999]; }", {"A"},
       {badArray, badArray}, {"a", "b"}},
      // The mark is glued to the first "struct": that definition is not one.
      {"\xEF\xBB\xBFstruct A { ubyte a; }\r\nstruct B { ubyte b; }", {"B"}, {}, {"b"}},
      {"struct A {\rubyte a;\rxword w\r[2]\r;\r}\rstruct B\r{\r}\r", {"A", "B"}, {},
       {"a", "w[0]", "w[1]"}},
      // The selector gives back only 1019 bytes of a long name, so nothing is loaded.
      {"struct " + longName + " { ubyte a; }", {longName}, {}, {}},
      {"struct L { uword " + longMember + " [2]; }", {"L"}, {},
       {longMember + "[0]", longMember + "[1]"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.definitions.substr(0, 80));
    Watched s(c.definitions);
    EXPECT_EQ(s.ui.selectorItems, c.structures);
    EXPECT_EQ(s.ui.messages, c.boxes);
    EXPECT_EQ(s.MemberLabels(), c.labels);
    s.ExpectUnchangedBut();
  }
}

TEST(Hostile, DefinitionsOfRandomBytesTokensAndManyStructures) {
  std::mt19937 random(20240601);
  std::string noise(1 << 16, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  // Shuffled tokens of definitions: whatever they say, at most 100 boxes per load.
  const char* const vocabulary[] = {"struct", "{", "}", ";", "ubyte", "String", "xlong", "[",
                                    "[4]", "[-1];", "[99999999999999999999]", "a", "a;", "};",
                                    "\x8D\x5C", "[2147483647]"};
  std::string tokens, many;
  while (tokens.size() < (1u << 20)) {
    tokens += vocabulary[random() % std::size(vocabulary)];
    tokens += " \r\n\t"[random() % 4];
  }
  for (int i = 0; i < 10000; ++i) {
    many += "struct S" + std::to_string(i) + " { ubyte m" + std::to_string(i) + "; }\n";
  }
  for (const std::string* definitions : {&noise, &tokens, &many}) {
    Watched s(*definitions);
    s.ExpectUnchangedBut();
    EXPECT_LE(s.ui.messages.size(), 100u);
    for (const MessageRecord& box : s.ui.messages) EXPECT_EQ(box.caption, DefinitionErrorCaption());
    EXPECT_LE(s.ui.list.columns.size(), 65536u + 2);
    // The file is read in blocks; the same bytes in memory give the same names and layout.
    Strings inMemory;
    ListStructNamesInBytes(*definitions,
                           [&](std::string_view name) { inMemory.emplace_back(name); });
    EXPECT_EQ(inMemory, s.ui.selectorItems);
    StructDef fromBytes;
    std::size_t boxes = 0;
    LoadStructDefFromBytes(*definitions, s.ui.SelectorText(), fromBytes,
                           [&](auto, auto) { ++boxes; });
    EXPECT_EQ(boxes, s.ui.messages.size());
    EXPECT_EQ(fromBytes.recordSize, s.state.structDef.recordSize);
    EXPECT_EQ(fromBytes.members.size(), s.state.structDef.members.size());
    if (definitions != &many) continue;
    ASSERT_EQ(s.ui.selectorItems.size(), 10000u);  // any structure can be chosen, the last too
    s.ui.selectorIndex = 9999;
    SelectStructure(s.state, s.ui, 1);
    EXPECT_EQ(s.MemberLabels(), Strings{"m9999"});
  }
}

TEST(Hostile, HugeStringFieldIsNeitherShownNorEdited) {
  Watched s("struct A { string s [2147483647]; }");
  s.Load("0123456789");
  EXPECT_EQ(s.ui.list.rowCount, 1u);
  EXPECT_EQ(s.Cell(0, 2), "");
  s.ui.editAnswer = [](std::string_view, std::string_view) { return std::optional<std::string>("x"); };
  EditCell(s.state, s.ui, 0, 2);
  EXPECT_EQ(s.ui.StatusText(), "アクセスできる範囲を越えたところに入力されました");
  s.Write(s.dir.File("copy.bin"));
  EXPECT_EQ(ReadBytes(s.dir.File("copy.bin")), "0123456789");
  s.ExpectUnchangedBut({"copy.bin", "data.bin"});
}

TEST(Hostile, DataFilesOfAwkwardSizesAndKinds) {
  Watched s(kDefinitions);  // records of 7 bytes
  const std::pair<std::string, std::uint32_t> cases[] = {{"", 1}, {"\x05", 1}, {"abcdefg12345", 2}};
  for (const auto& [bytes, rows] : cases) {
    const std::string path = s.Load(bytes);
    EXPECT_EQ(s.ui.StatusText(), "データ\"" + path + "\"を読み込みました");
    EXPECT_EQ(s.ui.list.rowCount, rows);
  }
  ASSERT_TRUE(s.ui.messages.empty());

  // A folder as the path: read and write are refused, the export asks first, then fails.
  const std::string folder = s.dir.File("folder");
  s.Load("keep", "keep.bin");
  ASSERT_TRUE(MakeFolder(folder));
  s.before = Snapshot(s.dir.Path());
  s.Read(folder);
  s.Write(folder);
  EXPECT_EQ(s.ui.messages, (Messages{{folder, "FileReadError!"}, {folder, "FileWriteError!"}}));
  EXPECT_EQ(s.Cell(0, 2), "107");  // 'k' of the data read before
  s.Export(folder);
  EXPECT_EQ(s.ui.questions.size(), 1u);
  EXPECT_EQ(s.ui.StatusText(), "ファイル\"" + folder + "\"のエクスポートに失敗しました。");
  s.ExpectUnchangedBut();
}

// 表 is 95 5C and ソ is 83 5C: a byte-wise path must keep each whole.
TEST(Hostile, PathsWithBackslashTrailBytes) {
  Watched s("struct 表 { ubyte ソ; uword b; string 名前 [4]; }", "作業表");
  EXPECT_EQ(s.ui.selectorItems, Strings{"表"});
  const std::string data = s.dir.File("データソ"), input = data + kSeparator + "表.bin";
  ASSERT_TRUE(MakeFolder(data));
  WriteBytes(input, std::string("\x01\x02\x00" "\x83\x5C" "A\0" "\x07", 8));
  s.before = Snapshot(s.dir.Path());
  s.Read(input);
  EXPECT_EQ(s.ui.StatusText(), "データ\"" + input + "\"を読み込みました");
  const std::string output = data + kSeparator + "出力ソ.bin";
  s.Write(output);
  EXPECT_EQ(s.ui.StatusText(), "データを\"" + output + "\"に書き込みました");
  EXPECT_EQ(ReadBytes(output), ReadBytes(input));
  const std::string csv = s.dir.File("作業表") + kSeparator + "表.csv";
  s.Export(csv);
  EXPECT_EQ(s.ui.StatusText(), "ファイル\"" + csv + "\"をエクスポートしました。");
  EXPECT_EQ(ReadBytes(csv), "No.,Address,ソ,b,名前\r\n0,00000000,1,2,ソA\r\n1,00000007,7,,\r\n");
  EXPECT_TRUE(s.ui.messages.empty());
  s.ExpectUnchangedBut({"データソ/出力ソ.bin", "作業表/表.csv"});
}

#ifdef _WIN32

TEST(Hostile, FileLockedByAnotherHandle) {
  Watched s(kDefinitions);
  const std::string path = s.dir.File("locked.bin");
  WriteBytes(path, "locked bytes");
  s.Load("abcdefg");
  s.before = Snapshot(s.dir.Path());
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  s.Read(path);
  s.Write(path);
  CloseHandle(lock);
  EXPECT_EQ(s.ui.messages, (Messages{{path, "FileReadError!"}, {path, "FileWriteError!"}}));
  EXPECT_EQ(s.Cell(0, 2), "97");
  s.ExpectUnchangedBut();
}

#else

std::int64_t ProcStatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stoll(line.substr(std::strlen(field)));
  }
  return -1;
}

TEST(Hostile, DataFileOverFourGigabytesFailsWithoutAllocating) {
  Watched s(kDefinitions);
  s.Load("abcdefg");
  const std::string path = s.dir.File("huge.bin");
  for (std::int64_t size : {std::int64_t{1} << 32, (std::int64_t{1} << 32) + 7}) {
    // Sparse, and its first bytes would look like a 7-byte file if the size were cut to 32 bits.
    WriteBytes(path, "1234567");
    ASSERT_EQ(truncate(path.c_str(), size), 0);
    s.before = Snapshot(s.dir.Path());
    const std::int64_t sizeBefore = ProcStatusKilobytes("VmSize:");
    s.ui.messages.clear();
    s.Read(path);
    // Peak address space: a buffer of the file's size would have raised it by gigabytes.
    EXPECT_LT(ProcStatusKilobytes("VmPeak:"), sizeBefore + (1 << 20)) << size;
    EXPECT_EQ(s.ui.messages, (Messages{{path, "FileReadError!"}}));
    EXPECT_EQ(s.Cell(0, 2), "97");
    s.ExpectUnchangedBut();
  }
}

TEST(Hostile, UnreadableFile) {
  Watched s(kDefinitions);
  const std::string path = s.dir.File("secret.bin");
  WriteBytes(path, "secret!");
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  ASSERT_EQ(chmod(s.dir.Path().c_str(), 0711), 0);  // the file's own mode is what refuses
  s.before = Snapshot(s.dir.Path());
  const int result = InChild([&]() -> int {
    if (!DropRoot()) return 2;
    s.Read(path);
    return s.ui.messages == Messages{{path, "FileReadError!"}} && !s.state.dataBuffer.HasBytes();
  });
  if (result == 2) GTEST_SKIP() << "cannot give up root";
  EXPECT_EQ(result, 1);
  s.ExpectUnchangedBut();
}

// The save and the export stop part way at a file size limit: each reports its failure, the
// earlier file stays whole and no temporary is left beside it.
TEST(Hostile, SaveAndExportCutShortByTheFileSizeLimit) {
  Watched s("struct Q { ulong n; xlong x; string s [8]; }");
  std::string bytes;
  for (std::uint32_t i = 0; bytes.size() < (1u << 20); ++i) {
    bytes.append(reinterpret_cast<const char*>(&i), 4);
    bytes += "\x5C\x8D\x0D\x0A" "a,\"\r\n\x01\x02z";
  }
  WriteBytes(s.dir.File("data.bin"), bytes);
  const std::string bin = s.dir.File("target.bin"), csv = s.dir.File("target.csv");
  WriteBytes(bin, "the earlier target");
  WriteBytes(csv, "the earlier export");
  s.Read(s.dir.File("data.bin"));
  s.before = Snapshot(s.dir.Path());
  // The child answers 1 for the failure text, 2 for the success text.
  auto save = [&](long limit) {
    return InChild([&] {
      if (!LimitFileSize(limit)) return 3;
      s.Write(bin);
      if (s.ui.messages == Messages{{bin, "FileWriteError!"}}) return 1;
      return s.ui.StatusText() == "データを\"" + bin + "\"に書き込みました" ? 2 : 0;
    });
  };
  auto exportCsv = [&](long limit) {
    return InChild([&] {
      if (!LimitFileSize(limit)) return 3;
      s.Export(csv);
      const std::string quoted = "ファイル\"" + csv + "\"";
      if (s.ui.StatusText() == quoted + "のエクスポートに失敗しました。") return 1;
      return s.ui.StatusText() == quoted + "をエクスポートしました。" ? 2 : 0;
    });
  };
  EXPECT_EQ(save(300000), 1);
  EXPECT_EQ(exportCsv(300000), 1);
  s.ExpectUnchangedBut();
  // With room enough the same flows succeed, so the failures came from the limit.
  EXPECT_EQ(save(64 << 20), 2);
  EXPECT_EQ(exportCsv(64 << 20), 2);
  EXPECT_EQ(ReadBytes(bin), bytes);
  s.ExpectUnchangedBut({"target.bin", "target.csv"});  // and no temporary beside them
}

#endif

}  // namespace
