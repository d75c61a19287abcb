// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wave::text {

// The messages of text/messages.def, by key.
enum class Msg : std::uint16_t {
#define SARVEL_MESSAGE(key, source) k##key,
#include "text/messages.def"
#undef SARVEL_MESSAGE
};

// A message of the source language: its context in a catalog (the key, or
// for the control table the row and field) and its Japanese text.
struct SourceMessage {
  std::string_view context;
  std::string_view text;
};
// The messages of messages.def, in its order.
std::span<const SourceMessage> SourceMessages();

// One message of a compiled .po file. Sorted by context.
struct CatalogEntry {
  std::string_view context;
  std::string_view source;  // the msgid it translates
  std::string_view translation;
};
struct CompiledCatalog {
  std::string_view tag;  // BCP 47: "en"
  std::span<const CatalogEntry> entries;
};
// Every catalog the build compiled from po/.
std::span<const CompiledCatalog> CompiledCatalogs();

// A named value for a placeholder {name}.
struct Arg {
  std::string_view name;
  std::string_view value;
};

// The words of one language. A message its catalog lacks, or translates
// from another source text than the program's, reads as the source's, so
// that a catalog behind the program shows Japanese, never a stale text.
class Catalog {
 public:
  // The languages: the source's, Japanese, first.
  static std::span<const Catalog> All();
  static const Catalog& Source() { return All().front(); }
  // The first of `preferred` (BCP 47 tags or POSIX locale names, best
  // first) that a catalog serves; the source's if none does. A name with
  // no language in it ("C", "POSIX", "") is no preference.
  static const Catalog& Choose(std::span<const std::string> preferred);
  // The catalog whose language `tag` names, if any.
  static const Catalog* Find(std::string_view tag);

  std::string_view tag() const { return tag_; }
  std::size_t index() const { return index_; }
  std::string_view Text(Msg message) const;
  // A text of the control table, by its context.
  std::string_view Text(std::string_view context,
                        std::string_view source) const;
  std::string Format(Msg message, std::initializer_list<Arg> args) const;
  // `sentence` after `text`, as the language sets one after another.
  void Append(std::string& text, std::string_view sentence) const;

  Catalog(std::size_t index, std::string_view tag,
          std::span<const CatalogEntry> entries);

 private:
  std::size_t index_;
  std::string_view tag_;
  std::span<const CatalogEntry> entries_;
  std::vector<std::string_view> messages_;  // by Msg
};

// `text` with each {name} of `args` replaced by its value; any other brace
// stays as it is.
std::string Fill(std::string_view text, std::initializer_list<Arg> args);
// The names of the placeholders a text holds, sorted, once each.
std::vector<std::string> Placeholders(std::string_view text);
// A language tag or locale name's language: "en_US.UTF-8" → "en".
std::string LanguageOf(std::string_view name);

}  // namespace wave::text
