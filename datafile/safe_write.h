#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Writes a file so that the target is either replaced whole or left exactly as it was: the bytes
// go to a temporary file in the target's folder, which replaces the target only on Commit.
class SafeFileWriter {
 public:
  SafeFileWriter() = default;
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;
  ~SafeFileWriter();  // an uncommitted temporary file is removed

  // False when the target exists but is not a writable file, or the temporary cannot be made.
  bool Open(const std::string& targetPath);
  bool Write(const void* bytes, std::size_t count);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  // Flushes, closes and replaces the target; false (target untouched) on any failure.
  bool Commit();

 private:
  bool WriteThrough(const void* bytes, std::size_t count);
  bool FlushBuffer();
  void CloseFile();
  void Discard();

  std::string targetPath_;
  std::string tempPath_;
  std::vector<char> buffer_;
  std::intptr_t file_ = -1;  // the platform's open file: a descriptor or a HANDLE; -1 when none
  std::uint32_t targetMode_ = 0;  // the target's permission bits (POSIX) or attributes (Windows)
  bool targetExists_ = false;
  bool failed_ = false;
};
