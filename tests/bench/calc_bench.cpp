// The calculation path against its floor: each number rule beside the
// standard library's conversion it is built on, on the texts a user types
// (at most 4 characters), and the three calculations from text to text.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "calc/gamma_sn.h"
#include "calc/sensitivity.h"

namespace {

using namespace velsona::calc;
using velsona::platform::NumberFormat;

const NumberFormat kPoint{"."};
const NumberFormat kComma{","};

// Typed texts, with "." and with ","; the floor always reads the "." form.
const std::vector<std::string> kPointTexts = {"-47", "12", "0.1", "7.5", "130", "1000", "12.5", "-6", "-99", "25"};
const std::vector<std::string> kCommaTexts = {"-47", "12", "0,1", "7,5", "130", "1000", "12,5", "-6", "-99", "25"};

const std::vector<std::string>& Texts(const benchmark::State& state) {
  return state.range(0) == 0 ? kPointTexts : kCommaTexts;
}
const NumberFormat& Format(const benchmark::State& state) { return state.range(0) == 0 ? kPoint : kComma; }

// Results as the calculations produce them.
const std::vector<float> kSingles = {4.4668f, -38.4164f, 19.9526f, 1000.0f, 0.0112f, 129.9f, 112.5f, -20.0f, 891.2509f, 4.0f};
const std::vector<double> kDoubles = {93.9, 86.5, 79.0, -26.0, 0.0, 93.9999999999, 60.7, 94.0, -1.0, 64.5};

void BM_TextToDouble(benchmark::State& state) {
  const auto& texts = Texts(state);
  const NumberFormat& format = Format(state);
  for (auto _ : state) {
    for (const std::string& text : texts) benchmark::DoNotOptimize(TextToDouble(text, format));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

void BM_FloorFromCharsDouble(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& text : kPointTexts) {
      double value;
      benchmark::DoNotOptimize(std::from_chars(text.data(), text.data() + text.size(), value));
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPointTexts.size()));
}

void BM_TextToSingle(benchmark::State& state) {
  const auto& texts = Texts(state);
  const NumberFormat& format = Format(state);
  for (auto _ : state) {
    for (const std::string& text : texts) benchmark::DoNotOptimize(TextToSingle(text, format));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

void BM_FloorFromCharsSingle(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& text : kPointTexts) {
      float value;
      benchmark::DoNotOptimize(std::from_chars(text.data(), text.data() + text.size(), value));
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPointTexts.size()));
}

void BM_SingleToText(benchmark::State& state) {
  const NumberFormat& format = Format(state);
  for (auto _ : state) {
    for (const float value : kSingles) benchmark::DoNotOptimize(SingleToText(value, format));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kSingles.size()));
}

// The floor writes the same 7 significant digits into a std::string.
void BM_FloorToCharsSingle(benchmark::State& state) {
  for (auto _ : state) {
    for (const float value : kSingles) {
      char buffer[32];
      const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7).ptr;
      benchmark::DoNotOptimize(std::string(buffer, end));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kSingles.size()));
}

void BM_DoubleToText(benchmark::State& state) {
  const NumberFormat& format = Format(state);
  for (auto _ : state) {
    for (const double value : kDoubles) benchmark::DoNotOptimize(DoubleToText(value, format));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kDoubles.size()));
}

void BM_FloorToCharsDouble(benchmark::State& state) {
  for (auto _ : state) {
    for (const double value : kDoubles) {
      char buffer[32];
      const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
      benchmark::DoNotOptimize(std::string(buffer, end));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kDoubles.size()));
}

const std::vector<float> kUnrounded = {4.4668369f, 0.01122019f, 19.952621f, 501.18723f, -38.416374f,
                                       -32.041199f, 891.25094f, 1000.0f, -26.020599f, 0.03125f};

void BM_RoundDecimals(benchmark::State& state) {
  for (auto _ : state) {
    for (const float value : kUnrounded) benchmark::DoNotOptimize(RoundDecimals(value));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kUnrounded.size()));
}

// The floor: a plain scale, round and divide, which is not always the
// nearest Single to the nearest multiple.
void BM_FloorScaleAndRound(benchmark::State& state) {
  for (auto _ : state) {
    for (const float value : kUnrounded) {
      benchmark::DoNotOptimize(static_cast<float>(std::nearbyint(static_cast<double>(value) * 10000.0) / 10000.0));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kUnrounded.size()));
}

void BM_SensDBtoMV(benchmark::State& state) {
  const NumberFormat& format = Format(state);
  for (auto _ : state) benchmark::DoNotOptimize(SensDBtoMV("-47", false, format));
}

void BM_SensMVtoDB(benchmark::State& state) {
  const std::string text = state.range(0) == 0 ? "12.5" : "12,5";
  const NumberFormat& format = Format(state);
  for (auto _ : state) benchmark::DoNotOptimize(SensMVtoDB(text, false, format));
}

void BM_GammaSN(benchmark::State& state) {
  const std::string noise = state.range(0) == 0 ? "7.5" : "7,5";
  const NumberFormat& format = Format(state);
  for (auto _ : state) benchmark::DoNotOptimize(GammaSN("120", noise, format));
}

// Argument 0: "." separator, 1: ",".
BENCHMARK(BM_TextToDouble)->Arg(0)->Arg(1);
BENCHMARK(BM_FloorFromCharsDouble);
BENCHMARK(BM_TextToSingle)->Arg(0)->Arg(1);
BENCHMARK(BM_FloorFromCharsSingle);
BENCHMARK(BM_SingleToText)->Arg(0)->Arg(1);
BENCHMARK(BM_FloorToCharsSingle);
BENCHMARK(BM_DoubleToText)->Arg(0)->Arg(1);
BENCHMARK(BM_FloorToCharsDouble);
BENCHMARK(BM_RoundDecimals);
BENCHMARK(BM_FloorScaleAndRound);
BENCHMARK(BM_SensDBtoMV)->Arg(0)->Arg(1);
BENCHMARK(BM_SensMVtoDB)->Arg(0)->Arg(1);
BENCHMARK(BM_GammaSN)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
