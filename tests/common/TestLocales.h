// Locales for tests that must show how the program follows (or ignores) the
// user's formats. The locales are compiled before the tests run, into the
// build folder that LOCPATH names (tests/CMakeLists.txt lists them), so no
// locale needs installing system-wide.
#pragma once

#include <string>

namespace harvex::testing {

// Switches LC_ALL to the named locale ("de_DE.UTF-8", "C", ...); fails the
// calling test and returns false when it cannot be had.
bool UseLocale(const std::string& name);

// A locale for the length of a scope; "C" again after it.
class TLocaleScope {
 public:
  explicit TLocaleScope(const std::string& name) : Ok(UseLocale(name)) {}
  ~TLocaleScope();
  TLocaleScope(const TLocaleScope&) = delete;
  TLocaleScope& operator=(const TLocaleScope&) = delete;

  const bool Ok;
};

}  // namespace harvex::testing
