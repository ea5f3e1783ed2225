#include "calc/gamma_sn.h"

#include <gtest/gtest.h>

#include "tests/calc/result_printing.h"

namespace velsona::calc {
namespace {

TEST(GammaSN, WorkedResultsUnderEitherSeparator) {
  const struct {
    const char* maxSpl;
    const char* selfNoise;
    const platform::NumberFormat& format;
    CalcResult expected;
  } rows[] = {
      {"130", "15", kPoint, Done{{"115", "79"}}},
      {"120", "7.5", kPoint, Done{{"112.5", "86.5"}}},
      {"130", "0.1", kPoint, Done{{"129.9", "93.9"}}},
      {"100", "120", kPoint, Done{{"-20", "-26"}}},
      {"130", "", kPoint, Skipped{}},
      {"130", "15", kComma, Done{{"115", "79"}}},
      {"120", "7,5", kComma, Done{{"112,5", "86,5"}}},
      {"130", "0,1", kComma, Done{{"129,9", "93,9"}}},
      {"130", "0.1", kComma, Done{{"129,9", "93,9"}}},
      {"100", "120", kComma, Done{{"-20", "-26"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.maxSpl) + " / " + row.selfNoise + " with " + row.format.decimalSeparator);
    EXPECT_EQ(GammaSN(row.maxSpl, row.selfNoise, row.format), row.expected);
  }
}

TEST(GammaSN, SignsAndPrecisionOfTheTwoResults) {
  const struct {
    const char* maxSpl;
    const char* selfNoise;
    CalcResult expected;
  } rows[] = {
      {"130", "94", Done{{"36", "0"}}},
      {"130", "95", Done{{"35", "-1"}}},
      {"94", "94", Done{{"0", "0"}}},
      {"-0", "0", Done{{"0", "94"}}},
      // The range is a Single, the ratio a Double read from the same text.
      {"130", "1e-10", Done{{"130", "93.9999999999"}}},
      {"130", "33.3", Done{{"96.7", "60.7"}}},
      {"1e7", "0", Done{{"1E+07", "94"}}},
      {"1e-5", "0", Done{{"1E-05", "94"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.maxSpl) + " / " + row.selfNoise);
    EXPECT_EQ(GammaSN(row.maxSpl, row.selfNoise, kPoint), row.expected);
  }
}

TEST(GammaSN, EmptyTextsSkipAndOtherTextsConvertMaximumFirst) {
  const struct {
    const char* maxSpl;
    const char* selfNoise;
    CalcResult expected;
  } rows[] = {
      {"", "", Skipped{}},
      {"", "15", Skipped{}},
      {"130", "", Skipped{}},
      {"abc", "", Skipped{}},  // nothing is converted when a text is empty
      {" ", "15", Failed{FailureKind::TypeMismatch, 0}},
      {"130", " ", Failed{FailureKind::TypeMismatch, 1}},
      {"abc", "xyz", Failed{FailureKind::TypeMismatch, 0}},
      {"130", "-", Failed{FailureKind::TypeMismatch, 1}},
      {"1e39", "15", Failed{FailureKind::Overflow, 0}},
      {"130", "-1e39", Failed{FailureKind::Overflow, 1}},
      // Each fits a Single, their difference does not.
      {"3e38", "-3e38", Failed{FailureKind::Overflow}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("'") + row.maxSpl + "' / '" + row.selfNoise + "'");
    EXPECT_EQ(GammaSN(row.maxSpl, row.selfNoise, kPoint), row.expected);
  }
}

}  // namespace
}  // namespace velsona::calc
