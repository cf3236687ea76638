#include <clocale>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "common/TestLocales.h"
#include "rtl/RuntimeErrors.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

struct RealCase {
  const char* Line;
  int Start;
  long double Expected;
  int CursorAfter;
};

class ReadRealReads : public ::testing::TestWithParam<RealCase> {};

TEST_P(ReadRealReads, ValueAndCursor) {
  const RealCase& c = GetParam();
  int cursor = c.Start;
  EXPECT_EQ(ReadReal(c.Line, cursor), c.Expected) << c.Line;
  EXPECT_EQ(cursor, c.CursorAfter) << c.Line;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ReadRealReads,
    ::testing::Values(RealCase{"  \t-12.5E+01 x", 4, -125.0L, 13},
                      RealCase{"0,5", 1, 0.5L, 4},
                      RealCase{"0.5", 1, 0.5L, 4},
                      RealCase{"1.0D+02", 1, 100.0L, 8},
                      RealCase{"1.0d+02", 1, 100.0L, 8},
                      RealCase{"1.0E+02", 1, 100.0L, 8},
                      RealCase{"2.5e-3", 1, 2.5e-3L, 7},
                      RealCase{"-1.000000D+00", 1, -1.0L, 14},
                      RealCase{"+7", 1, 7.0L, 3},
                      RealCase{".", 1, 0.0L, 2},
                      RealCase{"5.", 1, 5.0L, 3},
                      RealCase{"-76.5 Eh", 1, -76.5L, 6},
                      RealCase{"x=-0.27024727614066D+03", 3, -270.24727614066L, 24}));

TEST(ReadReal, KeepsEightyBitPrecision) {
  int cursor = 1;
  EXPECT_EQ(ReadReal("0.1", cursor), 0.1L);
  EXPECT_NE(static_cast<long double>(0.1), 0.1L);
}

TEST(ReadReal, IgnoresTheUserLocaleAndLeavesItUnchanged) {
  const testing::TLocaleScope commaLocale("de_DE.UTF-8");
  ASSERT_TRUE(commaLocale.Ok);
  ASSERT_EQ(*std::localeconv()->decimal_point, ',');
  int cursor = 1;
  EXPECT_EQ(ReadReal("3.25", cursor), 3.25L);
  cursor = 1;
  EXPECT_EQ(ReadReal("3,25", cursor), 3.25L);
  cursor = 1;
  EXPECT_THROW(ReadReal("x", cursor), EConvertError);
  EXPECT_EQ(*std::localeconv()->decimal_point, ',');
}

struct IntCase {
  const char* Line;
  int Expected;
  int CursorAfter;
};

class ReadIntReads : public ::testing::TestWithParam<IntCase> {};

TEST_P(ReadIntReads, ValueAndCursor) {
  int cursor = 1;
  EXPECT_EQ(ReadInt(GetParam().Line, cursor), GetParam().Expected);
  EXPECT_EQ(cursor, GetParam().CursorAfter);
}

INSTANTIATE_TEST_SUITE_P(Forms, ReadIntReads,
                         ::testing::Values(IntCase{"123abc", 123, 4}, IntCase{"+5 6", 5, 3},
                                           IntCase{"-2147483648", -2147483647 - 1, 12},
                                           IntCase{"2147483647.", 2147483647, 11}));

// A number field that is not a number raises the conversion error naming
// the token as gathered (after the comma and exponent replacements).
struct BadToken {
  void (*Read)(std::string_view line);
  const char* Line;
  const char* Message;
};

void ReadRealFrom(std::string_view line) {
  int cursor = 1;
  ReadReal(line, cursor);
}

void ReadDoubleFrom(std::string_view line) {
  int cursor = 1;
  ReadDouble(line, cursor);
}

void ReadIntFrom(std::string_view line) {
  int cursor = 1;
  ReadInt(line, cursor);
}

class NumberReadersReject : public ::testing::TestWithParam<BadToken> {};

