// harvex [FILE...]: the window program.
#include <QApplication>

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "BatchCommandLine.h"
#include "Unit1/Form1.h"

namespace {

// Qt picks its platform from QT_QPA_PLATFORM when set; otherwise a window
// needs an X11 or Wayland display, and without one Qt would abort.
bool HasDisplay() {
  return std::getenv("QT_QPA_PLATFORM") != nullptr || std::getenv("DISPLAY") != nullptr ||
         std::getenv("WAYLAND_DISPLAY") != nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace harvex;
  // --help and --version print what harvex-batch prints for them.
  if (const auto info = std::find_if(argv + 1, argv + argc, IsInfoOption); info != argv + argc) {
    std::array<char*, 2> arguments = {argv[0], *info};
    TBatchOptions options;
    return ParseBatchCommandLine(static_cast<int>(arguments.size()), arguments.data(), options).value_or(ExitSuccess);
  }
  if (!HasDisplay()) {
    std::cerr << "harvex: the window needs a display ($DISPLAY or $WAYLAND_DISPLAY); harvex-batch reports "
                 "files without one\n";
    return ExitUsage;
  }
  QApplication application(argc, argv);
  // Wayland compositors take the window's icon from the desktop entry.
  QGuiApplication::setDesktopFileName(QStringLiteral("harvex"));
  // The report's decimal separator and the header's date and time follow the
  // user's locale as the C library sees it; make sure that is the user's.
  std::setlocale(LC_ALL, "");
  // Files named on the command line (the desktop's "Open with") are the
  // first choice; QApplication has taken its own options out of argv.
  TForm1 form({}, std::vector<std::string>(argv + 1, argv + argc));
  form.show();
  return QApplication::exec();
}
