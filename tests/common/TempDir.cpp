#include "common/TempDir.h"

#include <fstream>

#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

namespace harvex::testing {

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "harvex-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  Folder = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

std::string TTempDir::Write(std::string_view name, std::string_view bytes) const {
  const std::filesystem::path path = Folder / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path.string();
}

std::string TestDataPath(std::string_view relative) {
  const std::filesystem::path path = std::filesystem::path(HARVEX_TEST_DATA) / relative;
  if (!std::filesystem::is_regular_file(path)) ADD_FAILURE() << "missing fixture " << path;
  return path.string();
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace harvex::testing
