#include "datafile/safe_write.h"

#include <cstdio>
#include <cstring>

#include "datafile/safe_write_system.h"

namespace sys = safe_write_system;

namespace {

constexpr std::size_t kSuffixLength = 19;  // ".velmora-XXXXXX.tmp"
constexpr int kNameAttempts = 100;
// A program that holds the target for a moment (a virus scanner) usually lets go within a
// second; the move is tried this often, this far apart, before the temporary is left alone.
constexpr int kMoveRetries = 5;
constexpr unsigned kMoveRetryPause = 200;

}  // namespace

namespace safe_write_system {
ReplaceCall replaceCall = ReplaceWhole;
ReplaceCall moveCall = MoveReplacing;
}  // namespace safe_write_system

void SetReplaceCalls(ReplaceCall replace, ReplaceCall move) {
  sys::replaceCall = replace != nullptr ? replace : sys::ReplaceWhole;
  sys::moveCall = move != nullptr ? move : sys::MoveReplacing;
}

SafeFileWriter::~SafeFileWriter() { Discard(); }

bool SafeFileWriter::Open(const std::string& targetPath) {
  Discard();
  failed_ = false;
  targetExists_ = false;
  targetMode_ = 0;
  targetPath_ = targetPath;
  if (targetPath.empty()) return false;

  sys::Target target;
  if (!sys::ExamineTarget(targetPath_, target)) return false;
  targetExists_ = target.exists;
  targetMode_ = target.mode;
  if (!CreateTemporary()) return false;
  if (targetExists_) sys::Adopt(file_, targetPath_, target);
  return true;
}

bool SafeFileWriter::CreateTemporary() {
  static unsigned serial = 0;
  std::string base = sys::TemporaryBase(targetPath_, kSuffixLength);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char suffix[kSuffixLength + 1];
    std::snprintf(suffix, sizeof suffix, ".velmora-%06x.tmp",
                  (sys::NameNoise() + ++serial) & 0xFFFFFFu);
    tempPath_ = base + suffix;
    switch (sys::CreateNew(tempPath_, file_)) {
      case sys::Created::Yes: return true;
      case sys::Created::NameTaken: continue;
      case sys::Created::NameUnusable:
        // The target's name may leave no room for a suffix: a short name in the same folder.
        if (base == targetPath_) {
          base = sys::ShortBase(targetPath_);
          continue;
        }
        break;
      case sys::Created::Failed: break;
    }
    break;
  }
  file_ = sys::kNoFile;
  tempPath_.clear();
  return false;
}

bool SafeFileWriter::Write(const void* bytes, std::size_t count) {
  if (file_ == sys::kNoFile || failed_) return false;
  if (count == 0) return true;
  const char* source = static_cast<const char*>(bytes);
  if (buffer_.capacity() < bufferBytes_) buffer_.reserve(bufferBytes_);
  if (buffer_.size() + count <= bufferBytes_) {
    buffer_.insert(buffer_.end(), source, source + count);
    return true;
  }
  if (!FlushBuffer()) return false;
  if (count >= bufferBytes_) {
    // A large block goes straight to the file rather than through the buffer.
    if (!sys::WriteAll(file_, source, count)) {
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
  const bool written = sys::WriteAll(file_, buffer_.data(), buffer_.size());
  buffer_.clear();
  if (!written) failed_ = true;
  return written;
}

bool SafeFileWriter::Commit() {
  if (file_ == sys::kNoFile) return false;
  bool ok = FlushBuffer();
  const std::intptr_t file = file_;
  file_ = sys::kNoFile;
  if (!sys::SyncAndClose(file)) ok = false;
  sys::Target target{targetExists_, targetMode_};
  if (ok && !sys::CarryMarks(tempPath_, target)) ok = false;
  if (!ok) {
    Discard();
    return false;
  }
  bool replaced = sys::Replace(tempPath_, targetPath_, target);
  // Once the target is gone, the temporary holds the only copy: it is moved again while
  // whoever holds it lets go, and never removed.
  const auto onlyCopy = [this] { return targetExists_ && !sys::Exists(targetPath_); };
  for (int retry = 0; !replaced && retry < kMoveRetries && onlyCopy(); ++retry) {
    sys::Pause(kMoveRetryPause);
    replaced = sys::moveCall(tempPath_.c_str(), targetPath_.c_str());
  }
  if (!replaced) {
    if (onlyCopy()) tempPath_.clear();
    Discard();
    return false;
  }
  tempPath_.clear();
  sys::Settle(targetPath_);
  return true;
}

void SafeFileWriter::Discard() {
  if (file_ != sys::kNoFile) sys::Close(file_);
  file_ = sys::kNoFile;
  buffer_.clear();
  if (!tempPath_.empty()) sys::Remove(tempPath_);
  tempPath_.clear();
}
