#include "canvas/text_to_number.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <string>

namespace wave {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Scans the number grammar from `pos`; returns one past its last character
// (== pos when no number starts there). `decimalExponent` receives a rough
// power of ten of the value, used only to tell overflow from underflow.
std::size_t ScanNumber(std::string_view s, std::size_t pos,
                       long long& decimalExponent) {
  std::size_t i = pos;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  long long intDigits = 0;  // significant digits before the point
  long long leadingFractionZeros = 0;
  bool seenNonZero = false;
  bool anyDigit = false;
  while (i < s.size() && IsDigit(s[i])) {
    anyDigit = true;
    if (s[i] != '0') seenNonZero = true;
    if (seenNonZero && intDigits < (1LL << 40)) ++intDigits;
    ++i;
  }
  if (i < s.size() && s[i] == '.') {
    std::size_t j = i + 1;
    bool fractionDigit = false;
    while (j < s.size() && IsDigit(s[j])) {
      fractionDigit = true;
      if (!seenNonZero) {
        if (s[j] == '0') {
          if (leadingFractionZeros < (1LL << 40)) ++leadingFractionZeros;
        } else {
          seenNonZero = true;
        }
      }
      ++j;
    }
    if (anyDigit || fractionDigit) i = j;
    anyDigit = anyDigit || fractionDigit;
  }
  if (!anyDigit) return pos;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool negative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      negative = s[j] == '-';
      ++j;
    }
    if (j < s.size() && IsDigit(s[j])) {
      long long exponent = 0;
      while (j < s.size() && IsDigit(s[j])) {
        if (exponent < (1LL << 40)) exponent = exponent * 10 + (s[j] - '0');
        ++j;
      }
      decimalExponent = negative ? -exponent : exponent;
      i = j;
    }
  }
  decimalExponent += intDigits > 0 ? intDigits : -leadingFractionZeros;
  return i;
}

}  // namespace

double TextToNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) {
    ++start;
  }
  long long decimalExponent = 0;
  const std::size_t end = ScanNumber(text, start, decimalExponent);
  if (end == start) return 0.0;

  std::string_view number = text.substr(start, end - start);
  const bool negative = number.front() == '-';
  if (number.front() == '+' || number.front() == '-') number.remove_prefix(1);

  double value = 0.0;
  const auto [ptr, ec] =
      std::from_chars(number.data(), number.data() + number.size(), value,
                      std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    value = decimalExponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc() || ptr != number.data() + number.size()) {
    value = 0.0;  // cannot happen for the scanned grammar
  }
  return negative ? -value : value;
}

}  // namespace wave
