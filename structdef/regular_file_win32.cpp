#include "structdef/regular_file.h"

#include <sys/stat.h>

#include <limits>

// Opened for reading only: shares the file with other readers and writers.
FileHandle OpenRegularFile(const std::string& path) {
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file || !RegularFileSize(file.get())) return nullptr;
  return file;
}

std::optional<std::uint64_t> RegularFileSize(std::FILE* file) {
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG ||
      info.st_size < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

bool SeekForward(std::FILE* file, std::uint64_t count) {
  return RegularFileSize(file) &&
         count <= static_cast<std::uint64_t>(std::numeric_limits<__int64>::max()) &&
         _fseeki64(file, static_cast<__int64>(count), SEEK_CUR) == 0;
}
