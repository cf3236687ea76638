// The user's locale as the C library sees it: locales are compiled with
// localedef into a scratch folder named by LOCPATH, so the tests need no
// locale installed system-wide.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "RecordingDesktop.h"
#include "Unit1/ResultsFile.h"

namespace harvex {
namespace {

class LocaleTest : public TRunTest {
 protected:
  static void SetUpTestSuite() {
    LocaleFolder = new std::string((std::filesystem::temp_directory_path() / "harvex-locales-XXXXXX").string());
    ASSERT_NE(mkdtemp(LocaleFolder->data()), nullptr);
    setenv("LOCPATH", LocaleFolder->c_str(), 1);
  }

  static void TearDownTestSuite() {
    unsetenv("LOCPATH");
    std::filesystem::remove_all(*LocaleFolder);
    delete LocaleFolder;
  }

  void TearDown() override { std::setlocale(LC_ALL, "C"); }

  // Compiles "<language>_<territory>.UTF-8" from the system's locale sources
  // unless done already.
  static void CompileLocale(const std::string& name) {
    if (std::filesystem::exists(*LocaleFolder + "/" + name)) return;
    const std::string source = name.substr(0, name.find('.'));
    const std::string command = "localedef -i " + source + " -f UTF-8 " + *LocaleFolder + "/" + name + " >/dev/null 2>&1";
    // localedef exits 1 on mere warnings; setlocale tells whether it worked.
    std::system(command.c_str());
  }

  // Switches the C library to a locale, compiling it first when it names a
  // territory; fails the test when it cannot be had.
  static bool UseLocale(const std::string& name) {
    if (name.find('_') != std::string::npos) CompileLocale(name);
    const bool found = std::setlocale(LC_ALL, name.c_str()) != nullptr;
    EXPECT_TRUE(found) << name << " was not compiled (localedef and the locales package are needed)";
    return found;
  }

  static std::string* LocaleFolder;
};

std::string* LocaleTest::LocaleFolder = nullptr;

TEST_F(LocaleTest, CommaLocaleShowsCommasInTheMemoAndPointsInTheRow) {
  if (!UseLocale("de_DE.UTF-8")) return;
  Recorder.Settings = FormatSettingsFromCLocale();
  ASSERT_EQ(Recorder.Settings.DecimalSeparator, ',');
  CreateResults();
  auto file = std::make_unique<TCoordinateFile_cdf>();
  file->FileKind = fkOutput;
  file->Info.Energy = -12.5;
  Run.ReportObject("o.out", std::move(file));

  EXPECT_EQ(Recorder.Memo.back(), "E [Hartree]=\t-12,5000000");
  EXPECT_EQ(ClosedRows(), "o.out\tOUT\t-1.25000000000000E+0001\tNO_THCHEM\tNO_THCHEM\t\r\n");
}

TEST_F(LocaleTest, HeaderUsesTheLocalesShortDateAndTimeFormats) {
  std::tm time{};
  time.tm_year = 124;
  time.tm_mon = 2;
  time.tm_mday = 7;
  time.tm_hour = 21;
  time.tm_min = 5;
  time.tm_sec = 3;
  if (UseLocale("de_DE.UTF-8")) {
    EXPECT_EQ(HeaderLine("H", time, FormatSettingsFromCLocale()), " Created by \"H\" on 07.03.2024, 21:05:03\r\n");
  }
  if (UseLocale("en_US.UTF-8")) {
    EXPECT_EQ(HeaderLine("H", time, FormatSettingsFromCLocale()), " Created by \"H\" on 03/07/2024, 09:05:03 PM\r\n");
  }
}

TEST_F(LocaleTest, PlainCLocalesKeepThePointAndThePlainHeaderForms) {
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    if (!UseLocale(name)) continue;
    const TFormatSettings settings = FormatSettingsFromCLocale();
    EXPECT_EQ(settings.DecimalSeparator, '.') << name;
    EXPECT_TRUE(settings.PlainCLocale) << name;
  }
}

}  // namespace
}  // namespace harvex
