#pragma once

#include <cstdint>
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
