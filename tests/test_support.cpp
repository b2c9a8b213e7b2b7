#include "test_support.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <gtest/gtest.h>

#include "app/main_flows.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}
#else
void RemoveTree(const std::string& path) {
  chmod(path.c_str(), 0700);  // a test may have made it read-only
  if (DIR* dir = opendir(path.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      std::string child = path + "/" + name;
      struct stat info {};
      if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        RemoveTree(child);
      } else {
        unlink(child.c_str());
      }
    }
    closedir(dir);
  }
  rmdir(path.c_str());
}
#endif

}  // namespace

TempDir::TempDir() {
#ifdef _WIN32
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned serial = 0;
  for (;;) {
    path_ = std::string(base) + "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + path_);
  }
#else
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/velmora-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
  path_ = pattern;
#endif
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string TempDir::File(std::string_view name) const {
  return path_ + kSeparator + std::string(name);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string ReadBytes(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot read " + path);
  std::string bytes;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

bool FileExists(const std::string& path) {
#ifdef _WIN32
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
#endif
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
#ifdef _WIN32
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
#else
  if (DIR* dir = opendir(path.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
#endif
  std::sort(names.begin(), names.end());
  return names;
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
  return CreateDirectoryA(path.c_str(), nullptr);
#else
  return mkdir(path.c_str(), 0755) == 0;
#endif
}

#ifndef _WIN32
int InChild(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool DropRoot() { return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0); }

bool LimitFileSize(long bytes) {
  signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}
#endif

std::string Contents(const DataBuffer& data) {
  return std::string(reinterpret_cast<const char*>(data.bytes.get()), data.byteCount);
}

DataBuffer Holding(std::string_view bytes) {
  DataBuffer data;
  data.byteCount = static_cast<std::uint32_t>(bytes.size());
  data.bytes.reset(new std::uint8_t[bytes.size()]);
  std::memcpy(data.bytes.get(), bytes.data(), bytes.size());
  return data;
}

Records::Records(std::vector<MemberDef> members, std::optional<std::string_view> bytes) {
  structDef.members = std::move(members);
  structDef.recordSize = ComputeRecordSize(structDef.members);
  BuildColumnList(structDef, columns);
  if (bytes) data = Holding(*bytes);
}

Session::Session(std::string_view definitions, const std::string& subfolder) {
  const std::string where = subfolder.empty() ? dir.Path() : dir.File(subfolder);
  EXPECT_TRUE(subfolder.empty() || MakeFolder(where));
  WriteBytes(where + kSeparator + "struct.def", definitions);
  StartUp(state, ui, where);
  EXPECT_EQ(ui.statusTexts, std::vector<std::string>{"構造体定義ファイルを読み込みました。"});
}

void Session::Read(const std::string& path) {
  ui.pathField = path;
  ReadDataFile(state, ui);
}

std::string Session::Load(std::string_view bytes, const std::string& name) {
  WriteBytes(dir.File(name), bytes);
  Read(dir.File(name));
  return dir.File(name);
}

void Session::Write(const std::string& path) {
  ui.pathField = path;
  WriteDataFile(state, ui);
}

void Session::Export(const std::string& path, std::vector<std::int32_t> deselected) {
  ui.exportAnswer = [&](std::span<const std::string> labels) {
    return AcceptExportChoice(path, labels.size(), [&](std::int32_t item) {
      return std::find(deselected.begin(), deselected.end(), item) == deselected.end();
    });
  };
  ui.yesNoAnswers = {true};
  ExportCsv(state, ui);
  ui.exportAnswer = nullptr;
}

std::string Session::Cell(std::uint32_t row, int column) const {
  return state.table.CellText(row, column);
}

std::vector<std::string> Session::Labels() const {
  std::vector<std::string> labels;
  for (const auto& column : ui.list.columns) labels.push_back(column.label);
  return labels;
}
