#include <gtest/gtest.h>

#include <string>

#include "calc/gamma_sn.h"
#include "calc/sensitivity.h"
#include "tests/calc/result_printing.h"

namespace velsona::calc {
namespace {

// The outcomes of one text under one separator: in the dB field, in the
// mV/Pa field, and as the self-noise beside a maximum SPL of 130.
struct Outcomes {
  CalcResult dbToMv;
  CalcResult mvToDb;
  CalcResult gamma;
};

const CalcResult kMismatch = Failed{FailureKind::TypeMismatch, 0};
const CalcResult kNoiseMismatch = Failed{FailureKind::TypeMismatch, 1};
const Outcomes kNotANumber{kMismatch, kMismatch, kNoiseMismatch};
const Outcomes kTooLarge{Failed{FailureKind::Overflow, 0}, Failed{FailureKind::Overflow, 0},
                         Failed{FailureKind::Overflow, 1}};
// The text reads as 1.
const Outcomes kOne{Refused{}, Done{{"-60"}}, Done{{"129", "93"}}};
// The text reads as 10: a positive dB value is refused.
const Outcomes kTen{Refused{}, Done{{"-40"}}, Done{{"120", "84"}}};
// The text reads as -40.
const Outcomes kMinusForty{Done{{"10"}}, Refused{}, Done{{"170", "134"}}};
// The text underflows to zero: 0 dB is 1000 mV/Pa, 0 mV/Pa is refused.
const Outcomes kZero{Done{{"1000"}}, Refused{}, Done{{"130", "94"}}};

TEST(HostileInput, EachTextHasItsExactOutcomeUnderEitherSeparator) {
  const struct {
    const char* what;
    std::string text;
    Outcomes point;
    Outcomes comma;
  } rows[] = {
      {"empty", "", {kMismatch, kMismatch, Skipped{}}, {kMismatch, kMismatch, Skipped{}}},
      {"blanks only", " \t ", kNotANumber, kNotANumber},
      {"line breaks only", "\r\n", kNotANumber, kNotANumber},
      {"spreadsheet cell", "10\n", kTen, kTen},
      {"spreadsheet cell between tabs", "\t10\r\n", kTen, kTen},
      {"line break inside", "1\n2", kNotANumber, kNotANumber},
      {"lone minus", "-", kNotANumber, kNotANumber},
      {"lone plus", "+", kNotANumber, kNotANumber},
      {"lone point", ".", kNotANumber, kNotANumber},
      {"lone comma", ",", kNotANumber, kNotANumber},
      {"both separators", "1.5,5", kNotANumber, kNotANumber},
      {"exponent without digits", "1e", kNotANumber, kNotANumber},
      {"exponent without mantissa", "e5", kNotANumber, kNotANumber},
      {"exponent beyond the Double range", "1e99999", kTooLarge, kTooLarge},
      {"exponent below the Double range", "-1e-99999", kZero, kZero},
      {"upper-case exponent beyond the range", ".5E21746", kTooLarge, kTooLarge},
      {"upper-case exponent below the range", "34E-666", kZero, kZero},
      {"inf", "inf", kNotANumber, kNotANumber},
      {"nan", "nan", kNotANumber, kNotANumber},
      {"hexadecimal", "0x10", kNotANumber, kNotANumber},
      // No grouping: under a comma both read as 1 (the point as the keypad's separator).
      {"grouped thousand with comma", "1,000", kNotANumber, kOne},
      {"grouped thousand with point", "1.000", kOne, kOne},
      {"Arabic-Indic digits", "\xD9\xA1\xD9\xA2", kNotANumber, kNotANumber},
      {"fullwidth digits", "\xEF\xBC\x91\xEF\xBC\x92", kNotANumber, kNotANumber},
      {"emoji", "\xF0\x9F\x8E\xA4", kNotANumber, kNotANumber},
      {"10,000 digits", std::string(10000, '1'), kTooLarge, kTooLarge},
      {"10,000 characters, a tiny number", "0." + std::string(9997, '0') + "1", kZero, kZero},
      {"NUL character", std::string(1, '\0'), kNotANumber, kNotANumber},
      {"number then NUL", std::string("12\0", 3), kNotANumber, kNotANumber},
      {"typeset minus sign", "\xE2\x88\x92" "40", kMinusForty, kMinusForty},
      // Spaces copied from a web page or a formatted cell are blanks; the
      // invisible characters are not, nor is any space inside the number.
      {"no-break space after", "10\u00A0", kTen, kTen},
      {"thin and figure spaces around", "\u2009" "10\u2007", kTen, kTen},
      {"ideographic space and a tab before", "\u3000\t10", kTen, kTen},
      {"Unicode spaces only", "\u00A0\u202F", kNotANumber, kNotANumber},
      {"no-break space inside", "1\u00A0" "0", kNotANumber, kNotANumber},
      {"zero-width space before", "\u200B" "10", kNotANumber, kNotANumber},
      {"right-to-left override inside", "1\u202E" "0", kNotANumber, kNotANumber},
      {"no-break space cut short", "10\xC2", kNotANumber, kNotANumber},
  };
  for (const auto& row : rows) {
    for (const bool comma : {false, true}) {
      const platform::NumberFormat& format = comma ? kComma : kPoint;
      const Outcomes& expected = comma ? row.comma : row.point;
      SCOPED_TRACE(std::string(row.what) + (comma ? " with a comma" : " with a point"));
      EXPECT_EQ(SensDBtoMV(row.text, false, format), expected.dbToMv);
      // The whole-number option changes no failure or refusal.
      if (!std::holds_alternative<Done>(expected.mvToDb)) {
        EXPECT_EQ(SensMVtoDB(row.text, true, format), expected.mvToDb);
      }
      EXPECT_EQ(SensMVtoDB(row.text, false, format), expected.mvToDb);
      EXPECT_EQ(GammaSN("130", row.text, format), expected.gamma);
    }
  }
}

}  // namespace
}  // namespace velsona::calc
