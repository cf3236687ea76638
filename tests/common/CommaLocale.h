// A locale whose decimal separator is a comma, for tests that must show the
// program ignores (or follows) the user's separator.
#pragma once

#include <string>

namespace harvex::testing {

// Makes a German locale available to setlocale (compiling it with localedef
// into a private folder named by LOCPATH when the system lacks one) and
// returns its name. Fails the calling test when none can be had.
std::string CommaLocaleName();

// Sets LC_ALL to the comma locale for the scope; restores "C" after.
class TCommaLocaleScope {
 public:
  TCommaLocaleScope();
  ~TCommaLocaleScope();
  TCommaLocaleScope(const TCommaLocaleScope&) = delete;
  TCommaLocaleScope& operator=(const TCommaLocaleScope&) = delete;
};

}  // namespace harvex::testing
