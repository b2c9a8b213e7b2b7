#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A folder of its own for one test, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::string& Path() const { return path_; }
  // `name` joined to the folder with the platform's separator.
  std::string File(std::string_view name) const;

 private:
  std::string path_;
};

void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);

#ifdef _WIN32
inline constexpr char kSeparator[] = "\\";
#else
inline constexpr char kSeparator[] = "/";
#endif

// False when the folder could not be made; the name is passed to the system byte for byte.
bool MakeFolder(const std::string& path);

#ifndef _WIN32
// Runs `body` in a forked child; its exit code, or -1 when it did not exit normally.
int InChild(const std::function<int()>& body);
// In a child: becomes "nobody" when root, since permission bits do not stop root.
bool DropRoot();
// In a child: writes past `bytes` fail (SIGXFSZ ignored) instead of ending the process.
bool LimitFileSize(long bytes);
#endif
