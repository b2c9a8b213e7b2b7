// Hostile definition files, data files and paths through the command flows: each gets the
// program's own answer (a box or a status text) and no file that was not the target changes.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/main_flows.h"
#include "app/memory_user_interface.h"
#include "structdef/definition_parser.h"
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

#include <fstream>
#endif

namespace {

using Messages = std::vector<MessageRecord>;
using Strings = std::vector<std::string>;

constexpr char kRead[] = "構造体定義ファイルを読み込みました。";
constexpr char kBadArray[] = "配列の定義が不正です";
constexpr char kDefinitions[] = "struct Rec { ubyte a; uword b; string s [4]; }\n";
#ifdef _WIN32
constexpr char kSeparator[] = "\\";
#else
constexpr char kSeparator[] = "/";
#endif

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
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return info.st_size;
#endif
}

// Every file and folder under `folder` with its bytes (large files by size alone, so that a
// sparse file of gigabytes is never read).
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> entries;
  std::function<void(const std::string&, const std::string&)> walk =
      [&](const std::string& path, const std::string& key) {
    for (const std::string& name : ListFolder(path)) {
      const std::string child = path + kSeparator + name;
      const std::int64_t size = FileSize(child);
      if (size < 0) {
        entries[key + name + "/"] = "folder";
        walk(child, key + name + "/");
      } else {
        entries[key + name] = size > (16 << 20) ? "size " + std::to_string(size) : ReadBytes(child);
      }
    }
  };
  walk(folder, "");
  return entries;
}

// A fresh process state started in the test's folder, with a record of the folder as it was.
class Hostile : public ::testing::Test {
 protected:
  void StartWith(std::string_view definitions, const std::string& folder = {}) {
    const std::string where = folder.empty() ? dir.Path() : folder;
    WriteBytes(where + kSeparator + "struct.def", definitions);
    before = Snapshot(dir.Path());
    StartUp(state, ui, where);
  }
  // Reads `path` through the read button.
  void Read(const std::string& path) {
    ui.pathField = path;
    ReadDataFile(state, ui);
  }
  void Write(const std::string& path) {
    ui.pathField = path;
    WriteDataFile(state, ui);
  }
  Strings Labels() const {
    Strings labels;
    for (const auto& column : ui.list.columns) labels.push_back(column.label);
    return labels;
  }
  // Nothing in the folder changed but `written`.
  void ExpectUnchangedBut(const Strings& written = {}) {
    auto after = Snapshot(dir.Path());
    for (const std::string& name : written) after.erase(name);
    auto expected = before;
    for (const std::string& name : written) expected.erase(name);
    EXPECT_EQ(after, expected);
  }
  TempDir dir;
  AppState state;
  MemoryUserInterface ui{state};
  std::map<std::string, std::string> before;
};

Messages Boxes(int count, std::string_view text) {
  return Messages(static_cast<std::size_t>(count),
                  MessageRecord{std::string(text), std::string(DefinitionErrorCaption())});
}

