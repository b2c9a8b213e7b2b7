#include "structdef/regular_file.h"

#include <sys/stat.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

FileHandle OpenRegularFile(const std::string& path) {
#ifdef _WIN32
  FileHandle file(std::fopen(path.c_str(), "rb"));
  struct _stat64 info {};
  if (!file || _fstat64(_fileno(file.get()), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
    return nullptr;
  return file;
#else
  // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer; it changes nothing for
  // a regular file, so it may stay set. The type is checked on the opened descriptor, so the
  // file cannot be swapped between the check and the read.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  FileHandle file(fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "rb") : nullptr);
  if (!file) close(fd);
  return file;
#endif
}
