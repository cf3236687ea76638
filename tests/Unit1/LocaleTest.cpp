// The user's locale as the C library sees it.
#include <gtest/gtest.h>

#include <clocale>

#include "RecordingDesktop.h"
#include "common/TestLocales.h"
#include "Unit1/ResultsFile.h"

namespace harvex {
namespace {

class LocaleTest : public TRunTest {
 protected:
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

using testing::UseLocale;

// The memo takes the locale's separator whole, also one of several bytes
// (U+066B in ps_AF); the row's scientific and fixed forms keep the point.
TEST_F(LocaleTest, MemoUsesTheLocalesSeparatorAndTheRowAlwaysAPoint) {
  const struct {
    const char* Locale;
    const char* Separator;
  } cases[] = {{"C", "."}, {"de_DE.UTF-8", ","}, {"ps_AF.UTF-8", "\xD9\xAB"}};
  for (const auto& [locale, separator] : cases) {
    if (!UseLocale(locale)) continue;
    Recorder.Formats = FormatSettingsFromCLocale();
    Recorder.Memo.clear();
    CreateResults();
    auto file = std::make_unique<TCoordinateFile_cdf>();
    file->FileKind = fkOutput;
    file->ResetOutInfo();
    file->Info.SourceOpened = true;
    file->Info.EnergyRead = true;
    file->Info.Energy = -101.003;
    file->Info.HasCounterpoise = true;
    file->Info.DCBSSum = -101.001L;
    file->Info.MCBSSum = -101.0L;
    Run.ReportObject("cp.out", std::move(file));

    const std::string point(separator);
    EXPECT_EQ(Recorder.Memo.at(3), "E [Hartree]=\t-101" + point + "0030000") << locale;
    EXPECT_EQ(Recorder.Memo.at(5), " BSSE correction:\t0" + point + "62751\tkcal/mole") << locale;
    EXPECT_EQ(ClosedRows(), "cp.out\tOUT\t-1.01003000000000E+0002\tNO_THCHEM\tNO_THCHEM\t0.6275095000\t-1.8825285000\t\r\n")
        << locale;
  }
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
    EXPECT_EQ(settings.DecimalSeparator, ".") << name;
    EXPECT_TRUE(settings.PlainCLocale) << name;
  }
}

}  // namespace
}  // namespace harvex
