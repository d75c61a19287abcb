// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/catalog.h"

#include <algorithm>
#include <cctype>

namespace wave::text {
namespace {

constexpr SourceMessage kSource[] = {
#define SARVEL_MESSAGE(key, source) {#key, source},
#include "text/messages.def"
#undef SARVEL_MESSAGE
};

const CatalogEntry* Lookup(std::span<const CatalogEntry> entries,
                           std::string_view context) {
  const auto at = std::lower_bound(
      entries.begin(), entries.end(), context,
      [](const CatalogEntry& e, std::string_view c) { return e.context < c; });
  return at != entries.end() && at->context == context ? &*at : nullptr;
}

std::vector<Catalog> MakeAll() {
  std::vector<Catalog> all;
  all.emplace_back(0, "ja", std::span<const CatalogEntry>{});
  for (const CompiledCatalog& c : CompiledCatalogs()) {
    all.emplace_back(all.size(), c.tag, c.entries);
  }
  return all;
}

}  // namespace

std::span<const SourceMessage> SourceMessages() { return kSource; }

Catalog::Catalog(std::size_t index, std::string_view tag,
                 std::span<const CatalogEntry> entries)
    : index_(index), tag_(tag), entries_(entries) {
  messages_.reserve(std::size(kSource));
  for (const SourceMessage& m : kSource) {
    messages_.push_back(Text(m.context, m.text));
  }
}

std::span<const Catalog> Catalog::All() {
  static const std::vector<Catalog> all = MakeAll();
  return all;
}

const Catalog* Catalog::Find(std::string_view tag) {
  const std::string language = LanguageOf(tag);
  if (language.empty()) return nullptr;
  for (const Catalog& c : All()) {
    if (c.tag() == language) return &c;
  }
  return nullptr;
}

const Catalog& Catalog::Choose(std::span<const std::string> preferred) {
  for (const std::string& tag : preferred) {
    if (const Catalog* c = Find(tag)) return *c;
  }
  return Source();
}

std::string_view Catalog::Text(Msg message) const {
  return messages_[static_cast<std::size_t>(message)];
}

std::string_view Catalog::Text(std::string_view context,
                               std::string_view source) const {
  const CatalogEntry* e = Lookup(entries_, context);
  return e != nullptr && e->source == source && !e->translation.empty()
             ? e->translation
             : source;
}

std::string Catalog::Format(Msg message,
                            std::initializer_list<Arg> args) const {
  return Fill(Text(message), args);
}

void Catalog::Append(std::string& text, std::string_view sentence) const {
  if (text.empty() || sentence.empty()) {
    text += sentence;
    return;
  }
  text = Format(Msg::kJoinSentences, {{"before", text}, {"after", sentence}});
}

std::string Fill(std::string_view text, std::initializer_list<Arg> args) {
  std::string out;
  out.reserve(text.size() + 16);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('{', at);
    const std::size_t close =
        open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const auto arg = std::find_if(args.begin(), args.end(),
                                  [&](const Arg& a) { return a.name == name; });
    out += text.substr(at, open - at);
    if (arg != args.end()) {
      out += arg->value;
    } else {
      out += text.substr(open, close - open + 1);
    }
    at = close + 1;
  }
  out += text.substr(std::min(at, text.size()));
  return out;
}

std::vector<std::string> Placeholders(std::string_view text) {
  std::vector<std::string> names;
  for (std::size_t open = text.find('{'); open != std::string_view::npos;
       open = text.find('{', open + 1)) {
    const std::size_t close = text.find('}', open);
    if (close == std::string_view::npos) break;
    names.emplace_back(text.substr(open + 1, close - open - 1));
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::string LanguageOf(std::string_view name) {
  std::string language;
  for (const char c : name) {
    if (c == '-' || c == '_' || c == '.' || c == '@') break;
    if (!std::isalpha(static_cast<unsigned char>(c))) return {};
    language += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  // "C" and "POSIX" name no language; a language is two or three letters.
  if (language.size() < 2 || language.size() > 3) return {};
  return language;
}

}  // namespace wave::text
