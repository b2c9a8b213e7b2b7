#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "datafile/safe_write_system.h"

namespace {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

namespace safe_write_system {

bool ReplaceWhole(const char* temporaryPath, const char* targetPath) {
  return rename(temporaryPath, targetPath) == 0;
}

// A rename replaces whole: the move is the same call.
bool MoveReplacing(const char* temporaryPath, const char* targetPath) {
  return ReplaceWhole(temporaryPath, targetPath);
}

bool ExamineTarget(std::string& path, Target& target) {
  // A symbolic link stays a link: its file is what gets replaced.
  struct stat linkInfo {};
  if (lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return false;
    path = resolved;
    std::free(resolved);
  }

  // Opening for writing (without truncating) asks the system itself whether the target may be
  // written; O_NONBLOCK keeps a FIFO from hanging before fstat rejects it.
  int probe = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (probe == -1) return errno == ENOENT;  // else read-only, a folder, or not ours to replace
  struct stat info {};
  bool regular = fstat(probe, &info) == 0 && S_ISREG(info.st_mode);
  close(probe);
  if (!regular) return false;
  target.exists = true;
  target.mode = static_cast<std::uint32_t>(info.st_mode & 07777);
  return true;
}

std::string TemporaryBase(const std::string& targetPath, std::size_t) { return targetPath; }

std::string ShortBase(const std::string& targetPath) { return FolderOf(targetPath) + "/"; }

unsigned NameNoise() {
  return static_cast<unsigned>(std::time(nullptr)) * 2654435761u +
         static_cast<unsigned>(getpid()) * 40503u;
}

Created CreateNew(const std::string& path, std::intptr_t& file) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  file = fd;
  if (fd != -1) return Created::Yes;
  if (errno == EEXIST) return Created::NameTaken;
  return errno == ENAMETOOLONG ? Created::NameUnusable : Created::Failed;
}

void Adopt(std::intptr_t file, const std::string& targetPath, const Target& target) {
  const int fd = static_cast<int>(file);
  struct stat info {};
  if (stat(targetPath.c_str(), &info) == 0) {
    // Best effort: only a privileged user can give the file to another owner.
    (void)!fchown(fd, info.st_uid, info.st_gid);
  }
  fchmod(fd, static_cast<mode_t>(target.mode));
}

bool WriteAll(std::intptr_t file, const char* bytes, std::size_t count) {
  while (count > 0) {
    ssize_t written = write(static_cast<int>(file), bytes, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

bool SyncAndClose(std::intptr_t file) {
  const bool synced = fsync(static_cast<int>(file)) == 0;
  return close(static_cast<int>(file)) == 0 && synced;
}

void Close(std::intptr_t file) { close(static_cast<int>(file)); }

bool CarryMarks(const std::string&, const Target&) { return true; }

bool Replace(const std::string& temporaryPath, const std::string& targetPath, const Target&) {
  return replaceCall(temporaryPath.c_str(), targetPath.c_str());
}

// The rename itself is durable only once the folder is synced; the data is safe either way.
void Settle(const std::string& targetPath) {
  int folder = open(FolderOf(targetPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder != -1) {
    fsync(folder);
    close(folder);
  }
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

void Remove(const std::string& path) { unlink(path.c_str()); }

void Pause(unsigned milliseconds) {
  const timespec pause{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

}  // namespace safe_write_system
