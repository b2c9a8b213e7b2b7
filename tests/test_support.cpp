#include "test_support.h"

#include <algorithm>
#include <random>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/wait.h>
#endif

TempDir::TempDir() {
  const std::string base = (std::filesystem::temp_directory_path() / "velmora-test-").string();
  for (int tries = 0; tries < 100; ++tries) {
    path_ = base + std::to_string(std::random_device{}());
    if (MakeFolder(path_)) return;
  }
  throw std::runtime_error("cannot create " + path_);
}

// By the system's own names, so CP932 entries go too; a test may leave its folder read-only.
TempDir::~TempDir() {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

Names ListFolder(const std::string& path) {
  Names names;
#ifdef _WIN32
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry))
    names.push_back(entry.cFileName);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
#else
  std::error_code missing;  // as no entries
  for (const auto& entry : std::filesystem::directory_iterator(path, missing))
    names.push_back(entry.path().filename());
#endif
  std::erase_if(names, [](const std::string& name) { return name == "." || name == ".."; });
  std::sort(names.begin(), names.end());
  return names;
}

#ifdef _WIN32
bool MakeFolder(const std::string& path) { return _mkdir(path.c_str()) == 0; }
#else
bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }

int InChild(const std::function<int()>& body, unsigned seconds) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(seconds);  // SIGALRM ends a child that blocks
    _exit(body());
  }
  int status = 0;
  const bool exited = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status);
  return exited ? WEXITSTATUS(status) : -1;
}

bool DropRoot() { return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0); }
#endif

void Session::Export(const std::string& path, std::vector<std::int32_t> deselected) {
  ui.exportAnswer = [&](std::span<const std::string> labels) {
    const auto chosen = [&](std::int32_t item) { return !std::ranges::count(deselected, item); };
    return AcceptExportChoice(path, labels.size(), chosen);
  };
  ui.answerYes = true;
  ExportCsv(state, ui);
  ui.answerYes = false;
  ui.exportAnswer = nullptr;
}
