#include "datafile/data_buffer.h"

#include <cstdio>
#include <new>

#include "datafile/safe_write.h"
#include "structdef/regular_file.h"

bool LoadDataFile(DataBuffer& data, const std::string& path) {
  FileHandle file = OpenRegularFile(path);
  const std::optional<std::uint64_t> known = file ? RegularFileSize(file.get()) : std::nullopt;
  if (!known || *known > UINT32_MAX) return false;
  const std::uint64_t size = *known;

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
