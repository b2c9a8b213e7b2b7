#include "datafile/data_buffer.h"

#include <sys/stat.h>

#include <cstdio>
#include <new>

#include "datafile/safe_write.h"
#include "structdef/regular_file.h"

namespace {

// The size of an open file; false when it cannot be known.
bool FileSize(std::FILE* file, std::uint64_t& size) {
#ifdef _WIN32
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0) return false;
#else
  struct stat info {};
  if (fstat(fileno(file), &info) != 0) return false;
#endif
  if (info.st_size < 0) return false;
  size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

}  // namespace

bool LoadDataFile(DataBuffer& data, const std::string& path) {
  // Opened for reading only: shares the file with other readers and writers on Windows too.
  FileHandle file = OpenRegularFile(path);
  if (!file) return false;
  std::uint64_t size = 0;
  if (!FileSize(file.get(), size) || size > UINT32_MAX) return false;

  // The earlier bytes, edits included, stay until the new ones are wholly in.
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
  if (!bytes) return false;
  if (size > 0 && std::fread(bytes.get(), 1, size, file.get()) != size) return false;

  data.bytes = std::move(bytes);
  data.byteCount = static_cast<std::uint32_t>(size);
  return true;
}

bool SaveDataFile(const DataBuffer& data, const std::string& path) {
  if (!data.HasBytes()) return false;
  SafeFileWriter writer;
  return writer.Open(path) && writer.Write(data.bytes.get(), data.byteCount) && writer.Commit();
}
