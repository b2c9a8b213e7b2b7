#include "datafile/safe_write.h"

#include <windows.h>

#include <cstdio>

namespace {

HANDLE AsHandle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

// The folder part of a path with its last separator ("" for a bare name). The path is CP932,
// where a trail byte may be 0x5C, so lead bytes are stepped over rather than scanned.
std::string FolderOf(const std::string& path) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsDBCSLeadByte(c) && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\' || c == '/' || c == ':') {
      end = i + 1;
    }
  }
  return path.substr(0, end);
}

// Creates a new file that did not exist before; INVALID_HANDLE_VALUE when none could be made.
HANDLE CreateUniqueFile(const std::string& targetPath, std::string& tempPath) {
  static unsigned serial = 0;
  constexpr std::size_t kSuffixLength = 19;  // ".velmora-XXXXXX.tmp"
  // A long target name leaves no room for the suffix within MAX_PATH: a short name instead.
  std::string base =
      targetPath.size() + kSuffixLength < MAX_PATH ? targetPath : FolderOf(targetPath);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    unsigned noise = GetTickCount() * 2654435761u + GetCurrentProcessId() * 40503u + ++serial;
    std::snprintf(suffix, sizeof suffix, ".velmora-%06x.tmp", noise & 0xFFFFFFu);
    tempPath = base + suffix;
    HANDLE file = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    DWORD error = GetLastError();
    // Wine reports a name too long for the host's file system as existing: believe it only
    // when the name is really there.
    if ((error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) &&
        GetFileAttributesA(tempPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
      continue;
    }
    if (base != targetPath) break;
    base = FolderOf(targetPath);
  }
  tempPath.clear();
  return INVALID_HANDLE_VALUE;
}

// ReplaceFileA gives the new content the target's attributes, access control list, owner and
// creation time, which a rename would replace with the folder's defaults. Where it cannot work,
// a rename that replaces whole still keeps the target either old or new.
bool ReplaceTarget(const std::string& tempPath, const std::string& targetPath, bool targetExists) {
  if (targetExists) {
    // A target that another program holds without sharing its deletion cannot be replaced;
    // asking first spares a replacement that fails half-way (Wine then leaves a file behind).
    HANDLE probe = CreateFileA(targetPath.c_str(), DELETE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
      if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    } else {
      CloseHandle(probe);
    }
    if (ReplaceFileA(targetPath.c_str(), tempPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      return true;
    }
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:  // the target went away since Open
      case ERROR_NOT_SUPPORTED:   // a volume or file system without it
      case ERROR_INVALID_FUNCTION:
      case ERROR_CALL_NOT_IMPLEMENTED: break;
      case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        // The target is already removed and the new content still has its temporary name.
        if (GetFileAttributesA(targetPath.c_str()) == INVALID_FILE_ATTRIBUTES) break;
        return false;
      default:  // in use, access denied, a full disk: the target stays as it was
        return false;
    }
  }
  return MoveFileExA(tempPath.c_str(), targetPath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

SafeFileWriter::~SafeFileWriter() { Discard(); }

bool SafeFileWriter::Open(const std::string& targetPath) {
  Discard();
  failed_ = false;
  targetExists_ = false;
  targetMode_ = 0;
  targetPath_ = targetPath;
  if (targetPath.empty()) return false;

  DWORD attributes = GetFileAttributesA(targetPath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    // Opening for writing asks the system whether the target may be written: a file that
    // another program holds without sharing, or that we may not write, is refused here.
    HANDLE probe = CreateFileA(targetPath.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    bool isDisk = GetFileType(probe) == FILE_TYPE_DISK;
    CloseHandle(probe);
    if (!isDisk) return false;
    targetExists_ = true;
    targetMode_ = attributes;
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    return false;
  }

  HANDLE file = CreateUniqueFile(targetPath_, tempPath_);
  if (file == INVALID_HANDLE_VALUE) return false;
  file_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

bool SafeFileWriter::WriteThrough(const void* bytes, std::size_t count) {
  const char* next = static_cast<const char*>(bytes);
  while (count > 0) {
    DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(AsHandle(file_), next, chunk, &written, nullptr) || written == 0) return false;
    next += written;
    count -= written;
  }
  return true;
}

void SafeFileWriter::CloseFile() {
  if (file_ != -1) CloseHandle(AsHandle(file_));
  file_ = -1;
}

bool SafeFileWriter::Commit() {
  if (file_ == -1) return false;
  bool ok = FlushBuffer() && FlushFileBuffers(AsHandle(file_));
  HANDLE file = AsHandle(file_);
  file_ = -1;
  if (!CloseHandle(file)) ok = false;
  // The replacement takes the target's hidden and system marks on every path (Wine's
  // ReplaceFileA does not copy them); it is new content, so it is marked for backup.
  constexpr DWORD kCarried =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (ok && targetExists_ && (targetMode_ & kCarried) != 0 &&
      !SetFileAttributesA(tempPath_.c_str(), (targetMode_ & kCarried) | FILE_ATTRIBUTE_ARCHIVE)) {
    ok = false;
  }
  if (ok && !ReplaceTarget(tempPath_, targetPath_, targetExists_)) ok = false;
  if (!ok) {
    Discard();
    return false;
  }
  tempPath_.clear();
  return true;
}

void SafeFileWriter::Discard() {
  CloseFile();
  buffer_.clear();
  if (!tempPath_.empty()) DeleteFileA(tempPath_.c_str());
  tempPath_.clear();
}
