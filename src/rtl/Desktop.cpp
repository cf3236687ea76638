#include "rtl/Desktop.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace harvex {
namespace {

class TSilentDesktop final : public TDesktop {
 public:
  void ShowMessage(const std::string&, const std::string&) override {}
  void AppendMemo(const std::string&) override {}
  void ClearMemo() override {}
  void ProcessEvents() override {}
  std::optional<std::vector<std::string>> ChooseFiles() override { return std::nullopt; }
  TFormatSettings FormatSettings() override { return {}; }
};

TSilentDesktop SilentDesktop;
TDesktop* Current = &SilentDesktop;

// "C", "POSIX" and the "C" locale with a code set, such as "C.UTF-8".
bool IsPlainLocaleName(const char* name) {
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

}  // namespace

TDesktop& Desktop() { return *Current; }

TDesktopScope::TDesktopScope(TDesktop& desktop) : Previous(Current) { Current = &desktop; }

TDesktopScope::~TDesktopScope() { Current = Previous; }

TFormatSettings FormatSettingsFromCLocale() {
  TFormatSettings settings;
  const char* point = std::localeconv()->decimal_point;
  if (point != nullptr && point[0] != '\0') settings.DecimalSeparator = point;
  settings.PlainCLocale = IsPlainLocaleName(std::setlocale(LC_TIME, nullptr));
  settings.ShortDateFormat = nl_langinfo(D_FMT);
  settings.LongTimeFormat = nl_langinfo(T_FMT);
  return settings;
}

}  // namespace harvex
