#include "common/TestLocales.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

namespace harvex::testing {
namespace {

bool Available(const std::string& name) { return std::setlocale(LC_ALL, name.c_str()) != nullptr; }

// Compiles "<language>_<territory>.UTF-8" from the system's locale sources.
void CompilePrivateCopy(const std::string& name) {
  const auto folder = std::filesystem::temp_directory_path() / "harvex-test-locales";
  std::filesystem::create_directories(folder);
  setenv("LOCPATH", folder.c_str(), 1);
  if (std::filesystem::exists(folder / name)) return;
  const std::string source = name.substr(0, name.find('.'));
  const std::string command =
      "localedef -i " + source + " -f UTF-8 '" + (folder / name).string() + "' >/dev/null 2>&1";
  // localedef exits 1 on mere warnings; setlocale tells whether it worked.
  [[maybe_unused]] const int status = std::system(command.c_str());
}

}  // namespace

bool UseLocale(const std::string& name) {
  if (Available(name)) return true;
  if (name.find('_') != std::string::npos) CompilePrivateCopy(name);
  const bool found = Available(name);
  EXPECT_TRUE(found) << name << " could not be had (localedef and Debian's locales package are needed)";
  return found;
}

TLocaleScope::~TLocaleScope() { std::setlocale(LC_ALL, "C"); }

}  // namespace harvex::testing
