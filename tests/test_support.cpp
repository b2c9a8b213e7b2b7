#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

#include "app/main_flows.h"

#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

TempDir::TempDir() {
#ifdef _WIN32
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned serial = 0;
  do {
    path_ = std::string(base) + "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
  } while (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
#else
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/velmora-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
  path_ = pattern;
#endif
}

TempDir::~TempDir() {
  // Walks by the system's own names, so CP932 entries go too; a test may leave its folder
  // read-only.
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

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
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
  return _mkdir(path.c_str()) == 0;
#else
  return mkdir(path.c_str(), 0755) == 0;
#endif
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
#ifdef _WIN32
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry)) {
    names.push_back(entry.cFileName);
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
#else
  if (DIR* dir = opendir(path.c_str())) {
    while (dirent* entry = readdir(dir)) names.push_back(entry->d_name);
    closedir(dir);
  }
#endif
  std::erase_if(names, [](const std::string& name) { return name == "." || name == ".."; });
  std::sort(names.begin(), names.end());
  return names;
}

#ifndef _WIN32
int InChild(const std::function<int()>& body, unsigned seconds) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(seconds);  // SIGALRM ends a child that blocks
    _exit(body());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool DropRoot() { return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0); }
#endif

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

Records::Records(std::vector<MemberDef> members, std::optional<std::string_view> bytes) {
  structDef.members = std::move(members);
  structDef.recordSize = ComputeRecordSize(structDef.members);
  BuildColumnList(structDef, columns);
  if (bytes) data = Holding(*bytes);
}

Session::Session(std::string_view definitions) {
  WriteBytes(dir.File("struct.def"), definitions);
  StartUp(state, ui, dir.Path());
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
