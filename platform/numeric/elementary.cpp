#include "platform/numeric/elementary.h"

#include <cmath>
#include <limits>

namespace velsona::platform {
namespace {

// A number held as the unevaluated sum hi + lo of two doubles, with |lo| at
// most half a unit in the last place of hi: about 106 significant bits.
// The operations below are the classic error-free transformations (Dekker,
// Knuth); each is exact or loses a few units of 2^-106 at most.
struct Pair {
  double hi;
  double lo;
};

// a + b exactly, as a pair.
Pair TwoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  const double error = (a - (sum - bPart)) + (b - bPart);
  return {sum, error};
}

// a + b exactly, as a pair, when |a| >= |b| (or a is zero).
Pair QuickTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// `a` cut into two halves of 26 bits each, so that products of halves are exact.
Pair Split(double a) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double scaled = kSplitter * a;
  const double high = scaled - (scaled - a);
  return {high, a - high};
}

// a * b exactly, as a pair (no fused multiply-add needed). |a| and |b| stay
// far below 2^996 here, so the split cannot overflow.
Pair TwoProduct(double a, double b) {
  const double product = a * b;
  const Pair x = Split(a);
  const Pair y = Split(b);
  const double error = ((x.hi * y.hi - product) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo;
  return {product, error};
}

Pair Add(Pair a, Pair b) {
  const Pair sum = TwoSum(a.hi, b.hi);
  return QuickTwoSum(sum.hi, sum.lo + (a.lo + b.lo));
}

Pair Subtract(Pair a, Pair b) { return Add(a, {-b.hi, -b.lo}); }

Pair Multiply(Pair a, Pair b) {
  const Pair product = TwoProduct(a.hi, b.hi);
  return QuickTwoSum(product.hi, product.lo + (a.hi * b.lo + a.lo * b.hi));
}

Pair Multiply(Pair a, double b) { return Multiply(a, Pair{b, 0.0}); }

// a / b by long division: three partial quotients, each correcting the last.
Pair Divide(Pair a, Pair b) {
  const double q1 = a.hi / b.hi;
  Pair rest = Subtract(a, Multiply(b, q1));
  const double q2 = rest.hi / b.hi;
  rest = Subtract(rest, Multiply(b, q2));
  const double q3 = rest.hi / b.hi;
  return Add(QuickTwoSum(q1, q2), Pair{q3, 0.0});
}

// The pair rounded to the nearest double: hi + lo in one rounding.
double Rounded(Pair a) { return a.hi + a.lo; }

// ln 2 to 106 bits.
constexpr Pair kLn2{0.6931471805599453, 2.3190468138462996e-17};

// c[0] + c[1] x + ... + c[degree] x^degree by Horner's rule. The terms
// from x^paired on are so small against the first that double precision is
// enough for them; the others are summed in pairs.
Pair Polynomial(Pair x, const Pair* c, int degree, int paired) {
  double tail = 0.0;
  for (int i = degree; i >= paired; --i) tail = c[i].hi + x.hi * tail;
  Pair sum{tail, 0.0};
  for (int i = paired - 1; i >= 0; --i) sum = Add(c[i], Multiply(sum, x));
  return sum;
}

// ln(c) = 2 atanh((c - 1)/(c + 1)) for the c = 1 + j/64 near which the
// logarithm is taken, j from kFirstNode on.
constexpr int kFirstNode = -20;  // 1 - 20/64 < sqrt(1/2)
constexpr int kNodes = 48;       // up to 1 + 27/64 > sqrt(2)
double Node(int j) { return 1.0 + j / 64.0; }

// What the fast paths below look up, computed once by the slow series.
struct Tables {
  Pair inverseOdd[24];         // 1/(2k + 1): 2 atanh(s) = 2 s (1 + s^2/3 + s^4/5 + ...)
  Pair inverseFactorials[31];  // 1/k!: e^r = 1 + r + r^2/2! + ...
  Pair lnNodes[kNodes];        // ln(Node(kFirstNode + i))
  Pair twoToThe[64];           // 2^(j/64)
};

// 2 atanh(s) = ln((1 + s)/(1 - s)) to `terms` terms of its series, the
// first `paired` of them in pairs.
Pair TwiceAtanh(Pair s, int terms, int paired, const Tables& t) {
  return Multiply(Multiply(s, Polynomial(Multiply(s, s), t.inverseOdd, terms - 1, paired)), 2.0);
}

Tables Build() {
  Tables t{};
  for (int k = 0; k < 24; ++k) t.inverseOdd[k] = Divide(Pair{1.0, 0.0}, Pair{2.0 * k + 1.0, 0.0});
  t.inverseFactorials[0] = Pair{1.0, 0.0};
  for (int k = 1; k < 31; ++k) {
    t.inverseFactorials[k] = Divide(t.inverseFactorials[k - 1], Pair{static_cast<double>(k), 0.0});
  }
  for (int i = 0; i < kNodes; ++i) {
    // |s| < 0.18, so 24 terms take the series below 2^-120.
    const double c = Node(kFirstNode + i);
    t.lnNodes[i] = TwiceAtanh(Divide(Pair{c - 1.0, 0.0}, Pair{c + 1.0, 0.0}), 24, 24, t);
  }
  for (int j = 0; j < 64; ++j) {
    // r < ln 2, so 30 terms take the series below 2^-120.
    const Pair r = Add(TwoProduct(j, kLn2.hi / 64), Pair{j * (kLn2.lo / 64), 0.0});
    t.twoToThe[j] = Polynomial(r, t.inverseFactorials, 30, 31);
  }
  return t;
}

const Tables& Table() {
  static const Tables tables = Build();
  return tables;
}

// ln(x) for a finite x > 0, as a pair. With x = m 2^k, m within
// [sqrt(1/2), sqrt(2)), and c the node nearest to m:
// ln(x) = k ln 2 + ln(c) + 2 atanh(s), s = (m - c)/(m + c), |s| < 2^-7.
// 9 terms of the series take it below 2^-120; from the 5th on, the terms
// are below 2^-60 of the first, and double precision is enough for them.
Pair LnPair(double x) {
  const Tables& t = Table();
  int k = 0;
  double m = std::frexp(x, &k);  // exact: m in [0.5, 1)
  if (m < 0.7071067811865476) {
    m *= 2.0;  // exact
    --k;
  }
  const int j = static_cast<int>(std::floor((m - 1.0) * 64.0 + 0.5));
  const double c = Node(j);
  // m - c is exact, as m lies within [c/2, 2c].
  const Pair s = Divide(Pair{m - c, 0.0}, TwoSum(m, c));
  const Pair lnM = Add(t.lnNodes[j - kFirstNode], TwiceAtanh(s, 9, 4, t));
  const double kd = k;
  const Pair kLn2Product = Add(TwoProduct(kd, kLn2.hi), Pair{kd * kLn2.lo, 0.0});
  return Add(kLn2Product, lnM);
}

// e^y for a pair y with |y| below about 750, rounded to a double. With
// y = (64 q + j) ln 2 / 64 + r, |r| <= ln 2 / 128, e^y = 2^q 2^(j/64) e^r,
// and 12 terms of the series for e^r take it below 2^-120; from r^6/6! on,
// the terms are below 2^-54, and double precision is enough for them.
double ExpOfPair(Pair y) {
  const Tables& t = Table();
  const double n = std::floor(y.hi * (64 / kLn2.hi) + 0.5);
  const Pair nLn2 = Add(TwoProduct(n, kLn2.hi / 64), Pair{n * (kLn2.lo / 64), 0.0});
  const Pair r = Subtract(y, nLn2);
  const int whole = static_cast<int>(n);
  const int j = ((whole % 64) + 64) % 64;
  const int q = (whole - j) / 64;
  const Pair result = Multiply(t.twoToThe[j], Polynomial(r, t.inverseFactorials, 12, 6));
  // Scaled while still a pair: exact unless the result is subnormal.
  return Rounded(Pair{std::ldexp(result.hi, q), std::ldexp(result.lo, q)});
}

bool IsOddInteger(double value) {
  // From 2^53 up every double is even.
  return std::floor(value) == value && std::fabs(value) < 9007199254740992.0 &&
         std::fmod(value, 2.0) != 0.0;
}

}  // namespace

