// harvex: the window program.
#include <QApplication>

#include <clocale>

#include "Unit1/Form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The report's decimal separator and the header's date and time follow the
  // user's locale as the C library sees it; make sure that is the user's.
  std::setlocale(LC_ALL, "");
  harvex::TForm1 form;
  form.show();
  return QApplication::exec();
}
