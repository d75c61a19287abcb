// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>

namespace wave {
namespace fallback {
namespace {

// The shortest digits (d.ddd…) and decimal exponent that read back as
// `value`, from the C library's correctly rounded "%.*e".
template <class Real>
void ShortestDigits(Real value, std::string& digits, int& exponent) {
  constexpr int kMost = std::numeric_limits<Real>::max_digits10;
  char buffer[64];
  for (int precision = 0; precision < kMost; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision,
                  static_cast<double>(value));
    const Real back = std::is_same_v<Real, float>
                          ? static_cast<Real>(std::strtof(buffer, nullptr))
                          : static_cast<Real>(std::strtod(buffer, nullptr));
    if (back == value) break;
  }
  // buffer: [-]d[.ddd]e±xx
  const char* p = buffer;
  if (*p == '-') ++p;
  digits.clear();
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  exponent = std::atoi(p + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

// As std::to_chars writes the digits in fixed and in scientific form. A
// whole number in fixed form shows every digit of its exact value, not the
// shortest digits padded with zeros.
std::string Fixed(double magnitude, const std::string& digits, int exponent) {
  const int count = static_cast<int>(digits.size());
  if (exponent < 0) {
    return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') +
           digits;
  }
  if (exponent + 1 >= count) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", magnitude);
    return buffer;
  }
  return digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
         digits.substr(static_cast<std::size_t>(exponent + 1));
}

std::string Scientific(const std::string& digits, int exponent) {
  std::string text = digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  const int magnitude = exponent < 0 ? -exponent : exponent;
  text += exponent < 0 ? "e-" : "e+";
  if (magnitude < 10) text += '0';
  return text + std::to_string(magnitude);
}

template <class Real>
std::string Shortest(Real value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  const std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0) return sign + "0";
  std::string digits;
  int exponent = 0;
  ShortestDigits(value, digits, exponent);
  const std::string fixed =
      Fixed(std::fabs(static_cast<double>(value)), digits, exponent);
  const std::string scientific = Scientific(digits, exponent);
  return sign + (scientific.size() < fixed.size() ? scientific : fixed);
}

}  // namespace

std::errc ReadDecimal(std::string_view digits, double& value) {
  const std::string text(digits);
  const double read = std::strtod(text.c_str(), nullptr);
  // Out of range as <charconv> has it: too large for a double, or nonzero
  // digits that round to zero. A subnormal value is read.
  const std::size_t mantissa = text.find_first_of("eE");
  const bool nonzero =
      text.substr(0, mantissa).find_first_of("123456789") != std::string::npos;
  if (std::isinf(read) || (read == 0 && nonzero)) {
    return std::errc::result_out_of_range;
  }
  value = read;
  return std::errc();
}

std::string ShortestText(double value) { return Shortest(value); }
std::string ShortestText(float value) { return Shortest(value); }

std::string FixedText(double value, int decimals) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

}  // namespace fallback

#if defined(__cpp_lib_to_chars)

std::errc ReadDecimal(std::string_view digits, double& value) {
  double read = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), read,
                      std::chars_format::general);
  if (error == std::errc()) value = read;
  return error;
}

namespace {
template <class Real>
std::string Shortest(Real value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}
}  // namespace

std::string ShortestText(double value) { return Shortest(value); }
std::string ShortestText(float value) { return Shortest(value); }

std::string FixedText(double value, int decimals) {
  char buffer[400];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                          std::chars_format::fixed, decimals);
  if (error != std::errc()) return fallback::FixedText(value, decimals);
  return std::string(buffer, end);
}

#else

std::errc ReadDecimal(std::string_view digits, double& value) {
  return fallback::ReadDecimal(digits, value);
}
std::string ShortestText(double value) { return fallback::ShortestText(value); }
std::string ShortestText(float value) { return fallback::ShortestText(value); }
std::string FixedText(double value, int decimals) {
  return fallback::FixedText(value, decimals);
}

#endif

}  // namespace wave
