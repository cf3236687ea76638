#include "common/CommaLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

namespace harvex::testing {
namespace {

constexpr const char* LocaleName = "de_DE.UTF-8";

bool Available() {
  const bool ok = std::setlocale(LC_ALL, LocaleName) != nullptr;
  std::setlocale(LC_ALL, "C");
  return ok;
}

bool CompilePrivateCopy() {
  const auto folder = std::filesystem::temp_directory_path() / "harvex-test-locales";
  std::filesystem::create_directories(folder);
  const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder / LocaleName).string() +
                              "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / LocaleName)) return false;
  setenv("LOCPATH", folder.c_str(), 1);
  return Available();
}

}  // namespace

std::string CommaLocaleName() {
  static const bool ready = Available() || CompilePrivateCopy();
  if (!ready) ADD_FAILURE() << "no comma-separator locale: install Debian's locales package";
  return LocaleName;
}

TCommaLocaleScope::TCommaLocaleScope() { std::setlocale(LC_ALL, CommaLocaleName().c_str()); }

TCommaLocaleScope::~TCommaLocaleScope() { std::setlocale(LC_ALL, "C"); }

}  // namespace harvex::testing
