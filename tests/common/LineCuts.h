// Every cut of a text after one of its lines, for tests that load outputs
// truncated anywhere.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace harvex::testing {

// Calls check with each prefix of the text that ends with a line end at or
// after the given offset, the last line of the prefix named in the trace.
template <class TCheck>
void ForEachLineCut(std::string_view text, std::size_t from, TCheck check) {
  for (std::size_t end = text.find('\n', from); end != std::string_view::npos; end = text.find('\n', end + 1)) {
    const std::string cut(text.substr(0, end + 1));
    const std::size_t lineStart = end == 0 ? 0 : cut.rfind('\n', end - 1) + 1;
    SCOPED_TRACE("cut after: " + cut.substr(lineStart));
    check(cut);
  }
}

}  // namespace harvex::testing
