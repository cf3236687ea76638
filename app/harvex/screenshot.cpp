// harvex-screenshot OUTPUT.png [PATH...]: creates the window in the current
// directory, reports PATHs as the first choice, and saves the window as it
// would first show. Run it with QT_QPA_PLATFORM=offscreen for a picture
// without a display.
#include <QApplication>
#include <QPixmap>

#include <clocale>
#include <cstdio>

#include "Unit1/Form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  std::setlocale(LC_ALL, "");
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [PATH...]\n", argv[0]);
    return 2;
  }
  const std::vector<std::string> paths(argv + 2, argv + argc);
  harvex::TForm1 form([&paths] { return std::optional(paths); });
  form.show();
  QApplication::processEvents();
  const bool saved = form.grab().save(QString::fromLocal8Bit(argv[1]));
  form.close();
  return saved ? 0 : 1;
}
