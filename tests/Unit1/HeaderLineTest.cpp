#include <gtest/gtest.h>

#include <regex>

#include "RecordingDesktop.h"
#include "Unit1/ResultsFile.h"

namespace harvex {
namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

TEST(HeaderLineTest, PlainLocaleWritesMonthDayTwoDigitYearAndTwentyFourHourTime) {
  const TFormatSettings plain;
  EXPECT_EQ(HeaderLine("Harvex version 18.10.2012", At(2024, 3, 7, 9, 5, 3), plain),
            " Created by \"Harvex version 18.10.2012\" on 3/7/24, 9:05:03\r\n");
  EXPECT_EQ(HeaderLine("C", At(2005, 12, 31, 23, 59, 0), plain), " Created by \"C\" on 12/31/05, 23:59:00\r\n");
}

TEST(HeaderLineTest, LocaleFormatsGiveDateAndTime) {
  TFormatSettings settings;
  settings.PlainCLocale = false;
  settings.ShortDateFormat = "%d.%m.%Y";
  settings.LongTimeFormat = "%I:%M:%S %p";
  EXPECT_EQ(HeaderLine("H", At(2024, 3, 7, 21, 5, 3), settings), " Created by \"H\" on 07.03.2024, 09:05:03 PM\r\n");
}

TEST(HeaderLineTest, LocaleWithoutFormatsFallsBackToThePlainForms) {
  TFormatSettings settings;
  settings.PlainCLocale = false;
  EXPECT_EQ(HeaderLine("H", At(2024, 3, 7, 9, 5, 3), settings), " Created by \"H\" on 3/7/24, 9:05:03\r\n");
}

class ResultsFileTest : public TRunTest {};

TEST_F(ResultsFileTest, CreationWritesOnlyTheHeaderLine) {
  CreateResults();
  Run.CloseResultsFile();
  const std::regex header(R"( Created by "Harvex version 18\.10\.2012" on \d{1,2}/\d{1,2}/\d\d, \d{1,2}:\d\d:\d\d\r\n)");
  EXPECT_TRUE(std::regex_match(testing::ReadWholeFile(ResultsPath()), header)) << testing::ReadWholeFile(ResultsPath());
}

TEST_F(ResultsFileTest, StartingAgainTruncatesTheEarlierRows) {
  CreateResults();
  auto file = std::make_unique<TCoordinateFile_cdf>();
  file->IsCdf = true;
  Run.ReportObject("first.cdf", std::move(file));
  Run.CloseResultsFile();

  TResultsRun second(Recorder);
  second.CreateResultsFile(ResultsPath().string(), "Harvex version 18.10.2012");
  second.CloseResultsFile();
  EXPECT_EQ(testing::ReadWholeFile(ResultsPath()).find("first.cdf"), std::string::npos);
}

TEST_F(ResultsFileTest, ClosingAFileThatWasNeverCreatedIsSilent) {
  Run.CloseResultsFile();
  Run.CloseResultsFile();
  EXPECT_TRUE(Recorder.Messages.empty());
}

}  // namespace
}  // namespace harvex
