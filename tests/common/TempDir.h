// A private temporary folder for a test's input files, removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace harvex::testing {

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return Folder; }
  // The full path of a file of this name in the folder (written or not).
  std::string PathOf(std::string_view name) const { return (Folder / name).string(); }
  // Writes the bytes to a file of this name in the folder; returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path Folder;
};

// A fixture file kept in the project under tests/data; a missing one fails
// the calling test.
std::string TestDataPath(std::string_view relative);

// The whole content of a file, for comparing outputs byte for byte.
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace harvex::testing
