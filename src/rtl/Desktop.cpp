#include "rtl/Desktop.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

#include "rtl/RegularFile.h"

namespace harvex {
namespace {

// "C", "POSIX" and the "C" locale with a code set, such as "C.UTF-8".
bool IsPlainLocaleName(const char* name) {
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

}  // namespace

void TLoadContext::ShowMessage(const std::string& caption, const std::string& text) const {
  if (Desktop != nullptr) Desktop->ShowMessage(caption, text);
}

std::string TLoadContext::Resolve(const std::string& name) const {
  if (Folder.empty() || name.empty() || name.front() == '/') return name;
  return Folder.back() == '/' ? Folder + name : Folder + '/' + name;
}

TOpenedSource TLoadContext::Open(const std::string& name) const {
  if (MemoryFiles) {
    if (const auto found = MemoryFiles->find(name); found != MemoryFiles->end())
      return {MemorySource(found->second), {}};
  }
  return OpenFileSource(Resolve(name));
}

bool TLoadContext::IsSpecial(const std::string& name) const {
  return !(MemoryFiles && MemoryFiles->contains(name)) && IsSpecialFile(Resolve(name));
}

TLoadContext WithMemoryFile(TLoadContext context, const std::string& name, std::string bytes) {
  auto files = context.MemoryFiles ? std::make_shared<TMemoryFiles>(*context.MemoryFiles)
                                   : std::make_shared<TMemoryFiles>();
  (*files)[name] = std::move(bytes);
  context.MemoryFiles = std::move(files);
  return context;
}

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
