#include <windows.h>

#include "datafile/safe_write_system.h"

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

}  // namespace

namespace safe_write_system {

bool ReplaceWhole(const char* temporaryPath, const char* targetPath) {
  return ReplaceFileA(targetPath, temporaryPath, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr) != 0;
}

bool MoveReplacing(const char* temporaryPath, const char* targetPath) {
  return MoveFileExA(temporaryPath, targetPath,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool ExamineTarget(std::string& path, Target& target) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
  // Opening for writing asks the system whether the target may be written: a file that
  // another program holds without sharing, or that we may not write, is refused here.
  HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return false;
  bool isDisk = GetFileType(probe) == FILE_TYPE_DISK;
  CloseHandle(probe);
  if (!isDisk) return false;
  target.exists = true;
  target.mode = attributes;
  return true;
}

// A long target name leaves no room for the suffix within MAX_PATH: a short name instead.
std::string TemporaryBase(const std::string& targetPath, std::size_t suffixLength) {
  return targetPath.size() + suffixLength < MAX_PATH ? targetPath : FolderOf(targetPath);
}

std::string ShortBase(const std::string& targetPath) { return FolderOf(targetPath); }

unsigned NameNoise() { return GetTickCount() * 2654435761u + GetCurrentProcessId() * 40503u; }

Created CreateNew(const std::string& path, std::intptr_t& file) {
  HANDLE created = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  file = reinterpret_cast<std::intptr_t>(created);
  if (created != INVALID_HANDLE_VALUE) return Created::Yes;
  DWORD error = GetLastError();
  // Wine reports a name too long for the host's file system as existing: believe it only
  // when the name is really there.
  if ((error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) &&
      GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return Created::NameTaken;
  }
  return Created::NameUnusable;
}

void Adopt(std::intptr_t, const std::string&, const Target&) {}

bool WriteAll(std::intptr_t file, const char* bytes, std::size_t count) {
  while (count > 0) {
    DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(AsHandle(file), bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

bool SyncAndClose(std::intptr_t file) {
  const bool synced = FlushFileBuffers(AsHandle(file)) != 0;
  return CloseHandle(AsHandle(file)) != 0 && synced;
}

void Close(std::intptr_t file) { CloseHandle(AsHandle(file)); }

// The replacement takes the target's hidden and system marks on every path (Wine's
// ReplaceFileA does not copy them); it is new content, so it is marked for backup.
bool CarryMarks(const std::string& temporaryPath, const Target& target) {
  constexpr DWORD kCarried =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (!target.exists || (target.mode & kCarried) == 0) return true;
  return SetFileAttributesA(temporaryPath.c_str(),
                            (target.mode & kCarried) | FILE_ATTRIBUTE_ARCHIVE) != 0;
}

// ReplaceFileA gives the new content the target's attributes, access control list, owner and
// creation time, which a rename would replace with the folder's defaults. Where it cannot work,
// a rename that replaces whole still keeps the target either old or new.
bool Replace(const std::string& temporaryPath, const std::string& targetPath,
             const Target& target) {
  if (target.exists) {
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
    if (replaceCall(temporaryPath.c_str(), targetPath.c_str())) return true;
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:  // the target went away since Open
      case ERROR_NOT_SUPPORTED:   // a volume or file system without it
      case ERROR_INVALID_FUNCTION:
      case ERROR_CALL_NOT_IMPLEMENTED: break;
      case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        // The target is already removed and the new content still has its temporary name.
        if (!Exists(targetPath)) break;
        return false;
      default:  // in use, access denied, a full disk: the target stays as it was
        return false;
    }
  }
  return moveCall(temporaryPath.c_str(), targetPath.c_str());
}

void Settle(const std::string&) {}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Remove(const std::string& path) { DeleteFileA(path.c_str()); }

void Pause(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace safe_write_system