TEST_F(Hostile, DefinitionsWithOddCountsMarksAndLineEnds) {
  struct Case {
    std::string definitions;
    Strings structures;
    Messages boxes;
    Strings labels;
  };
  const std::string longName(5000, 'N');
  const std::string longMember = std::string(4999, '\x95') + "\x5C";
  const Case cases[] = {
      {"struct A { ubyte a [-1]; uword b; }", {"A"}, Boxes(1, kBadArray), {"a", "b"}},
      {"struct A { ubyte a [0]; uword b; }", {"A"}, {}, {"b"}},
      {"struct A { ubyte a [2147483647]; }", {"A"}, Boxes(1, kBadArray), {"a"}},
      {"struct A { string s [2147483647]; }", {"A"}, {}, {"s"}},
      {"struct A { sword a [99999999999999999999]; xbyte b [-99999999999999999999]; }",
       {"A"}, Boxes(2, kBadArray), {"a", "b"}},
      // The mark is glued to the first "struct": that definition is not one.
      {"\xEF\xBB\xBFstruct A { ubyte a; }\r\nstruct B { ubyte b; }", {"B"}, {}, {"b"}},
      {"struct A {\rubyte a;\rxword w\r[2]\r;\r}\rstruct B\r{\r}\r", {"A", "B"}, {},
       {"a", "w[0]", "w[1]"}},
      // The selector gives back only 1019 bytes of a long name, so nothing is loaded.
      {"struct " + longName + " { ubyte a; }", {longName}, {}, {}},
      {"struct L { uword " + longMember + " [2]; }", {"L"}, {},
       {longMember + "[0]", longMember + "[1]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.definitions.substr(0, 80));
    TempDir folder;
    AppState fresh;
    MemoryUserInterface freshUi(fresh);
    WriteBytes(folder.File("struct.def"), c.definitions);
    const auto listing = Snapshot(folder.Path());
    StartUp(fresh, freshUi, folder.Path());
    EXPECT_EQ(freshUi.statusTexts, Strings{kRead});
    EXPECT_EQ(freshUi.selectorItems, c.structures);
    EXPECT_EQ(freshUi.messages, c.boxes);
    Strings labels;
    for (std::size_t i = 2; i < freshUi.list.columns.size(); ++i) {
      labels.push_back(freshUi.list.columns[i].label);
    }
    EXPECT_EQ(labels, c.labels);
    EXPECT_GE(fresh.structDef.recordSize, 0);
    EXPECT_EQ(Snapshot(folder.Path()), listing);
  }
}

TEST_F(Hostile, HugeStringFieldIsNeitherShownNorEdited) {
  StartWith("struct A { string s [2147483647]; }");
  const std::string data = dir.File("data.bin");
  WriteBytes(data, "0123456789");
  Read(data);
  EXPECT_EQ(state.structDef.recordSize, 2147483647);
  EXPECT_EQ(ui.list.rowCount, 1u);
  EXPECT_EQ(state.table.CellText(0, 2), "");
  ui.OnDialog(DialogId::ItemEdit, MemoryUserInterface::ItemEditAnswer("x", true));
  EditCell(state, ui, 0, 2);
  EXPECT_EQ(ui.StatusText(), "アクセスできる範囲を越えたところに入力されました");
  Write(dir.File("copy.bin"));
  EXPECT_EQ(ReadBytes(dir.File("copy.bin")), "0123456789");
  ExpectUnchangedBut({"copy.bin", "data.bin"});
}

TEST_F(Hostile, RandomBytesTokensAndManyStructures) {
  std::mt19937 random(20240601);
  std::string noise(1 << 16, '\0');
  for (char& c : noise) c = static_cast<char>(random());

  // Tokens a definition is made of, shuffled: whatever they say, at most 100 boxes per load.
  const char* const vocabulary[] = {"struct", "{", "}", ";", "ubyte", "String", "xlong", "[",
                                    "[4]", "[-1];", "[99999999999999999999]", "a", "a;", "};",
                                    "\x8D\x5C", "[2147483647]"};
  std::string tokens;
  while (tokens.size() < (1u << 20)) {
    tokens += vocabulary[random() % std::size(vocabulary)];
    tokens += " \r\n\t"[random() % 4];
  }

  std::string many;
  for (int i = 0; i < 10000; ++i) {
    many += "struct S" + std::to_string(i) + " { ubyte m" + std::to_string(i) + "; }\n";
  }

  for (const std::string* definitions : {&noise, &tokens, &many}) {
    TempDir folder;
    AppState fresh;
    MemoryUserInterface freshUi(fresh);
    WriteBytes(folder.File("struct.def"), *definitions);
    const auto listing = Snapshot(folder.Path());
    StartUp(fresh, freshUi, folder.Path());
    EXPECT_EQ(Snapshot(folder.Path()), listing);
    EXPECT_EQ(freshUi.statusTexts, Strings{kRead});
    EXPECT_LE(freshUi.messages.size(), 100u);
    for (const MessageRecord& box : freshUi.messages) {
      EXPECT_EQ(box.caption, DefinitionErrorCaption());
    }
    EXPECT_LE(freshUi.list.columns.size(), 65536u + 2);

    // The file is read in blocks; the same bytes in memory give the same names and layout.
    Strings inMemory;
    ListStructNamesInBytes(*definitions,
                           [&](std::string_view name) { inMemory.emplace_back(name); });
    EXPECT_EQ(inMemory, freshUi.selectorItems);
    if (!inMemory.empty()) {
      StructDef fromBytes;
      int boxes = 0;
      LoadStructDefFromBytes(*definitions, freshUi.SelectorText(), fromBytes,
                             [&](std::string_view, std::string_view) { ++boxes; });
      EXPECT_EQ(boxes, static_cast<int>(freshUi.messages.size()));
      EXPECT_EQ(fromBytes.recordSize, fresh.structDef.recordSize);
      EXPECT_EQ(fromBytes.members.size(), fresh.structDef.members.size());
    }

    // Any structure can be chosen, the last one too.
    if (definitions == &many) {
      ASSERT_EQ(freshUi.selectorItems.size(), 10000u);
      freshUi.selectorIndex = 9999;
      SelectStructure(fresh, freshUi, 1);
      ASSERT_EQ(freshUi.list.columns.size(), 3u);
      EXPECT_EQ(freshUi.list.columns[2].label, "m9999");
    }
  }
}

TEST_F(Hostile, DataFilesOfAwkwardSizesAndKinds) {
  StartWith(kDefinitions);  // records of 7 bytes
  struct Case {
    std::string bytes;
    std::uint32_t rows;
    Strings lastRow;
  };
  const Case cases[] = {
      {"", 1, {"0", "00000000", "", "", ""}},
      {"\x05", 1, {"0", "00000000", "5", "", ""}},
      {std::string("\x01\x02\x00" "abcd" "\x09\x34\x12" "xy", 12), 2,
       {"1", "00000007", "9", "4660", ""}},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File("data.bin");
    WriteBytes(path, c.bytes);
    Read(path);
    EXPECT_EQ(ui.StatusText(), "データ\"" + path + "\"を読み込みました");
    EXPECT_EQ(ui.list.rowCount, c.rows);
    Strings lastRow;
    for (int column = 0; column < 5; ++column) {
      lastRow.push_back(state.table.CellText(c.rows - 1, column));
    }
    EXPECT_EQ(lastRow, c.lastRow);
  }
  ASSERT_TRUE(ui.messages.empty());

  // A folder as the path: read and write are refused, the export asks first, then fails.
  const std::string folder = dir.File("folder");
  WriteBytes(dir.File("keep.bin"), "keep");
  Read(dir.File("keep.bin"));
  before = Snapshot(dir.Path());
#ifdef _WIN32
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
#else
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
#endif
  before["folder/"] = "folder";
  Read(folder);
  Write(folder);
  EXPECT_EQ(ui.messages, (Messages{{folder, "FileReadError!"}, {folder, "FileWriteError!"}}));
  EXPECT_EQ(state.table.CellText(0, 4), "");
  EXPECT_EQ(state.table.CellText(0, 2), "107");  // 'k' of the data read before
  ui.OnDialog(DialogId::CsvExport, MemoryUserInterface::ExportAnswer(folder, {}));
  ui.yesNoAnswers = {true};
  ExportCsv(state, ui);
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.StatusText(), "ファイル\"" + folder + "\"のエクスポートに失敗しました。");
  ExpectUnchangedBut();
}

// 表 is 95 5C and ソ is 83 5C: a byte-wise path must keep each whole.
TEST_F(Hostile, PathsWithBackslashTrailBytes) {
  const std::string work = dir.File("作業表");
  const std::string data = dir.File("データソ");
  for (const std::string& folder : {work, data}) {
#ifdef _WIN32
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
#else
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
#endif
  }
  const std::string input = data + kSeparator + "表.bin";
  WriteBytes(input, std::string("\x01\x02\x00" "\x83\x5C" "A\0" "\x07", 8));
  StartWith("struct 表 { ubyte ソ; uword b; string 名前 [4]; }", work);
  EXPECT_EQ(ui.statusTexts, Strings{kRead});
  EXPECT_EQ(ui.selectorItems, Strings{"表"});
  EXPECT_EQ(Labels(), (Strings{"No.", "Address", "ソ", "b", "名前"}));

  Read(input);
  EXPECT_EQ(ui.StatusText(), "データ\"" + input + "\"を読み込みました");
  EXPECT_EQ(state.table.CellText(0, 4), "ソA");
  const std::string output = data + kSeparator + "出力ソ.bin";
  Write(output);
  EXPECT_EQ(ui.StatusText(), "データを\"" + output + "\"に書き込みました");
  EXPECT_EQ(ReadBytes(output), ReadBytes(input));
  const std::string csv = work + kSeparator + "表.csv";
  ui.OnDialog(DialogId::CsvExport, MemoryUserInterface::ExportAnswer(csv, {}));
  ExportCsv(state, ui);
  EXPECT_EQ(ui.StatusText(), "ファイル\"" + csv + "\"をエクスポートしました。");
  EXPECT_EQ(ReadBytes(csv), "No.,Address,ソ,b,名前\r\n0,00000000,1,2,ソA\r\n1,00000007,7,,\r\n");
  const std::string missing = data + kSeparator + "無い表.bin";
  Read(missing);
  EXPECT_EQ(ui.messages, (Messages{{missing, "FileReadError!"}}));
  ExpectUnchangedBut({"データソ/出力ソ.bin", "作業表/表.csv"});
}

#ifdef _WIN32

TEST_F(Hostile, FileLockedByAnotherHandle) {
  StartWith(kDefinitions);
  const std::string path = dir.File("locked.bin");
  WriteBytes(path, "locked bytes");
  WriteBytes(dir.File("data.bin"), "abcdefg");
  Read(dir.File("data.bin"));
  before = Snapshot(dir.Path());
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Read(path);
  Write(path);
  CloseHandle(lock);
  EXPECT_EQ(ui.messages, (Messages{{path, "FileReadError!"}, {path, "FileWriteError!"}}));
  EXPECT_EQ(state.table.CellText(0, 2), "97");
  ExpectUnchangedBut();
}

#else

// Runs `flow` in a child process (after `prepare`) and returns its exit code, -1 when it did
// not end normally.
int InChild(const std::function<void()>& prepare, const std::function<int()>& flow) {
  const pid_t child = fork();
  if (child == 0) {
    prepare();
    _exit(flow());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::int64_t ProcStatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stoll(line.substr(std::strlen(field)));
  }
  return -1;
}

TEST_F(Hostile, DataFileOverFourGigabytesFailsWithoutAllocating) {
  StartWith(kDefinitions);
  WriteBytes(dir.File("data.bin"), "abcdefg");
  Read(dir.File("data.bin"));
  for (std::int64_t size : {std::int64_t{1} << 32, (std::int64_t{1} << 32) + 7}) {
    const std::string path = dir.File("huge.bin");
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_NE(fd, -1);
    // Sparse: no disk space is used, and the first bytes would look like a 7-byte file if
    // the size were taken as 32 bits.
    ASSERT_EQ(pwrite(fd, "1234567", 7, 0), 7);
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    before = Snapshot(dir.Path());
    const std::int64_t sizeBefore = ProcStatusKilobytes("VmSize:");
    ui.messages.clear();
    Read(path);
    // Peak address space: a buffer of the file's size would have raised it by gigabytes.
    EXPECT_LT(ProcStatusKilobytes("VmPeak:"), sizeBefore + (1 << 20)) << size;
    EXPECT_EQ(ui.messages, (Messages{{path, "FileReadError!"}}));
    EXPECT_EQ(state.table.CellText(0, 2), "97");
    EXPECT_EQ(state.dataBuffer.byteCount, 7u);
    ExpectUnchangedBut();
  }
}

TEST_F(Hostile, UnreadableFile) {
  // Permission bits do not stop root, so the read runs in a child that gives up root first.
  StartWith(kDefinitions);
  const std::string path = dir.File("secret.bin");
  WriteBytes(path, "secret!");
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0711), 0);  // the file's own mode is what refuses
  before = Snapshot(dir.Path());
  const int result = InChild(
      [] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
      },
      [&] {
        Read(path);
        return ui.messages == Messages{{path, "FileReadError!"}} && !state.dataBuffer.HasBytes()
                   ? 1
                   : 0;
      });
  if (result == 2) GTEST_SKIP() << "cannot give up root";
  EXPECT_EQ(result, 1);
  ExpectUnchangedBut();
}

