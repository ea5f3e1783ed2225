#include "calc/sensitivity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/calc/result_printing.h"
#include "tests/localised.h"

namespace velsona::calc {
namespace {

using tests::Localised;

CalcResult DoneWith(const std::string& text, const platform::NumberFormat& format) {
  return Done{{Localised(text, format.decimalSeparator)}};
}

struct WorkedRow {
  const char* input;
  const char* plain;  // nullptr: Refused
  const char* whole;
};

void ExpectWorkedTable(SensitivityConversion calculation,
                       const WorkedRow* begin, const WorkedRow* end) {
  for (const platform::NumberFormat* format : {&kPoint, &kComma}) {
    for (const WorkedRow* row = begin; row != end; ++row) {
      const std::string input = Localised(row->input, format->decimalSeparator);
      SCOPED_TRACE(input);
      if (row->plain == nullptr) {
        EXPECT_EQ(calculation(input, false, *format), CalcResult(Refused{}));
        EXPECT_EQ(calculation(input, true, *format), CalcResult(Refused{}));
      } else {
        EXPECT_EQ(calculation(input, false, *format), DoneWith(row->plain, *format));
        EXPECT_EQ(calculation(input, true, *format), DoneWith(row->whole, *format));
      }
    }
  }
}

TEST(SensDBtoMV, WorkedResultsUnderEitherSeparator) {
  const WorkedRow rows[] = {
      {"-40", "10", "10"},         {"-47", "4.4668", "4"},   {"-34", "19.9526", "19"},
      {"-6", "501.1872", "501"},   {"-1", "891.2509", "891"}, {"-99", "0.0112", "0"},
      {"0", "1000", "1000"},       {"5", nullptr, nullptr},
  };
  ExpectWorkedTable(SensDBtoMV, std::begin(rows), std::end(rows));
}

TEST(SensMVtoDB, WorkedResultsUnderEitherSeparator) {
  const WorkedRow rows[] = {
      {"10", "-40", "-40"},          {"12", "-38.4164", "-38"}, {"25", "-32.0412", "-32"},
      {"50", "-26.0206", "-26"},     {"0.1", "-80", "-80"},     {"1000", "0", "0"},
      {"1e-9", "-240", "-240"},      {"1001", nullptr, nullptr}, {"0", nullptr, nullptr},
      {"-5", nullptr, nullptr},
  };
  ExpectWorkedTable(SensMVtoDB, std::begin(rows), std::end(rows));
}

TEST(SensDBtoMV, AcceptsUpToAndIncludingZeroDecibels) {
  const struct {
    const char* text;
    CalcResult expected;
  } rows[] = {
      {"0", Done{{"1000"}}},
      {"-0", Done{{"1000"}}},
      {"0e5", Done{{"1000"}}},
      {"1e-300", Refused{}},
      {"4.9e-324", Refused{}},
      {"+5", Refused{}},
      {"-0.00001", Done{{"999.9988"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(SensDBtoMV(row.text, false, kPoint), row.expected);
  }
}

TEST(SensMVtoDB, AcceptsAboveZeroUpToAndIncludingOneThousand) {
  const struct {
    const char* text;
    CalcResult expected;
  } rows[] = {
      {"1000", Done{{"0"}}},
      {"1000.0000000000001", Refused{}},
      {"1e3", Done{{"0"}}},
      {"0", Refused{}},
      {"-0", Refused{}},
      {"-1e-300", Refused{}},
      // Above 0, but 0 once multiplied by 0.001: the logarithm fails.
      {"4.9e-324", Failed{FailureKind::InvalidOperation}},
      {"1e-300", Done{{"-6060"}}},
      // -8.7e-7 dB: rounded to 4 places it is a negative zero, written "0".
      {"999.9999", Done{{"0"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(SensMVtoDB(row.text, false, kPoint), row.expected);
  }
}

TEST(Sensitivity, TextsThatAreNotNumbersFailWithTypeMismatch) {
  const char* rows[] = {"", " ", "-", "abc", ".", "7,5", "1e", "inf", "nan", "0x10"};
  const CalcResult mismatch = Failed{FailureKind::TypeMismatch, 0};
  for (const char* text : rows) {
    SCOPED_TRACE(text);
    EXPECT_EQ(SensDBtoMV(text, false, kPoint), mismatch);
    EXPECT_EQ(SensDBtoMV(text, true, kPoint), mismatch);
    EXPECT_EQ(SensMVtoDB(text, false, kPoint), mismatch);
    EXPECT_EQ(SensMVtoDB(text, true, kPoint), mismatch);
  }
}

TEST(Sensitivity, FaultsAtTheSingleStoresAndTheLogarithm) {
  const struct {
    const char* what;
    CalcResult got;
    CalcResult expected;
  } rows[] = {
      // -5e298 does not fit a Single.
      {"-1e300 dB", SensDBtoMV("-1e300", false, kPoint), Failed{FailureKind::Overflow}},
      {"-1e308 dB whole", SensDBtoMV("-1e308", true, kPoint), Failed{FailureKind::Overflow}},
      {"-1e309 dB", SensDBtoMV("-1e309", false, kPoint), Failed{FailureKind::Overflow, 0}},
      // -5e37 fits; 10 to that power underflows to 0, which is no fault.
      {"-1e39 dB", SensDBtoMV("-1e39", false, kPoint), Done{{"0"}}},
      {"-1e39 dB whole", SensDBtoMV("-1e39", true, kPoint), Done{{"0"}}},
      {"4.9e-324 mV whole", SensMVtoDB("4.9e-324", true, kPoint), Failed{FailureKind::InvalidOperation}},
      // -6060 dB fits in 16 bits.
      {"1e-300 mV whole", SensMVtoDB("1e-300", true, kPoint), Done{{"-6060"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.got, row.expected);
  }
}

TEST(Sensitivity, ThePointIsReadUnderACommaAndResultsUseTheComma) {
  EXPECT_EQ(SensMVtoDB("12.5", false, kComma), CalcResult(Done{{"-38,0618"}}));
  EXPECT_EQ(SensMVtoDB("12,5", false, kComma), CalcResult(Done{{"-38,0618"}}));
  EXPECT_EQ(SensDBtoMV("-7.5", false, kComma), CalcResult(Done{{"421,6965"}}));
  EXPECT_EQ(SensMVtoDB("12,5", false, kPoint), CalcResult(Failed{FailureKind::TypeMismatch, 0}));
}

}  // namespace
}  // namespace velsona::calc
