#pragma once

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary reading only if it is a regular file. A FIFO, a device or a folder
// is refused at once (null), like a missing file: a plain fopen of a FIFO with no writer
// would block forever.
FileHandle OpenRegularFile(const std::string& path);