double Ln(double value) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (std::isnan(value) || value < 0.0) return std::numeric_limits<double>::quiet_NaN();
  if (value == 0.0) return -kInfinity;
  if (value == kInfinity) return kInfinity;
  return Rounded(LnPair(value));
}

double Power(double base, double exponent) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  if (exponent == 0.0 || base == 1.0) return 1.0;
  if (std::isnan(base) || std::isnan(exponent)) return kNaN;

  const bool odd = IsOddInteger(exponent);
  if (base < 0.0) {
    if (std::isfinite(exponent) && std::floor(exponent) != exponent) return kNaN;
    const double magnitude = Power(-base, exponent);
    return odd ? -magnitude : magnitude;
  }
  // From here on the base is +0, -0 (odd powers keep its sign) or above zero.
  if (base == 0.0) {
    const double magnitude = exponent > 0.0 ? 0.0 : kInfinity;
    return odd ? std::copysign(magnitude, base) : magnitude;
  }
  if (std::isinf(exponent)) {
    // Growing without bound, or shrinking to nothing.
    return (base > 1.0) == (exponent > 0.0) ? kInfinity : 0.0;
  }
  if (std::isinf(base)) return exponent > 0.0 ? kInfinity : 0.0;

  // e^(exponent * ln(base)). Beyond these bounds the result certainly
  // overflows, or certainly rounds to zero; within them the product is small
  // enough for the exact products above.
  const Pair lnBase = LnPair(base);
  const double estimate = exponent * lnBase.hi;
  if (estimate > 710.0) return kInfinity;
  if (estimate < -746.0) return 0.0;
  return ExpOfPair(Multiply(lnBase, exponent));
}

}  // namespace velsona::platform
