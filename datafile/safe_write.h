#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
  void Discard();

  std::string targetPath_;
  std::string tempPath_;
  void* file_ = nullptr;  // the platform's open file
  bool failed_ = false;
};
