// Sweeps over every finite Single, checking the number rules against
// independent computations. Built with VELSONA_EXHAUSTIVE; each sweep takes
// minutes, split across the machine's cores.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "calc/numeric_rules.h"
#include "tests/calc/power_of_ten.h"

namespace velsona::calc {
namespace {

const platform::NumberFormat kPoint{"."};

float FromBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint32_t ToBits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Runs check(bits) for every bits in [first, last], on every core, and
// reports the time taken. check returns false for a mismatch, which is
// collected (up to a few hundred) with a description.
struct Sweep {
  std::atomic<std::uint64_t> mismatches{0};
  std::mutex mutex;
  std::vector<std::string> examples;

  void Record(std::string what) {
    ++mismatches;
    std::lock_guard<std::mutex> lock(mutex);
    if (examples.size() < 200) examples.push_back(std::move(what));
  }

  void Run(const char* name, std::uint64_t first, std::uint64_t last,
           const std::function<void(std::uint32_t, Sweep&)>& check) {
    const auto start = std::chrono::steady_clock::now();
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    const std::uint64_t count = last - first + 1;
    for (unsigned t = 0; t < threads; ++t) {
      const std::uint64_t begin = first + count * t / threads;
      const std::uint64_t end = first + count * (t + 1) / threads;
      workers.emplace_back([&, begin, end] {
        for (std::uint64_t bits = begin; bits < end; ++bits) check(static_cast<std::uint32_t>(bits), *this);
      });
    }
    for (auto& worker : workers) worker.join();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%s: %llu values in %.1f s on %u threads, %llu mismatches\n", name,
                static_cast<unsigned long long>(count), took.count(), threads,
                static_cast<unsigned long long>(mismatches.load()));
  }
};

bool IsSubnormal(float value) { return value != 0.0f && std::fpclassify(value) == FP_SUBNORMAL; }

// The texts that are written differently the second time, by reason.
struct Differences {
  std::atomic<std::uint64_t> count{0};
  std::mutex mutex;
  std::vector<std::string> listed;

  void Add(const std::string& text, const std::string& again) {
    ++count;
    std::lock_guard<std::mutex> lock(mutex);
    if (listed.size() < 20) listed.push_back(text + " -> " + again);
  }
  void Print(const char* what) const {
    std::printf("%s: %llu\n", what, static_cast<unsigned long long>(count.load()));
    for (const auto& line : listed) std::printf("  %s\n", line.c_str());
  }
};

// Every finite Single, both signs: written, read back, written again.
TEST(ExhaustiveSingles, TextReadsBackToTheNearestSingleAndWritesTheSameAgain) {
  Sweep sweep;
  Differences subnormal;
  Differences powerOfTen;
  sweep.Run("SingleToText/TextToSingle", 0, 0xFFFFFFFFull, [&](std::uint32_t bits, Sweep& s) {
    const float value = FromBits(bits);
    if (!std::isfinite(value)) return;
    const std::string text = SingleToText(value, kPoint);
    const Checked<float> back = TextToSingle(text, kPoint);
    // glibc's strtof, an independent correctly rounded reader, in the C locale.
    const float nearest = std::strtof(text.c_str(), nullptr);
    if (!back.ok() || ToBits(back.value()) != ToBits(nearest)) {
      if (!(back.ok() && back.value() == 0.0f && nearest == 0.0f)) {
        s.Record(text + " read as a different Single than the nearest");
        return;
      }
    }
    const std::string again = SingleToText(back.value(), kPoint);
    if (again == text) return;
    if (IsSubnormal(value)) {
      subnormal.Add(text, again);
    } else if (IsPowerOfTenFromBelow(text, again)) {
      powerOfTen.Add(text, again);
    } else {
      s.Record(text + " written again as " + again);
    }
  });
  subnormal.Print("subnormal Singles whose text changes when written again");
  powerOfTen.Print("normal Singles written as a power of ten that reads back below it");
  for (const auto& example : sweep.examples) ADD_FAILURE() << example;
  EXPECT_EQ(sweep.mismatches.load(), 0u);
}

// The nearest multiple of 0.0001 to m * 2^e, halves to even, by integer
// arithmetic on the Single's bits; then the Single nearest to it, read by
// strtof. Independent of the rule's double arithmetic and <charconv>.
float ReferenceRoundDecimals(float value) {
  const std::uint32_t bits = ToBits(value);
  const bool negative = (bits >> 31) != 0;
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  std::uint64_t mantissa = bits & 0x7FFFFF;
  int exponent = biased == 0 ? -149 : biased - 150;
  if (biased != 0) mantissa |= 0x800000;
  // Below 10^7 the mantissa is under 2^24 and the scaled value under 2^38:
  // 64 bits hold every step.
  const std::uint64_t scaled = mantissa * 10000u;
  std::uint64_t units = 0;
  if (exponent >= 0) {
    units = scaled << exponent;
  } else if (const int shift = -exponent; shift <= 40) {
    units = scaled >> shift;
    const std::uint64_t remainder = scaled - (units << shift);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (remainder > half || (remainder == half && (units & 1) != 0)) ++units;
  }  // else below half of 0.0001: zero
  char text[64];
  std::snprintf(text, sizeof text, "%s%llue-4", negative ? "-" : "", static_cast<unsigned long long>(units));
  return std::strtof(text, nullptr);
}

TEST(ExhaustiveSingles, RoundDecimalsAgreesWithIntegerArithmetic) {
  Sweep sweep;
  const std::uint32_t below1e7 = ToBits(std::nextafter(1e7f, 0.0f));
  const auto check = [](std::uint32_t bits, Sweep& s) {
    const float value = FromBits(bits);
    const float got = RoundDecimals(value);
    const float expected = ReferenceRoundDecimals(value);
    if (got != expected) {
      char line[128];
      std::snprintf(line, sizeof line, "RoundDecimals(%.9g) = %.9g, expected %.9g", static_cast<double>(value),
                    static_cast<double>(got), static_cast<double>(expected));
      s.Record(line);
    }
  };
  sweep.Run("RoundDecimals, positive below 1e7", 0, below1e7, check);
  sweep.Run("RoundDecimals, negative above -1e7", 0x80000000u, 0x80000000u | below1e7, check);
  for (const auto& example : sweep.examples) ADD_FAILURE() << example;
  EXPECT_EQ(sweep.mismatches.load(), 0u);
}

}  // namespace
}  // namespace velsona::calc
