// harvex [FILE...]: the window program.
#include <QApplication>
#include <QSocketNotifier>
#include <sys/socket.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include "Unit1/Form1.h"
#include "rtl/EndSignals.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
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
  harvex::TForm1 form({}, std::vector<std::string>(argv + 1, argv + argc));
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
