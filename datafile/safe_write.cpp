#include "datafile/safe_write.h"

#include <cstring>

namespace {

// Large enough that CSV rows cost one system call per many rows, small enough to stay cheap.
constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

bool SafeFileWriter::Write(const void* bytes, std::size_t count) {
  if (file_ == -1 || failed_) return false;
  if (count == 0) return true;
  const char* source = static_cast<const char*>(bytes);
  if (buffer_.capacity() < kBufferSize) buffer_.reserve(kBufferSize);
  if (buffer_.size() + count <= kBufferSize) {
    buffer_.insert(buffer_.end(), source, source + count);
    return true;
  }
  if (!FlushBuffer()) return false;
  if (count >= kBufferSize) {
    // A large block goes straight to the file rather than through the buffer.
    if (!WriteThrough(source, count)) {
      failed_ = true;
      return false;
    }
    return true;
  }
  buffer_.insert(buffer_.end(), source, source + count);
  return true;
}

bool SafeFileWriter::FlushBuffer() {
  if (failed_) return false;
  if (buffer_.empty()) return true;
  bool written = WriteThrough(buffer_.data(), buffer_.size());
  buffer_.clear();
  if (!written) failed_ = true;
  return written;
}
