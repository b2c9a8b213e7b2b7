#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary reading only if it is a regular file. A FIFO, a device or a folder
// is refused at once (null), like a missing file: a plain fopen of a FIFO with no writer
// would block forever.
FileHandle OpenRegularFile(const std::string& path);

// The size of `file` when it is a regular file; none for a pipe or a device, or when unknown.
std::optional<std::uint64_t> RegularFileSize(std::FILE* file);

// Moves `count` bytes on in a regular file without reading them; false where that cannot be
// done (a pipe), so that the caller reads past them instead.
bool SeekForward(std::FILE* file, std::uint64_t count);