TEST_P(NumberReadersReject, WithTheConversionErrorNamingTheToken) {
  try {
    GetParam().Read(GetParam().Line);
    FAIL() << "no error for " << GetParam().Line;
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), GetParam().Message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, NumberReadersReject,
    ::testing::Values(BadToken{ReadRealFrom, "", "'' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "abc", "'' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "1.2.3", "'1.2.3' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "1,234.5", "'1.234.5' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "1-2", "'1-2' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "1d2d3", "'1E2d3' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "-", "'-' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "1E", "'1E' is not a valid floating point value"},
                      BadToken{ReadRealFrom, "1E99999", "'1E99999' is not a valid floating point value"},
                      // Beyond a double's range: named as it stands in the line.
                      BadToken{ReadDoubleFrom, "-1.0D+400 A.U.", "'-1.0D+400' is not a valid floating point value"},
                      BadToken{ReadDoubleFrom, "2e308", "'2e308' is not a valid floating point value"},
                      BadToken{ReadDoubleFrom, "1,2,3", "'1.2,3' is not a valid floating point value"},
                      BadToken{ReadIntFrom, "abc", "'' is not a valid integer value"},
                      BadToken{ReadIntFrom, "12-3", "'12-3' is not a valid integer value"},
                      BadToken{ReadIntFrom, "+", "'+' is not a valid integer value"},
                      BadToken{ReadIntFrom, "2147483648", "'2147483648' is not a valid integer value"},
                      BadToken{ReadIntFrom, "-2147483649", "'-2147483649' is not a valid integer value"},
                      BadToken{ReadIntFrom, "99999999999999999999999", "'99999999999999999999999' is not a valid integer value"}));

TEST(TryReadDouble, GivesNoneAndKeepsTheCursorWhereReadDoubleWouldRaise) {
  for (const std::string_view line : {"************", "2e308", "1.2.3"}) {
    int cursor = 1;
    EXPECT_FALSE(TryReadDouble(line, cursor).has_value()) << line;
    EXPECT_EQ(cursor, 1);
  }
  int cursor = 1;
  EXPECT_EQ(TryReadDouble("-0.5D+01 Eh", cursor), -5.0);
  EXPECT_EQ(cursor, 9);
}

TEST(ScanningRoutines, MoveTheCursorOnlyOverTheirOwnClass) {
  int cursor = 1;
  SkipBlanks("  \tx", cursor);
  EXPECT_EQ(cursor, 4);
  cursor = 1;
  SkipBlanks("\r x", cursor);
  EXPECT_EQ(cursor, 1) << "CR is no blank";

  cursor = 1;
  EXPECT_EQ(ReadWord("Cl  1.0", cursor), "Cl");
  EXPECT_EQ(cursor, 3);
  cursor = 1;
  EXPECT_EQ(ReadWord("C1", cursor), "C");
  EXPECT_EQ(cursor, 2);
  cursor = 1;
  EXPECT_EQ(ReadWord("6 0.0", cursor), "");
  EXPECT_EQ(cursor, 1);

  cursor = 1;
  EXPECT_EQ(ReadUntil("no tabs here", '\t', cursor), "no tabs here");
  EXPECT_EQ(cursor, 13);
  cursor = 3;
  EXPECT_EQ(ReadUntil("a/bc/d", '/', cursor), "bc");
  EXPECT_EQ(cursor, 5);
}

TEST(ReadChar, GivesNulPastTheEndWithoutMoving) {
  int cursor = 2;
  EXPECT_EQ(ReadChar("ab", cursor), 'b');
  EXPECT_EQ(cursor, 3);
  EXPECT_EQ(ReadChar("ab", cursor), '\0');
  EXPECT_EQ(cursor, 3);
}

TEST(ScanningRoutines, TreatACursorFarPastTheEndAsTheEnd) {
  int cursor = 100;
  SkipBlanks("abc", cursor);
  EXPECT_EQ(ReadWord("abc", cursor), "");
  EXPECT_EQ(ReadUntil("abc", 'x', cursor), "");
  EXPECT_THROW(ReadReal("abc", cursor), EConvertError);
}

}  // namespace
}  // namespace harvex
