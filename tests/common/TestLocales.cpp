#include "common/TestLocales.h"

#include <clocale>
#include <cstdlib>

#include <gtest/gtest.h>

namespace harvex::testing {

bool UseLocale(const std::string& name) {
  const bool found = std::setlocale(LC_ALL, name.c_str()) != nullptr;
  const char* folder = std::getenv("LOCPATH");
  EXPECT_TRUE(found) << name << " could not be had; run the tests through ctest, whose compile_test_locales "
                     << "compiles it into the build folder (LOCPATH=" << (folder != nullptr ? folder : "unset")
                     << ")";
  return found;
}

TLocaleScope::~TLocaleScope() { std::setlocale(LC_ALL, "C"); }

}  // namespace harvex::testing