// The save and the export stop part way at a file size limit: each reports its failure and
// the earlier file stays whole, with no temporary file beside it.
TEST_F(Hostile, SaveAndExportCutShortByTheFileSizeLimit) {
  StartWith("struct Q { ulong n; xlong x; string s [8]; }");
  std::string bytes;
  for (std::uint32_t i = 0; bytes.size() < (1u << 20); ++i) {
    bytes.append(reinterpret_cast<const char*>(&i), 4);
    bytes += "\x5C\x8D\x0D\x0A" "a,\"\r\n\x01\x02z";
  }
  WriteBytes(dir.File("data.bin"), bytes);
  WriteBytes(dir.File("target.bin"), "the earlier target");
  WriteBytes(dir.File("target.csv"), "the earlier export");
  Read(dir.File("data.bin"));
  before = Snapshot(dir.Path());

  auto limited = [](long bytes) {
    return [bytes] {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    };
  };
  auto save = [&] {
    Write(dir.File("target.bin"));
    if (ui.messages == Messages{{dir.File("target.bin"), "FileWriteError!"}}) return 1;
    return ui.StatusText() == "データを\"" + dir.File("target.bin") + "\"に書き込みました" ? 2 : 0;
  };
  auto exportCsv = [&] {
    ui.OnDialog(DialogId::CsvExport, MemoryUserInterface::ExportAnswer(dir.File("target.csv"), {}));
    ui.yesNoAnswers = {true};
    ExportCsv(state, ui);
    const std::string quoted = "ファイル\"" + dir.File("target.csv") + "\"";
    if (ui.StatusText() == quoted + "のエクスポートに失敗しました。") return 1;
    return ui.StatusText() == quoted + "をエクスポートしました。" ? 2 : 0;
  };
  EXPECT_EQ(InChild(limited(300000), save), 1);
  EXPECT_EQ(InChild(limited(300000), exportCsv), 1);
  ExpectUnchangedBut();

  // With room enough the same flows succeed, so the failures came from the limit.
  EXPECT_EQ(InChild(limited(64 << 20), save), 2);
  EXPECT_EQ(InChild(limited(64 << 20), exportCsv), 2);
  EXPECT_EQ(ReadBytes(dir.File("target.bin")), bytes);
  ExpectUnchangedBut({"target.bin", "target.csv"});
  EXPECT_EQ(ListFolder(dir.Path()),
            (Strings{"data.bin", "struct.def", "target.bin", "target.csv"}));
}

#endif

}  // namespace
