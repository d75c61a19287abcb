// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/text_to_number.h"

#include "canvas/number_text.h"

#include <cstddef>
#include <limits>
#include <string>

namespace wave {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The full-width forms a Japanese input method types in kana mode, with the
// ASCII characters they stand for: digits, signs, point, exponent letters
// and the ideographic space.
struct WideForm {
  std::string_view utf8;
  char ascii;
};
constexpr WideForm kWideForms[] = {
    {"\xEF\xBC\x90", '0'}, {"\xEF\xBC\x91", '1'}, {"\xEF\xBC\x92", '2'},
    {"\xEF\xBC\x93", '3'}, {"\xEF\xBC\x94", '4'}, {"\xEF\xBC\x95", '5'},
    {"\xEF\xBC\x96", '6'}, {"\xEF\xBC\x97", '7'}, {"\xEF\xBC\x98", '8'},
    {"\xEF\xBC\x99", '9'}, {"\xEF\xBC\x8B", '+'}, {"\xEF\xBC\x8D", '-'},
    {"\xEF\xBC\x8E", '.'}, {"\xEF\xBC\xA5", 'E'}, {"\xEF\xBD\x85", 'e'},
    {"\xE3\x80\x80", ' '},
};

// The text up to its first character that is neither ASCII nor a full-width
// form, in ASCII. Nothing past that character can belong to the number, so
// the grammar below stays purely ASCII.
std::string Narrowed(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      out += text[i++];
      continue;
    }
    const WideForm* form = nullptr;
    for (const WideForm& f : kWideForms) {
      if (text.substr(i, f.utf8.size()) == f.utf8) {
        form = &f;
        break;
      }
    }
    if (form == nullptr) break;
    out += form->ascii;
    i += form->utf8.size();
  }
  return out;
}

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

double TextToNumber(std::string_view typed) {
  const std::string ascii = Narrowed(typed);
  const std::string_view text = ascii;
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
  const std::errc ec = ReadDecimal(number, value);
  if (ec == std::errc::result_out_of_range) {
    value = decimalExponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc()) {
    value = 0.0;  // cannot happen for the scanned grammar
  }
  return negative ? -value : value;
}

}  // namespace wave
