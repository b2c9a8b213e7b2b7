#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Large enough that CSV rows cost one system call per many rows, small enough to stay cheap.
inline constexpr std::size_t kSafeWriteBufferBytes = 64 * 1024;

// Writes a file so that the target is either replaced whole or left exactly as it was: the bytes
// go to a temporary file in the target's folder, which replaces the target only on Commit.
class SafeFileWriter {
 public:
  explicit SafeFileWriter(std::size_t bufferBytes = kSafeWriteBufferBytes)
      : bufferBytes_(bufferBytes) {}
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;
  ~SafeFileWriter();  // an uncommitted temporary file is removed

  // False when the target exists but is not a writable file, or the temporary cannot be made.
  bool Open(const std::string& targetPath);
  bool Write(const void* bytes, std::size_t count);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  // Flushes, closes and replaces the target; false on any failure. The target is then as it
  // was, unless the system took it away part-way: then the new content stays under the
  // temporary's name, never removed, as the only copy left.
  bool Commit();

 private:
  bool CreateTemporary();
  bool FlushBuffer();
  void Discard();

  std::size_t bufferBytes_;
  std::string targetPath_;
  std::string tempPath_;
  std::vector<char> buffer_;
  std::intptr_t file_ = -1;  // the platform's open file: a descriptor or a HANDLE; -1 when none
  std::uint32_t targetMode_ = 0;  // the target's permission bits (POSIX) or attributes (Windows)
  bool targetExists_ = false;
  bool failed_ = false;
};

// The system calls that put a temporary in the target's place (ReplaceFileA and MoveFileExA on
// Windows, rename for both on POSIX), so that a test can make them fail as a program holding
// the file does; null gives back the system's own.
using ReplaceCall = bool (*)(const char* temporaryPath, const char* targetPath);
void SetReplaceCalls(ReplaceCall replace, ReplaceCall move);
