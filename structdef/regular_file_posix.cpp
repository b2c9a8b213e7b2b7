#include "structdef/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>

FileHandle OpenRegularFile(const std::string& path) {
  // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer; it changes nothing for
  // a regular file, so it may stay set. The type is checked on the opened file, so the file
  // cannot be swapped between the check and the read.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  FileHandle file(fdopen(fd, "rb"));
  if (!file) {
    close(fd);
    return nullptr;
  }
  if (!RegularFileSize(file.get())) return nullptr;
  return file;
}

std::optional<std::uint64_t> RegularFileSize(std::FILE* file) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

bool SeekForward(std::FILE* file, std::uint64_t count) {
  return RegularFileSize(file) &&
         count <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
         fseeko(file, static_cast<off_t>(count), SEEK_CUR) == 0;
}
