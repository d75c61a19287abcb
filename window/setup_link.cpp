// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/setup_link.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "canvas/number_text.h"

namespace wave::window {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Decoded(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < field.size() &&
               HexValue(field[i + 1]) >= 0 && HexValue(field[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(field[i + 1]) * 16 +
                               HexValue(field[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

// At most `count` characters of UTF-8, never a part of one.
std::string Shortened(std::string text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if ((byte & 0xC0) != 0x80 && seen++ == count) break;
  }
  text.resize(at);
  return text;
}

void Encode(std::string& out, std::string_view text) {
  constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
        (byte >= 'A' && byte <= 'Z') || c == '*' || c == '-' || c == '.' ||
        c == '_') {
      out += c;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
}

// A number and nothing else but blanks around it, with an optional sign.
std::optional<double> WholeNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  double sign = 1;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    sign = text.front() == '-' ? -1 : 1;
    text.remove_prefix(1);
  }
  // digits [. digits] [e [sign] digits], with a digit before the exponent
  std::size_t at = 0, mantissaDigits = 0;
  const auto digits = [&] {
    std::size_t n = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at, ++n;
    return n;
  };
  mantissaDigits += digits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissaDigits += digits();
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (digits() == 0) return std::nullopt;
  }
  double value = 0;
  if (at != text.size() || ReadDecimal(text, value) != std::errc()) {
    return std::nullopt;
  }
  return sign * value;
}

}  // namespace

SetupLink ReadSetupLink(std::string_view fragment) {
  if (!fragment.empty() && fragment.front() == '#') fragment.remove_prefix(1);
  SetupLink link;
  while (!fragment.empty()) {
    const std::size_t end = fragment.find('&');
    const std::string_view field = fragment.substr(0, end);
    fragment = end == std::string_view::npos ? std::string_view()
                                             : fragment.substr(end + 1);
    const std::size_t equals = field.find('=');
    const std::string key = Decoded(field.substr(0, equals));
    std::string value = equals == std::string_view::npos
                            ? ""
                            : Decoded(field.substr(equals + 1));
    const auto text = [&] {
      return Shortened(std::move(value), SetupLink::kLongestText);
    };
    if (key == "wavelength") link.wavelength = text();
    if (key == "distance") link.distance = text();
    if (key == "dots") link.dots = text();
    if (key == "antinodal") link.antinodal = value == "1";
    if (key == "nodal") link.nodal = value == "1";
    if (key == "crossings") link.crossings = value == "1";
    if (key == "antiphase") link.antiphase = value == "1";
    if (key == "surface" && value.size() == 1 && value[0] >= '0' &&
        value[0] <= '2') {
      link.surface = value[0] - '0';
    }
    if (key == "lang" && !value.empty() && value.size() <= 35) {
      link.lang = value;
    }
    if (key == "speed") {
      const std::optional<double> ms = WholeNumber(value);
      if (ms && std::isfinite(*ms)) link.speedMs = *ms;
    }
  }
  return link;
}

std::string WriteSetupLink(const SetupLink& link) {
  std::string out;
  const auto field = [&out](std::string_view key, std::string_view value) {
    if (!out.empty()) out += '&';
    out += key;
    out += '=';
    Encode(out, value);
  };
  const auto text = [&](std::string_view key,
                        const std::optional<std::string>& value) {
    if (value) field(key, *value);
  };
  const auto on = [&](std::string_view key, const std::optional<bool>& value) {
    if (value) field(key, *value ? "1" : "0");
  };
  text("wavelength", link.wavelength);
  text("distance", link.distance);
  text("dots", link.dots);
  on("antinodal", link.antinodal);
  on("nodal", link.nodal);
  on("crossings", link.crossings);
  on("antiphase", link.antiphase);
  if (link.speedMs) field("speed", ShortestText(*link.speedMs));
  if (link.surface) field("surface", std::to_string(*link.surface));
  text("lang", link.lang);
  return out;
}

}  // namespace wave::window
