// The table of every outcome the window can show for short typed texts, so
// that the Linux and the Windows builds can be compared digit for digit.
//
// It runs the calculations over every text that fits an input field and can
// be typed from the characters that make a number (digits, "+", "-", ".",
// ",", "e", "E", blank): up to 3 characters for dB to mV/Pa, 4 for mV/Pa to
// dB, with and without the whole-number option; for the dynamic range, every
// pair of texts of up to 3 characters; and the sensitivity's texts of one
// character fewer after the typeset minus sign (U+2212). Each under "." and
// under "," as the regional separator.
//
//   velsona_digits_table              one line per block of rows: its index,
//                                     name, number of rows and a digest of
//                                     the rows
//   velsona_digits_table --block N    the rows of block N, one per line
// Options for testing the comparison itself:
//   --first N                         only the first N blocks
//   --skew                            one result text of block 1 altered:
//                                     shows that a comparison catches a
//                                     difference
//
// A row is the input text(s) in brackets, then the outcome: "Done" and the
// result text(s), "Refused", "Skipped", or "Failed", the failure kind and
// the input it read.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/gamma_sn.h"
#include "calc/sensitivity.h"
#include "tests/calc/result_printing.h"
#include "tests/calc/short_texts.h"

namespace {

using velsona::calc::CalcResult;
using velsona::calc::Done;
using velsona::calc::Failed;
using velsona::calc::FailureKind;
using velsona::platform::NumberFormat;
using velsona::calc::Refused;
using velsona::calc::Skipped;
using velsona::calc::TextsUpTo;

void AppendOutcome(const CalcResult& result, std::string& row) {
  if (const auto* done = std::get_if<Done>(&result)) {
    row += "Done";
    for (const std::string& text : done->texts) {
      row += '\t';
      row += text;
    }
  } else if (std::holds_alternative<Refused>(result)) {
    row += "Refused";
  } else if (std::holds_alternative<Skipped>(result)) {
    row += "Skipped";
  } else {
    const auto& failed = std::get<Failed>(result);
    row += "Failed\t";
    row += Name(failed.kind);
    row += '\t';
    row += failed.input ? std::to_string(*failed.input) : "-";
  }
}

// Collects rows block by block: in digest mode it counts and digests every
// block; otherwise it prints the rows of the one block asked for, and the
// others are not computed at all.
class Table {
 public:
  Table(long wanted, long first, bool skew) : wanted_(wanted), first_(first), skew_(skew) {}

  // Starts the next block; false when its rows are not wanted.
  bool Begin(std::string name) {
    ++index_;
    name_ = std::move(name);
    rows_ = 0;
    digest_ = kDigestStart;
    if (first_ >= 0 && index_ >= first_) return false;
    return wanted_ < 0 || wanted_ == index_;
  }

  void Row(std::string_view inputs, const CalcResult& result) {
    row_.assign(inputs);
    row_ += '\t';
    AppendOutcome(result, row_);
    if (skew_ && index_ == 1 && rows_ == 1000) row_ += '?';
    ++rows_;
    if (wanted_ < 0) {
      // FNV-1a, 64 bits, over the row and its line end.
      for (char c : row_) digest_ = (digest_ ^ static_cast<unsigned char>(c)) * kDigestPrime;
      digest_ = (digest_ ^ '\n') * kDigestPrime;
    } else {
      std::fputs(row_.c_str(), stdout);
      std::fputc('\n', stdout);
    }
  }

  void End() {
    if (wanted_ >= 0) return;
    std::printf("%ld\t%s\t%llu\t%016llx\n", index_, name_.c_str(), static_cast<unsigned long long>(rows_),
                static_cast<unsigned long long>(digest_));
    total_ += rows_;
  }

  std::uint64_t total() const { return total_; }

 private:
  static constexpr std::uint64_t kDigestStart = 14695981039346656037ull;
  static constexpr std::uint64_t kDigestPrime = 1099511628211ull;

  long wanted_;
  long first_;
  bool skew_;
  long index_ = -1;
  std::string name_;
  std::uint64_t rows_ = 0;
  std::uint64_t digest_ = kDigestStart;
  std::uint64_t total_ = 0;
  std::string row_;
};

std::string Bracketed(std::string_view text) { return "[" + std::string(text) + "]"; }

void SensitivityBlocks(Table& table, const char* name, velsona::calc::SensitivityConversion calculation,
                       const std::vector<std::string>& texts, const NumberFormat& format) {
  for (const bool whole : {false, true}) {
    const char* option = whole ? " whole" : " plain";
    if (!table.Begin(std::string(name) + " separator " + format.decimalSeparator + option)) continue;
    for (const std::string& text : texts) table.Row(Bracketed(text), calculation(text, whole, format));
    table.End();
  }
}

// One block per maximum-SPL text, with every self-noise text.
void GammaBlocks(Table& table, const std::vector<std::string>& texts, const NumberFormat& format) {
  for (const std::string& maxSpl : texts) {
    if (!table.Begin("GammaSN separator " + format.decimalSeparator + " max " + Bracketed(maxSpl))) continue;
    const std::string prefix = Bracketed(maxSpl) + '\t';
    for (const std::string& selfNoise : texts) {
      table.Row(prefix + Bracketed(selfNoise), velsona::calc::GammaSN(maxSpl, selfNoise, format));
    }
    table.End();
  }
}

}  // namespace

int main(int argc, char** argv) {
  long wanted = -1;  // every block, as digests
  long first = -1;   // no limit
  bool skew = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--skew") == 0) {
      skew = true;
    } else if (std::strcmp(argv[i], "--block") == 0 && i + 1 < argc) {
      wanted = std::strtol(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--first") == 0 && i + 1 < argc) {
      first = std::strtol(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: %s [--first N] [--skew] [--block N]\n", argv[0]);
      return 2;
    }
  }

  const std::vector<std::string> upTo3 = TextsUpTo(3);
  const std::vector<std::string> upTo4 = TextsUpTo(4);
  // The same texts after the typeset minus sign U+2212, one character of the field's limit.
  const auto afterMinusSign = [](std::vector<std::string> texts) {
    for (std::string& text : texts) text.insert(0, "\xE2\x88\x92");
    return texts;
  };
  const std::vector<std::string> minusUpTo2 = afterMinusSign(TextsUpTo(2));
  const std::vector<std::string> minusUpTo3 = afterMinusSign(TextsUpTo(3));
  Table table(wanted, first, skew);
  for (const NumberFormat& format : {NumberFormat{"."}, NumberFormat{","}}) {
    SensitivityBlocks(table, "SensDBtoMV", velsona::calc::SensDBtoMV, upTo3, format);
    SensitivityBlocks(table, "SensMVtoDB", velsona::calc::SensMVtoDB, upTo4, format);
    SensitivityBlocks(table, "SensDBtoMV minus sign", velsona::calc::SensDBtoMV, minusUpTo2, format);
    SensitivityBlocks(table, "SensMVtoDB minus sign", velsona::calc::SensMVtoDB, minusUpTo3, format);
  }
  for (const NumberFormat& format : {NumberFormat{"."}, NumberFormat{","}}) GammaBlocks(table, upTo3, format);
  if (wanted < 0) std::printf("total\t%llu rows\n", static_cast<unsigned long long>(table.total()));
  return std::fflush(stdout) == 0 ? 0 : 1;
}
