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

TEST_F(LocaleTest, CommaLocaleShowsCommasInTheMemoAndPointsInTheRow) {
  if (!UseLocale("de_DE.UTF-8")) return;
  Recorder.Formats = FormatSettingsFromCLocale();
  ASSERT_EQ(Recorder.Formats.DecimalSeparator, ',');
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
