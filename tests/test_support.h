#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "app/main_flows.h"
#include "memory_user_interface.h"

inline constexpr char kSeparator[] = {char(std::filesystem::path::preferred_separator), 0};

// A folder of its own for one test, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  ~TempDir();
  const std::string& Path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + kSeparator + std::string(name); }
  std::string path_;
};

// Names and bytes go to the system untouched: CP932 names stay CP932.
inline void WriteBytes(const std::string& path, std::string_view bytes) {
  EXPECT_TRUE(std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size())) << path;
}
inline std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file) << "cannot read " << path;
  return {std::istreambuf_iterator<char>(file), {}};
}
inline bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}
bool MakeFolder(const std::string& path);
using Names = std::vector<std::string>;
Names ListFolder(const std::string& path);  // sorted

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

// `body`'s exit code in a forked child; -1 when it did not exit within `seconds`, not a hang.
int InChild(const std::function<int()>& body, unsigned seconds = 30);
bool DropRoot();  // in a child: "nobody" when root, whom permission bits do not stop
#endif

inline std::string Contents(const DataBuffer& data) {
  return std::string(reinterpret_cast<const char*>(data.bytes.get()), data.byteCount);
}
inline DataBuffer Holding(std::string_view bytes) {
  DataBuffer data{std::make_unique<std::uint8_t[]>(bytes.size()), std::uint32_t(bytes.size())};
  std::copy(bytes.begin(), bytes.end(), data.bytes.get());
  return data;
}

// A structure of `members` with its columns, over `bytes` as the data (none: nothing loaded).
struct Records {
  explicit Records(std::vector<MemberDef> members,
                   std::optional<std::string_view> bytes = std::nullopt)
      : structDef{members, ComputeRecordSize(members)} {
    BuildColumnList(structDef, columns);
    if (bytes) data = Holding(*bytes);
  }
  StructDef structDef;
  ColumnList columns;
  DataBuffer data;
};

// The process state and the window stand-in, started on `definitions` in a folder of their own.
struct Session {
  explicit Session(std::string_view definitions) {
    WriteBytes(dir.File("struct.def"), definitions);
    StartUp(state, ui, dir.Path());
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{"構造体定義ファイルを読み込みました。"});
  }
  void Read(const std::string& path) {
    ui.pathField = path;
    ReadDataFile(state, ui);
  }
  void Write(const std::string& path) {
    ui.pathField = path;
    WriteDataFile(state, ui);
  }
  // Writes `bytes` to `name` in the folder and reads it; the path read.
  std::string Load(std::string_view bytes, const std::string& name = "data.bin") {
    WriteBytes(dir.File(name), bytes);
    Read(dir.File(name));
    return dir.File(name);
  }
  // Through the export dialog with `deselected` items off, answering yes to replacing a file.
  void Export(const std::string& path, std::vector<std::int32_t> deselected = {});
  std::string Cell(std::uint32_t r, int c) const { return state.table.CellText(r, c); }
  Names Labels() const {
    Names labels;
    for (const auto& column : ui.list.columns) labels.push_back(column.label);
    return labels;
  }

  TempDir dir;
  AppState state;
  MemoryUserInterface ui;
};
