// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

namespace wave::testing {

// Whether a text a screen reader or a label is handed is well-formed UTF-8
// (shortest forms, no surrogates) without control characters: a NUL or a
// stray byte there is read out as noise or cuts the text short.
inline bool IsCleanText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) return false;
    if (b < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
      code = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      code = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      code = b & 0x07u;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0u) != 0x80u) return false;
      code = (code << 6) | (c & 0x3Fu);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
        code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ||
        (code >= 0x80 && code <= 0x9F)) {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace wave::testing
