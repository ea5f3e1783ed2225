#include "calc/numeric_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/calc/result_printing.h"

namespace velsona::calc {
namespace {

constexpr double kDoubleMax = std::numeric_limits<double>::max();
constexpr float kSingleMax = std::numeric_limits<float>::max();
constexpr float kSingleTiny = std::numeric_limits<float>::denorm_min();
constexpr double kDoubleTiny = std::numeric_limits<double>::denorm_min();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(IsEmptyText, OnlyTheTextWithNoCharactersIsEmpty) {
  const struct {
    std::string text;
    bool empty;
  } rows[] = {{"", true},      {" ", false}, {"\t", false}, {"\n", false},
              {"\r\n", false}, {"0", false}, {std::string(1, '\0'), false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(IsEmptyText(row.text), row.empty);
  }
}

TEST(TextToDouble, ReadsTheDecimalFormUnderEitherSeparator) {
  const struct {
    const char* text;
    const platform::NumberFormat& format;
    double expected;
  } rows[] = {
      {"-40", kPoint, -40},       {" -40 ", kPoint, -40},     {"\t7.5\t", kPoint, 7.5},
      {"+12", kPoint, 12},        {".5", kPoint, 0.5},        {"5.", kPoint, 5},
      {"-.5", kPoint, -0.5},      {"1e-9", kPoint, 1e-9},     {"1E3", kPoint, 1000},
      {"2.5e+2", kPoint, 250},    {"007", kPoint, 7},         {"0.1", kPoint, 0.1},
      {"7,5", kComma, 7.5},       {",5", kComma, 0.5},        {"5,", kComma, 5},
      {"1,5e-1", kComma, 0.15},   {"0,1", kComma, 0.1},
      // Under a comma, a point typed from the numeric keypad is a separator too.
      {"7.5", kComma, 7.5},       {"1.000", kComma, 1},       {"1,000", kComma, 1},
      {"1e0000000000000000000000000000001", kPoint, 10},
      // Line breaks and tabs are blanks too: a cell copied from a spreadsheet.
      {"12\n", kPoint, 12},      {"\t12\r\n", kPoint, 12},  {"\v-4\f", kPoint, -4},
      {"\n7,5\t", kComma, 7.5},
      // The typeset minus sign U+2212, as a data sheet prints it.
      {"\xE2\x88\x92" "47", kPoint, -47},  {" \xE2\x88\x92" "7,5", kComma, -7.5},
      {"\xE2\x88\x92" ".5e1", kPoint, -5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(std::string(row.text)) + " with separator " + row.format.decimalSeparator);
    EXPECT_EQ(TextToDouble(row.text, row.format), Checked<double>(row.expected));
  }
}

TEST(TextToDouble, ReadsAMultiByteRegionalSeparator) {
  const platform::NumberFormat arabic{"\xD9\xAB"};  // U+066B ARABIC DECIMAL SEPARATOR
  EXPECT_EQ(TextToDouble("7\xD9\xAB" "5", arabic), Checked<double>(7.5));
  EXPECT_EQ(TextToDouble("7.5", arabic), Checked<double>(7.5));
  EXPECT_EQ(TextToDouble("7,5", arabic), Checked<double>(FailureKind::TypeMismatch));
}

TEST(TextToDouble, AnythingButTheDecimalFormIsATypeMismatch) {
  const std::string rows[] = {
      "",      " ",     "\t",    "-",      "+",     ".",     ",",      "abc",   "1e",    "1e+",
      "e5",    "E5",    ".e1",   "1.2.3",  "1..2",  "--1",   "+-1",    "1-",    "1 2",   "- 1",
      "1 e5",  "1e 5",  "inf",   "-inf",   "INF",   "nan",   "NaN",    "infinity", "0x10", "1,000.5",
      "$5",    "5$",    "(5)",   "5%",     "1_000", "\xD9\xA3",  // ARABIC-INDIC DIGIT THREE
      "\xEF\xBC\x95",    // FULLWIDTH DIGIT FIVE
      "1\xC2\xA0" "2",   // no-break space inside
      std::string("1\0", 2), "1e5.5", "1d5", "0b1",
      // Line breaks are blanks, and blanks only stand around a number.
      "\r\n", "1\n2", "1\t2", "-\n1", "1e\n5", "\n.\n",
      // The minus sign U+2212 leads a number only: not alone, twice, after a blank, in an exponent, cut short.
      "\xE2\x88\x92", "-\xE2\x88\x92" "1", "\xE2\x88\x92" " 1", "1\xE2\x88\x92", "1e\xE2\x88\x92" "5", "\xE2\x88" "1",
  };
  for (const auto& text : rows) {
    SCOPED_TRACE("'" + text + "'");
    EXPECT_EQ(TextToDouble(text, kPoint), Checked<double>(FailureKind::TypeMismatch));
  }
  // Under a point, a comma is no separator at all.
  EXPECT_EQ(TextToDouble("7,5", kPoint), Checked<double>(FailureKind::TypeMismatch));
  EXPECT_EQ(TextToDouble("1,000", kPoint), Checked<double>(FailureKind::TypeMismatch));
  // Under a comma, the two separators cannot both appear.
  EXPECT_EQ(TextToDouble("1,2.3", kComma), Checked<double>(FailureKind::TypeMismatch));
  EXPECT_EQ(TextToDouble("1.2,3", kComma), Checked<double>(FailureKind::TypeMismatch));
}

TEST(TextToDouble, OverflowsOnlyBeyondTheLargestDouble) {
  const struct {
    std::string text;
    Checked<double> expected;
  } rows[] = {
      {"1.7976931348623157e308", kDoubleMax},
      // Still rounds down to the largest double.
      {"1.7976931348623158e308", kDoubleMax},
      {"1.7976931348623159e308", FailureKind::Overflow},
      {"-1e309", FailureKind::Overflow},
      {"1e99999999999999999999999", FailureKind::Overflow},
      {"1" + std::string(400, '0'), FailureKind::Overflow},
      {".5E21746", FailureKind::Overflow},  // an upper-case "E" as well
      {"1E309", FailureKind::Overflow},
      {"0." + std::string(400, '0') + "1e500", 1e99},
      // Underflow is no failure: zero, or the nearest subnormal.
      {"4.9e-324", kDoubleTiny},
      {"2e-324", 0.0},
      {"1e-400", 0.0},
      {"-1e-99999", -0.0},
      {"1e-99999999999999999999999", 0.0},
      {"34E-666", 0.0},
      {"-2.5E-400", -0.0},
      {"0e999999", 0.0},
      {"0." + std::string(10000, '0') + "1e10000", 0.1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 40));
    EXPECT_EQ(TextToDouble(row.text, kPoint), row.expected);
  }
}

TEST(TextToSingle, RoundsOnceToTheNearestSingle) {
  const struct {
    const char* text;
    Checked<float> expected;
  } rows[] = {
      {"129.9", 129.9f},
      {"16777217", 16777216.0f},  // halfway: to even
      {"16777219", 16777220.0f},
      // Just above the midpoint of 1 and the next Single: read through a
      // double first, it would land on the midpoint and round down to 1.
      {"1.000000059604644775390625001", 1.00000012f},
      {"3.4028235e38", kSingleMax},
      {"3.4028235677973366e38", kSingleMax},
      {"3.4028236e38", FailureKind::Overflow},
      {"-1e39", FailureKind::Overflow},
      {"1e-45", kSingleTiny},
      {"1e-46", 0.0f},
      // With an upper-case "E", beyond the Single's range either way.
      {"48E-064", 0.0f},
      {"88E-62", 0.0f},
      {"34E-666", 0.0f},
      {"5E38", FailureKind::Overflow},
      {".5E21746", FailureKind::Overflow},
      {"7,5", FailureKind::TypeMismatch},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(TextToSingle(row.text, kPoint), row.expected);
  }
}

TEST(TextToNumber, EveryDigitOfALongTextCountsInTheRounding) {
  // Exactly halfway between 1 and the next double, and between 1 and the
  // next Single: ties to even give 1; a nonzero digit far beyond, the next.
  const std::string half = "00000000000000011102230246251565404236316680908203125";
  const std::string singleHalf = "1.000000059604644775390625";
  const std::string far = std::string(1000, '0') + "1";
  EXPECT_EQ(TextToDouble("1." + half, kPoint), Checked<double>(1.0));
  EXPECT_EQ(TextToDouble("1." + half + far, kPoint), Checked<double>(std::nextafter(1.0, 2.0)));
  EXPECT_EQ(TextToDouble("0." + std::string(900, '0') + "1" + half + far + "e901", kPoint),
            Checked<double>(std::nextafter(1.0, 2.0)));
  EXPECT_EQ(TextToSingle(singleHalf, kPoint), Checked<float>(1.0f));
  EXPECT_EQ(TextToSingle(singleHalf + far, kPoint), Checked<float>(std::nextafter(1.0f, 2.0f)));
}

TEST(SingleToText, WritesAtMostSevenSignificantDigits) {
  const struct {
    float value;
    const platform::NumberFormat& format;
    const char* expected;
  } rows[] = {
      {10.0f, kPoint, "10"},
      {4.4668f, kPoint, "4.4668"},
      {-38.4164f, kPoint, "-38.4164"},
      {129.9f, kPoint, "129.9"},  // not 129.899994
      {0.0112f, kPoint, "0.0112"},
      {0.5f, kPoint, "0.5"},
      {1000.0f, kPoint, "1000"},
      {0.0f, kPoint, "0"},
      {-0.0f, kPoint, "0"},
      {9999999.0f, kPoint, "9999999"},
      {0.0001f, kPoint, "0.0001"},
      {1.0f / 3.0f, kPoint, "0.3333333"},
      {2.0f / 3.0f, kPoint, "0.6666667"},
      {4.4668f, kComma, "4,4668"},
      {-0.25f, kComma, "-0,25"},
      {1e7f, kPoint, "1E+07"},
      {12345678.0f, kPoint, "1.234568E+07"},
      {2e9f, kPoint, "2E+09"},
      {1e-5f, kPoint, "1E-05"},
      {-2.5e-7f, kPoint, "-2.5E-07"},
      {1.5e-5f, kComma, "1,5E-05"},
      {kSingleMax, kPoint, "3.402823E+38"},
      {kSingleTiny, kPoint, "1.401298E-45"},
      // Rounding to 7 digits carries it up to 0.0001: the plain form.
      {0.000099999997f, kPoint, "0.0001"},
      {0.00009999999f, kPoint, "9.999999E-05"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(SingleToText(row.value, row.format), row.expected);
  }
}

TEST(SingleToText, APowerOfTenCanReadBackAsTheSingleBelowIt) {
  // The Singles just above 10^28 all round to "1E+28", but the Single
  // nearest to 10^28 lies below it by more than half a unit of the finer
  // 7th digit there, so reading and writing again changes the text.
  const float above = std::nextafter(1e28f, 1e30f);
  EXPECT_EQ(SingleToText(above, kPoint), "1E+28");
  const Checked<float> back = TextToSingle("1E+28", kPoint);
  ASSERT_TRUE(back.ok());
  EXPECT_LT(back.value(), above);
  EXPECT_EQ(SingleToText(back.value(), kPoint), "9.999999E+27");
}

TEST(DoubleToText, WritesAtMostFifteenSignificantDigits) {
  const struct {
    double value;
    const platform::NumberFormat& format;
    const char* expected;
  } rows[] = {
      {94 - 0.1, kPoint, "93.9"},
      {94 - 7.5, kPoint, "86.5"},
      {94 - 0.1, kComma, "93,9"},
      {0.1 + 0.2, kPoint, "0.3"},
      {1.0 / 3.0, kPoint, "0.333333333333333"},
      {-26.0, kPoint, "-26"},
      {-0.0, kPoint, "0"},
      {999999999999999.0, kPoint, "999999999999999"},
      {1e15, kPoint, "1E+15"},
      // Rounding to 15 digits carries it up to 10^15: the exponent form.
      {999999999999999.9, kPoint, "1E+15"},
      {94 - 1e-10, kPoint, "93.9999999999"},
      {kDoubleMax, kPoint, "1.79769313486232E+308"},
      {1e-300, kPoint, "1E-300"},
      {-kDoubleTiny, kPoint, "-4.94065645841247E-324"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(DoubleToText(row.value, row.format), row.expected);
  }
}

TEST(NumberToText, NonFiniteValuesAreWrittenNotCrashedOn) {
  EXPECT_EQ(DoubleToText(kInf, kPoint), "Inf");
  EXPECT_EQ(DoubleToText(-kInf, kPoint), "-Inf");
  EXPECT_EQ(SingleToText(static_cast<float>(kNaN), kPoint), "NaN");
}

TEST(RoundDecimals, NearestMultipleOfOneTenThousandth) {
  const struct {
    float value;
    float expected;
  } rows[] = {
      {4.4668369f, 4.4668f},
      {0.01122019f, 0.0112f},
      {19.952621f, 19.9526f},
      {501.18723f, 501.1872f},
      {-38.416374f, -38.4164f},
      {1000.0f, 1000.0f},
      {1234.56789f, 1234.5679f},
      {0.00004f, 0.0f},
      {8388607.5f, 8388607.5f},  // 0.5 is a multiple already
      {8388608.0f, 8388608.0f},
      {1e30f, 1e30f},
      {-kSingleMax, -kSingleMax},
      {kSingleTiny, 0.0f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(RoundDecimals(row.value), row.expected);
  }
}

TEST(RoundDecimals, TiesGoToEven) {
  // k/32 with k odd is exactly halfway between two multiples of 0.0001.
  const struct {
    float value;
    float expected;
  } rows[] = {
      {0.03125f, 0.0312f},   // 312.5 ten-thousandths
      {0.09375f, 0.0938f},   // 937.5
      {0.15625f, 0.1562f},   // 1562.5
      {-0.03125f, -0.0312f},
      {-0.09375f, -0.0938f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(RoundDecimals(row.value), row.expected);
  }
}

TEST(RoundDecimals, ATinyNegativeValueIsWrittenAsZero) {
  const float rounded = RoundDecimals(-0.00001f);
  EXPECT_EQ(rounded, 0.0f);
  EXPECT_EQ(SingleToText(rounded, kPoint), "0");
}

TEST(FloorInt, CutsDownToTheIntegerAtOrBelow) {
  const struct {
    float value;
    float expected;
  } rows[] = {{19.952621f, 19.0f}, {0.0112f, 0.0f}, {1000.0f, 1000.0f}, {-0.5f, -1.0f}, {891.2509f, 891.0f}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(FloorInt(row.value), row.expected);
  }
}

TEST(NearestInt16, HalvesGoToEvenAndTheRangeIsChecked) {
  const struct {
    float value;
    Checked<std::int16_t> expected;
  } rows[] = {
      {-38.416374f, std::int16_t{-38}},
      {-6.5f, std::int16_t{-6}},
      {-7.5f, std::int16_t{-8}},
      {0.5f, std::int16_t{0}},
      {1.5f, std::int16_t{2}},
      {-0.4f, std::int16_t{0}},
      {32767.0f, std::int16_t{32767}},
      {32767.4f, std::int16_t{32767}},
      {32767.5f, FailureKind::Overflow},  // halfway: to 32768, beyond the range
      {-32768.0f, std::int16_t{-32768}},
      {-32768.5f, std::int16_t{-32768}},
      {-32769.0f, FailureKind::Overflow},
      {1e30f, FailureKind::Overflow},
      {static_cast<float>(kInf), FailureKind::Overflow},
      {static_cast<float>(kNaN), FailureKind::Overflow},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(NearestInt16(row.value), row.expected);
  }
}

TEST(StoreSingle, OverflowsOnlyWhereRoundingReachesInfinity) {
  const double overflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
  const struct {
    double value;
    Checked<float> expected;
  } rows[] = {
      {static_cast<double>(kSingleMax), kSingleMax},
      {std::nextafter(overflow, 0.0), kSingleMax},
      {-std::nextafter(overflow, 0.0), -kSingleMax},
      {overflow, FailureKind::Overflow},
      {-1e300, FailureKind::Overflow},
      {kInf, FailureKind::Overflow},
      {1e-50, 0.0f},
      {0.1, 0.1f},
      {kNaN, FailureKind::InvalidOperation},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(StoreSingle(row.value), row.expected);
  }
}

TEST(FaultCheck, EachFaultHasItsKind) {
  const struct {
    const char* what;
    Checked<double> got;
    Checked<double> expected;
  } rows[] = {
      {"1 / 0", Divide(1, 0), FailureKind::DivisionByZero},
      {"-1 / 0", Divide(-1, 0), FailureKind::DivisionByZero},
      {"0 / 0", Divide(0, 0), FailureKind::InvalidOperation},
      {"max / 0.5", Divide(kDoubleMax, 0.5), FailureKind::Overflow},
      {"-40 / 20", Divide(-40, 20), -2.0},
      {"0 ^ -1", Power(0, -1), FailureKind::DivisionByZero},
      {"10 ^ 400", Power(10, 400), FailureKind::Overflow},
      {"-8 ^ 0.5", Power(-8, 0.5), FailureKind::InvalidOperation},
      {"10 ^ -400", Power(10, -400), 0.0},
      {"10 ^ 2", Power(10, 2), 100.0},
      {"ln 0", NaturalLog(0), FailureKind::InvalidOperation},
      {"ln -1", NaturalLog(-1), FailureKind::InvalidOperation},
      {"ln NaN", NaturalLog(kNaN), FailureKind::InvalidOperation},
      {"ln 1", NaturalLog(1), 0.0},
      {"check inf", CheckFault(-kInf), FailureKind::Overflow},
      {"check NaN", CheckFault(kNaN), FailureKind::InvalidOperation},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.got, row.expected);
  }
}

}  // namespace
}  // namespace velsona::calc
