#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct DataBuffer {
  // Null until the first successful load; an empty file loads as non-null with byteCount 0.
  std::unique_ptr<std::uint8_t[]> bytes;
  std::uint32_t byteCount = 0;

  bool HasBytes() const { return bytes != nullptr; }
};

// Loads the whole file; on any failure returns false and leaves `data` exactly as it was.
bool LoadDataFile(DataBuffer& data, const std::string& path);

// Replaces the file at `path` with the bytes, never leaving it half written.
bool SaveDataFile(const DataBuffer& data, const std::string& path);
