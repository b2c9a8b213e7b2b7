#include "datafile/safe_write.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates a new file that did not exist before; -1 when none could be made.
int CreateUniqueFile(const std::string& targetPath, std::string& tempPath) {
  static unsigned serial = 0;
  std::string base = targetPath;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    unsigned long noise = static_cast<unsigned long>(std::time(nullptr)) * 2654435761u +
                          static_cast<unsigned long>(getpid()) * 40503u + ++serial;
    std::snprintf(suffix, sizeof suffix, ".velmora-%06lx.tmp", noise & 0xFFFFFFu);
    tempPath = base + suffix;
    int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd != -1) return fd;
    if (errno == EEXIST) continue;
    // The target's name may leave no room for a suffix: a short hidden name in the same folder.
    if (errno != ENAMETOOLONG || base != targetPath) break;
    base = FolderOf(targetPath) + "/";
  }
  tempPath.clear();
  return -1;
}

}  // namespace

SafeFileWriter::~SafeFileWriter() { Discard(); }

bool SafeFileWriter::Open(const std::string& targetPath) {
  Discard();
  failed_ = false;
  targetExists_ = false;
  targetPath_ = targetPath;
  if (targetPath.empty()) return false;

  // A symbolic link stays a link: its file is what gets replaced.
  struct stat linkInfo {};
  if (lstat(targetPath.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    char* resolved = realpath(targetPath.c_str(), nullptr);
    if (!resolved) return false;
    targetPath_ = resolved;
    std::free(resolved);
  }

  // Opening for writing (without truncating) asks the system itself whether the target may be
  // written; O_NONBLOCK keeps a FIFO from hanging before fstat rejects it.
  int probe = open(targetPath_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (probe != -1) {
    struct stat info {};
    bool regular = fstat(probe, &info) == 0 && S_ISREG(info.st_mode);
    close(probe);
    if (!regular) return false;
    targetExists_ = true;
    targetMode_ = static_cast<std::uint32_t>(info.st_mode & 07777);
  } else if (errno != ENOENT) {
    return false;  // read-only, a folder, or otherwise not ours to replace
  }

  int fd = CreateUniqueFile(targetPath_, tempPath_);
  if (fd == -1) return false;
  file_ = fd;
  if (targetExists_) {
    struct stat info {};
    if (stat(targetPath_.c_str(), &info) == 0) {
      // Best effort: only a privileged user can give the file to another owner.
      (void)!fchown(fd, info.st_uid, info.st_gid);
    }
    fchmod(fd, static_cast<mode_t>(targetMode_));
  }
  return true;
}

bool SafeFileWriter::WriteThrough(const void* bytes, std::size_t count) {
  const char* next = static_cast<const char*>(bytes);
  while (count > 0) {
    ssize_t written = write(static_cast<int>(file_), next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    next += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

void SafeFileWriter::CloseFile() {
  if (file_ != -1) close(static_cast<int>(file_));
  file_ = -1;
}

bool SafeFileWriter::Commit() {
  if (file_ == -1) return false;
  bool ok = FlushBuffer() && fsync(static_cast<int>(file_)) == 0;
  int fd = static_cast<int>(file_);
  file_ = -1;
  if (close(fd) != 0) ok = false;
  if (ok && rename(tempPath_.c_str(), targetPath_.c_str()) != 0) ok = false;
  if (!ok) {
    Discard();
    return false;
  }
  tempPath_.clear();
  // The rename itself is durable only once the folder is synced; the data is safe either way.
  int folder = open(FolderOf(targetPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder != -1) {
    fsync(folder);
    close(folder);
  }
  return true;
}

void SafeFileWriter::Discard() {
  CloseFile();
  buffer_.clear();
  if (!tempPath_.empty()) unlink(tempPath_.c_str());
  tempPath_.clear();
}
