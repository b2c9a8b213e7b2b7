#pragma once

// The few system calls under the safe writer, one half per platform (safe_write_posix.cpp,
// safe_write_win32.cpp); the order in which they are made lives once, in safe_write.cpp.

#include <cstddef>
#include <cstdint>
#include <string>

#include "datafile/safe_write.h"

namespace safe_write_system {

inline constexpr std::intptr_t kNoFile = -1;

// What Open learns of the target. `path` becomes the file to replace (a symbolic link's file on
// POSIX); false when the target exists but is not a writable file, or cannot be asked about.
struct Target {
  bool exists = false;
  std::uint32_t mode = 0;  // permission bits (POSIX) or attributes (Windows)
};
bool ExamineTarget(std::string& path, Target& target);

// The name a temporary starts from: the target's own, or a short name in its folder (the folder
// and its separator) where the target's name leaves no room for a suffix of `suffixLength`.
std::string TemporaryBase(const std::string& targetPath, std::size_t suffixLength);
std::string ShortBase(const std::string& targetPath);
unsigned NameNoise();

enum class Created { Yes, NameTaken, NameUnusable, Failed };
// Creates `path`, which must not exist yet, for writing.
Created CreateNew(const std::string& path, std::intptr_t& file);
// The new file takes what it can of the target's owner and mode.
void Adopt(std::intptr_t file, const std::string& targetPath, const Target& target);

bool WriteAll(std::intptr_t file, const char* bytes, std::size_t count);
// Writes the file through to the disk and closes it; false when either fails (it is closed).
bool SyncAndClose(std::intptr_t file);
void Close(std::intptr_t file);
// Marks the finished temporary as the target was marked; false when that fails.
bool CarryMarks(const std::string& temporaryPath, const Target& target);

// The system's own replacement in one step and move to the target's name; Replace and the
// move call them through `replaceCall` and `moveCall`, which a test may change.
bool ReplaceWhole(const char* temporaryPath, const char* targetPath);
bool MoveReplacing(const char* temporaryPath, const char* targetPath);
extern ReplaceCall replaceCall;
extern ReplaceCall moveCall;

// Puts the temporary in the target's place in one step, as far as the system lets it; false
// when it did not (then the target may be as it was, or gone).
bool Replace(const std::string& temporaryPath, const std::string& targetPath, const Target& target);
// Makes a finished replacement durable where the system needs a step of its own for it.
void Settle(const std::string& targetPath);

bool Exists(const std::string& path);
void Remove(const std::string& path);
void Pause(unsigned milliseconds);

}  // namespace safe_write_system
