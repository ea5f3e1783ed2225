#include "platform/numeric/elementary.h"

#include "platform/numeric/decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace velsona::platform {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Bit for bit, so that -0 differs from 0 and NaN equals NaN.
::testing::AssertionResult SameBits(double got, double expected) {
  if (std::isnan(got) && std::isnan(expected)) return ::testing::AssertionSuccess();
  if (got == expected && std::signbit(got) == std::signbit(expected)) return ::testing::AssertionSuccess();
  char text[64];
  std::snprintf(text, sizeof text, "%.17g, expected %.17g", got, expected);
  return ::testing::AssertionFailure() << text;
}

// Expected values: the exact result rounded to the nearest double, from 80-digit decimal arithmetic.
TEST(Ln, IsTheNearestDouble) {
  const struct {
    double value;
    double expected;
  } rows[] = {
      {0.001, -6.9077552789821368},   {0.012, -4.4228486291941369},
      {0.1, -2.3025850929940455},     {0.5, -0.69314718055994529},
      {3.0, 1.0986122886681098},      {7.0, 1.9459101490553132},
      {10.0, 2.3025850929940459},     {1e-12, -27.631021115928547},
      {1e300, 690.77552789821368},    {5e-324, -744.44007192138122},
      {1.7976931348623157e308, 709.78271289338397},
      {1.0000000000000002, 2.2204460492503128e-16},
      {0.99999999999999989, -1.1102230246251565e-16},
      {0.61937688420951054, -0.47904133178826674},  // glibc gives a unit more
      {1.0, 0.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_TRUE(SameBits(Ln(row.value), row.expected));
  }
}

TEST(Power, IsTheNearestDouble) {
  const struct {
    double base;
    double exponent;
    double expected;
  } rows[] = {
      // Sensitivities: -47, -34, -1, -99 dB over 20, stored as Single.
      {10, static_cast<double>(-2.35f), 0.0044668369023895043},
      {10, static_cast<double>(-1.7f), 0.019952620958974432},
      {10, static_cast<double>(-0.05f), 0.89125093660475141},
      {10, static_cast<double>(-4.95f), 1.1220189470737862e-05},
      {10, -0.2147899866104126, 0.60983172453258894},  // glibc gives a unit less
      {2, 0.5, 1.4142135623730951},
      {79.186861518584919, -36.288742286964307, 1.2596962995404942e-69},
      {49.795634201857489, 9.8294774407398435, 48139689084323552},
      {1.0000000000000002, 1e15, 1.2486270715390861},
      {0.5, -1000.5, 1.5153420044823246e+301},
      {10, 308.25, 1.7782794100389228e+308},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.base) + " ^ " + std::to_string(row.exponent));
    EXPECT_TRUE(SameBits(Power(row.base, row.exponent), row.expected));
  }
}

TEST(Power, OfTenToAWholeExponentIsThatPowerOfTenAsRead) {
  // At multiples of -20 dB one C library was 42 units in the last place off.
  for (int k = -300; k <= 300; ++k) {
    const std::string text = "1e" + std::to_string(k);
    double expected = 0;
    ASSERT_TRUE(ReadNearest(text, expected));
    SCOPED_TRACE(text);
    EXPECT_TRUE(SameBits(Power(10, k), expected));
  }
}

TEST(Power, AgreesWithTheCorrectlyRoundedOperations) {
  // x^-1 and x^0.5 rounded once are exactly 1/x and sqrt(x), which IEEE 754
  // rounds correctly on every system; 2^k is exact.
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;  // a fixed sequence
    const double mantissa = 1.0 + static_cast<double>(state >> 11) * 0x1p-53;  // [1, 2)
    const double x = std::ldexp(mantissa, static_cast<int>(state % 401) - 200);
    SCOPED_TRACE(x);
    EXPECT_TRUE(SameBits(Power(x, -1), 1 / x));
    EXPECT_TRUE(SameBits(Power(x, 0.5), std::sqrt(x)));
  }
  for (int k = -1022; k <= 1023; ++k) EXPECT_TRUE(SameBits(Power(2, k), std::ldexp(1.0, k))) << k;
}

TEST(Power, SpecialCasesAsTheCLibrary) {
  const struct {
    double base;
    double exponent;
    double expected;
  } rows[] = {
      {kNaN, 0, 1},      {1, kNaN, 1},       {kNaN, 2, kNaN},    {2, kNaN, kNaN},
      {-8, 1.0 / 3, kNaN}, {-2, 3, -8},      {-2, 2, 4},         {-2, -1, -0.5},
      {0, 3, 0},         {-0.0, 3, -0.0},    {-0.0, 2, 0},       {0, -1, kInf},
      {-0.0, -1, -kInf}, {2, 1024, kInf},    {2, -1080, 0},      {-2, 1025, -kInf},
      {0.5, kInf, 0},    {2, kInf, kInf},    {2, -kInf, 0},      {-1, kInf, 1},
      {kInf, -1, 0},     {kInf, 0.5, kInf},  {-kInf, 3, -kInf},  {-kInf, 2, kInf},
      {10, 400, kInf},   {10, -400, 0},      {1e-300, 1e300, 0}, {1e300, 1e300, kInf},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.base) + " ^ " + std::to_string(row.exponent));
    EXPECT_TRUE(SameBits(Power(row.base, row.exponent), row.expected));
  }
}

TEST(Ln, SpecialCasesAsTheCLibrary) {
  EXPECT_TRUE(SameBits(Ln(0), -kInf));
  EXPECT_TRUE(SameBits(Ln(-0.0), -kInf));
  EXPECT_TRUE(SameBits(Ln(-1), kNaN));
  EXPECT_TRUE(SameBits(Ln(-kInf), kNaN));
  EXPECT_TRUE(SameBits(Ln(kNaN), kNaN));
  EXPECT_TRUE(SameBits(Ln(kInf), kInf));
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
TEST(Power, DoesNotDependOnTheX87Precision) {
  // A library loaded into the process can set the x87 unit to 24-bit
  // precision, which changes the results of a C library's x87 power and
  // logarithm. Ours are computed without it.
  const auto results = [] {
    std::vector<double> out;
    for (int db = -99; db <= 0; ++db) {
      out.push_back(Power(10, static_cast<double>(static_cast<float>(db / 20.0))));
      out.push_back(Ln((db + 100) * 0.001));
    }
    return out;
  };
  const std::vector<double> before = results();
  std::uint16_t saved = 0;
  const std::uint16_t single = 0x007F;  // 24-bit precision, every exception masked
  __asm__ volatile("fnstcw %0" : "=m"(saved) : : "memory");
  __asm__ volatile("fldcw %0" : : "m"(single) : "memory");
  const std::vector<double> during = results();
  __asm__ volatile("fldcw %0" : : "m"(saved) : "memory");
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(SameBits(during[i], before[i])) << i;
}
#endif

}  // namespace
}  // namespace velsona::platform
