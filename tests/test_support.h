#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "memory_user_interface.h"

// A folder of its own for one test, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::string& Path() const { return path_; }
  // `name` joined to the folder with the platform's separator.
  std::string File(std::string_view name) const;

 private:
  std::string path_;
};

#ifdef _WIN32
inline constexpr char kSeparator[] = "\\";
#else
inline constexpr char kSeparator[] = "/";
#endif

// Names and bytes go to the system untouched: CP932 names stay CP932.
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
bool MakeFolder(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);

#ifndef _WIN32
// Runs `body` in a forked child; its exit code, or -1 when it did not exit normally within
// `seconds`, so that a call that would block fails the test instead of hanging it.
int InChild(const std::function<int()>& body, unsigned seconds = 30);
// In a child: becomes "nobody" when root, since permission bits do not stop root.
bool DropRoot();
#endif

std::string Contents(const DataBuffer& data);
DataBuffer Holding(std::string_view bytes);

// A structure of `members` with its columns, over `bytes` as the loaded data (none: nothing
// loaded).
struct Records {
  explicit Records(std::vector<MemberDef> members,
                   std::optional<std::string_view> bytes = std::nullopt);
  StructDef structDef;
  ColumnList columns;
  DataBuffer data;
};

// The process state and the window stand-in, started on `definitions` written to a folder of
// their own.
struct Session {
  explicit Session(std::string_view definitions);
  void Read(const std::string& path);
  // Writes `bytes` to `name` in the folder and reads it; the path read.
  std::string Load(std::string_view bytes, const std::string& name = "data.bin");
  void Write(const std::string& path);
  // Through the export dialog with `deselected` items off, answering yes to replacing a file.
  void Export(const std::string& path, std::vector<std::int32_t> deselected = {});
  std::string Cell(std::uint32_t row, int column) const;
  std::vector<std::string> Labels() const;

  TempDir dir;
  AppState state;
  MemoryUserInterface ui;
};
