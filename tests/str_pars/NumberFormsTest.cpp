#include <gtest/gtest.h>

#include <limits>

#include "str_pars/NumberForms.h"

namespace harvex {
namespace {

struct TFormCase {
  const char* Name;
  long double Value;
  const char* Expected;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const TFormCase& c, std::ostream* out) { *out << c.Name; }

class ScientificRowFormTest : public ::testing::TestWithParam<TFormCase> {};

TEST_P(ScientificRowFormTest, WritesTwentyThreeCharacters) {
  const std::string text = ScientificRowForm(GetParam().Value);
  EXPECT_EQ(text, GetParam().Expected);
  EXPECT_EQ(text.size(), 23u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ScientificRowFormTest,
    ::testing::Values(
        TFormCase{"Negative", -12.5L, "-1.25000000000000E+0001"},
        TFormCase{"SmallPositive", 0.012L, " 1.20000000000000E-0002"},
        TFormCase{"Zero", 0.0L, " 0.00000000000000E+0000"},
        TFormCase{"NegativeZeroKeepsItsSign", -0.0L, "-0.00000000000000E+0000"},
        TFormCase{"EnergyFromADouble", static_cast<long double>(-74.999373814715), "-7.49993738147150E+0001"},
        // The double lies just below the tie (1.00000000000014499...): its 18
        // digits end in 500, which rounds up at the 15th.
        TFormCase{"RoundsTwiceAtTheFifteenthDigit", static_cast<long double>(1.000000000000145),
                  " 1.00000000000015E+0000"},
        TFormCase{"CarryRaisesTheExponent", 9.999999999999999L, " 1.00000000000000E+0001"},
        TFormCase{"LargeExponent", static_cast<long double>(1e300), " 1.00000000000000E+0300"},
        TFormCase{"FourDigitExponent", 1.5e-4000L, " 1.50000000000000E-4000"},
        TFormCase{"Infinity", std::numeric_limits<long double>::infinity(), "                    INF"}),
    [](const auto& info) { return std::string(info.param.Name); });

class FixedRowFormTest : public ::testing::TestWithParam<TFormCase> {};

TEST_P(FixedRowFormTest, WritesTenDecimalsWithAPoint) { EXPECT_EQ(FixedRowForm(GetParam().Value), GetParam().Expected); }

INSTANTIATE_TEST_SUITE_P(
    Values, FixedRowFormTest,
    ::testing::Values(
        TFormCase{"BsseExample", 0.001L * 627.5095L, "0.6275095000"},
        TFormCase{"Negative", -12.5L, "-12.5000000000"},
        TFormCase{"Zero", 0.0L, "0.0000000000"},
        TFormCase{"NegativeZeroHasNoMinus", -0.0L, "0.0000000000"},
        // Below 10 the value is first cut to 17 decimals: ...04999999999 becomes ...05.
        TFormCase{"RoundsTwiceBelowTen", 0.1234567890499999999L, "0.1234567891"},
        // From 10 on it is first cut to 18 significant digits.
        TFormCase{"RoundsTwiceFromTen", 12.12345678904999999L, "12.1234567891"},
        TFormCase{"CarryIntoTheIntegerDigits", -9.99999999995L, "-10.0000000000"},
        TFormCase{"BeyondEighteenDigits", 1.0e20L, "100000000000000000000.0000000000"},
        TFormCase{"NaNIsPadded", std::numeric_limits<long double>::quiet_NaN(), "       NAN"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TMemoCase {
  const char* Name;
  long double Value;
  int Decimals;
  const char* Separator;
  const char* Expected;
};

void PrintTo(const TMemoCase& c, std::ostream* out) { *out << c.Name; }

class MemoFixedTest : public ::testing::TestWithParam<TMemoCase> {};

TEST_P(MemoFixedTest, FormatsLikePrintfWithEighteenDigits) {
  const TMemoCase& c = GetParam();
  EXPECT_EQ(MemoFixed(c.Value, c.Decimals, c.Separator), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, MemoFixedTest,
    ::testing::Values(
        TMemoCase{"Energy", static_cast<long double>(-74.999373814715), 7, ".", "-74.9993738"},
        TMemoCase{"Frequency", 1234.5L, 2, ".", "1234.50"},
        TMemoCase{"BsseExample", 0.001L * 627.5095L, 5, ".", "0.62751"},
        TMemoCase{"CommaSeparator", -12.5L, 7, ",", "-12,5000000"},
        TMemoCase{"SeparatorOfSeveralBytes", -12.5L, 7, "\xD9\xAB", "-12\xD9\xAB" "5000000"},
        TMemoCase{"Zero", 0.0L, 7, ".", "0.0000000"},
        TMemoCase{"NegativeZeroHasNoMinus", -0.0L, 7, ".", "0.0000000"},
        TMemoCase{"SmallNegativeKeepsItsMinus", -0.004L, 2, ".", "-0.00"},
        // Only 18 significant digits are taken: printf would show ...4567890.
        TMemoCase{"EighteenSignificantDigits", 1234567890123.456789L, 7, ".", "1234567890123.4567900"},
        TMemoCase{"RoundsTwice", 2.000000049999999999L, 7, ".", "2.0000001"},
        TMemoCase{"TinyValue", 1e-30L, 5, ".", "0.00000"},
        TMemoCase{"Infinity", -std::numeric_limits<long double>::infinity(), 7, ".", "-INF"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace harvex
