// The one seam between the core and whatever desktop runs it: the Qt window,
// the batch command line, or a test that records the calls.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rtl/ByteSource.h"

namespace harvex {

// The user's locale formats the report needs.
struct TFormatSettings {
  // The locale's decimal separator, whole: it may be several bytes (U+066B
  // in Arabic-script locales).
  std::string DecimalSeparator = ".";
  // strftime patterns for the results file's header line.
  std::string ShortDateFormat;
  std::string LongTimeFormat;
  // The "C" locale has no patterns of its own: month/day/two-digit year and
  // a 24-hour clock, both without leading zeros.
  bool PlainCLocale = true;
};

// What the core asks of the desktop.
class TDesktop {
 public:
  virtual ~TDesktop() = default;

  // A modal error box with one OK button and no owner window; returns when
  // the user has closed it.
  virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
  virtual void AppendMemo(const std::string& line) = 0;
  virtual void ClearMemo() = 0;
  // Let the desktop repaint and handle pending events once.
  virtual void ProcessEvents() = 0;
  // Runs the file chooser; nothing when the user cancelled.
  virtual std::optional<std::vector<std::string>> ChooseFiles() = 0;
  virtual TFormatSettings FormatSettings() = 0;
};

// Files held in memory by the name a load meets them under, such as the
// bytes a script hands over with the name they would have on disk.
using TMemoryFiles = std::map<std::string, std::string, std::less<>>;

// What one load reports to and where the relative names it meets lead. Each
// loading object carries its own, so that loads on several threads, or in a
// program that embeds the core, never share a desktop or a folder.
struct TLoadContext {
  TLoadContext() = default;
  // Boxes go to Desktop; relative names are taken against Folder.
  TLoadContext(TDesktop& desktop, std::string folder = {}) : Desktop(&desktop), Folder(std::move(folder)) {}

  // A box on the desktop; dropped without one.
  void ShowMessage(const std::string& caption, const std::string& text) const;
  // The name to open for Name: a relative one below Folder. An absolute or
  // empty name, or any name without a Folder, is opened as given.
  std::string Resolve(const std::string& name) const;
  // Opens Name for reading: the file held in memory under that name, else
  // the regular file Resolve names.
  TOpenedSource Open(const std::string& name) const;
  // Whether Name leads to something that is neither a regular file nor a
  // folder; a file held in memory never does.
  bool IsSpecial(const std::string& name) const;

  TDesktop* Desktop = nullptr;
  std::string Folder;
  // Read in place of the file system where a name is found there; shared,
  // unchanged, by every copy of the context.
  std::shared_ptr<const TMemoryFiles> MemoryFiles;
};

// The context with one more file held in memory: Bytes under Name.
TLoadContext WithMemoryFile(TLoadContext context, const std::string& name, std::string bytes);

// The formats of the C library's current locale (after setlocale(LC_ALL, "")).
TFormatSettings FormatSettingsFromCLocale();

}  // namespace harvex
