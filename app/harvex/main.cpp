// harvex [FILE...]: the window program.
#include <QApplication>
#include <QSocketNotifier>
#include <sys/socket.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Unit1/Form1.h"
#include "Unit1/Unit1.h"
#include "rtl/EndSignals.h"
#include "rtl/StandardHandles.h"

namespace {

constexpr int ExitSuccess = 0;
constexpr int ExitProblem = 1;
constexpr int ExitUsage = 2;

// The window's own texts for --help and --version, which it answers without
// a display; the options of the reports live in harvex-batch.
constexpr std::string_view HelpText =
    R"(The Harvex window: for every file you choose it shows the electronic energy
with its method label, the modes and the first frequency, the Gibbs energy and
the counterpoise data of Gaussian and ORCA outputs (.out or .log, gzipped or
not, or .zip holding one) and conformer descriptions (.cdf), and writes one
tab-separated row per file to Harvex_res.txt in the current folder (an old one
is overwritten). A .txt file is read as a list of paths.

Usage: harvex [FILE...]

  FILE...      Files to report first, in place of the first file dialog
  -h, --help   Print this help and exit
  --version    Print the version and exit

Qt's own options, such as -platform NAME, are accepted too. harvex-batch
reports files without a window, for scripts and servers, and has the options
for thermochemistry and conformer ensembles: see harvex-batch --help.
)";

// Whether an argument asks only for the help or the version text.
bool IsInfoOption(std::string_view argument) {
  return argument == "--help" || argument == "-h" || argument == "--version";
}

// Qt picks its platform from QT_QPA_PLATFORM when set; otherwise a window
// needs an X11 or Wayland display, and without one Qt would abort.
bool HasDisplay() {
  return std::getenv("QT_QPA_PLATFORM") != nullptr || std::getenv("DISPLAY") != nullptr ||
         std::getenv("WAYLAND_DISPLAY") != nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace harvex;
  OpenStandardHandles();
  if (const auto info = std::find_if(argv + 1, argv + argc, IsInfoOption); info != argv + argc) {
    if (std::string_view(*info) == "--version") {
      std::cout << "harvex " HARVEX_VERSION " (" << MainWindowCaption << ")\n";
    } else {
      std::cout << HelpText;
    }
    std::cout.flush();
    return std::cout ? ExitSuccess : ExitProblem;
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
  // An end signal wakes the event loop through a socket pair, and the window
  // closes as "Exit" would close it. Without the pair the signals keep their
  // default action, which leaves every complete row in the file too.
  int wake[2] = {-1, -1};
  const bool woken = ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wake) == 0;
  if (woken) harvex::CatchEndSignals(wake[1]);
  // Files named on the command line (the desktop's "Open with") are the
  // first choice; QApplication has taken its own options out of argv.
  TForm1 form({}, std::vector<std::string>(argv + 1, argv + argc));
  std::optional<QSocketNotifier> notifier;
  if (woken) {
    notifier.emplace(wake[0], QSocketNotifier::Read);
    QObject::connect(&*notifier, &QSocketNotifier::activated, &form, [&] {
      notifier->setEnabled(false);
      form.EndRun();
    });
  }
  form.show();
  const int status = QApplication::exec();
  harvex::EndByCaughtSignal();
  return status;
}
