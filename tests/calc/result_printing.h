#pragma once

// Comparison and printing of calculation outcomes, so that a failed
// expectation shows "Failed(TypeMismatch, input 1)" rather than bytes.

#include <iomanip>
#include <ostream>

#include "calc/numeric_rules.h"

namespace velsona::calc {

inline const char* Name(FailureKind kind) {
  switch (kind) {
    case FailureKind::TypeMismatch: return "TypeMismatch";
    case FailureKind::Overflow: return "Overflow";
    case FailureKind::DivisionByZero: return "DivisionByZero";
    case FailureKind::InvalidOperation: return "InvalidOperation";
  }
  return "?";
}

inline std::ostream& operator<<(std::ostream& os, FailureKind kind) { return os << Name(kind); }

inline bool operator==(const Done& a, const Done& b) { return a.texts == b.texts; }
inline bool operator==(const Refused&, const Refused&) { return true; }
inline bool operator==(const Skipped&, const Skipped&) { return true; }
inline bool operator==(const Failed& a, const Failed& b) { return a.kind == b.kind && a.input == b.input; }

inline void PrintTo(const CalcResult& result, std::ostream* os) {
  struct Printer {
    std::ostream& os;
    void operator()(const Done& done) const {
      os << "Done(";
      for (std::size_t i = 0; i < done.texts.size(); ++i) os << (i ? ", \"" : "\"") << done.texts[i] << '"';
      os << ')';
    }
    void operator()(const Refused&) const { os << "Refused"; }
    void operator()(const Skipped&) const { os << "Skipped"; }
    void operator()(const Failed& failed) const {
      os << "Failed(" << failed.kind;
      if (failed.input) os << ", input " << *failed.input;
      os << ')';
    }
  };
  std::visit(Printer{*os}, result);
}

// Equal when both hold the same value (exactly), or fail the same way.
template <typename T>
bool operator==(const Checked<T>& a, const Checked<T>& b) {
  if (a.ok() != b.ok()) return false;
  return a.ok() ? a.value() == b.value() : a.failure() == b.failure();
}

template <typename T>
void PrintTo(const Checked<T>& checked, std::ostream* os) {
  if (checked.ok()) {
    *os << std::setprecision(17) << +checked.value();
  } else {
    *os << "failure " << checked.failure();
  }
}

// The regional settings of the two kinds of locale the tests run side by side.
inline const platform::NumberFormat kPoint{"."};
inline const platform::NumberFormat kComma{","};

}  // namespace velsona::calc
