// A new empty folder in the system's temporary folder, removed with all it
// holds when the object ends; and the platform's wide spelling of a path.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Win32.h"

namespace testing_files {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes a file of these bytes in the folder and returns its path.
  std::filesystem::path Write(const std::string& name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

// The path as the Win32 calls take it.
WStr WidePath(const std::filesystem::path& path);

}  // namespace testing_files
