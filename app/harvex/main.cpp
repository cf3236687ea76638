// harvex [FILE...]: the window program.
#include <QApplication>

#include <clocale>
#include <string>
#include <vector>

#include "Unit1/Form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The report's decimal separator and the header's date and time follow the
  // user's locale as the C library sees it; make sure that is the user's.
  std::setlocale(LC_ALL, "");
  // Files named on the command line (the desktop's "Open with") are the
  // first choice; QApplication has taken its own options out of argv.
  harvex::TForm1 form({}, std::vector<std::string>(argv + 1, argv + argc));
  form.show();
  return QApplication::exec();
}
