// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogs against the messages the programs hold, and which catalog a
// learner's languages choose.
#include "text/catalog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/row_name.h"
#include "tests/support/source_messages.h"

namespace wave::text {
namespace {

// Each compiled catalog translates every message, from the text the
// program holds (a changed Japanese text makes its translation stale), no
// message the program lacks, with the same placeholders.
TEST(CatalogTest, EachCatalogTranslatesEveryMessageAndNoOther) {
  const std::vector<SourceText> source = AllSourceTexts();
  ASSERT_FALSE(CompiledCatalogs().empty()) << "English at least";
  for (const CompiledCatalog& catalog : CompiledCatalogs()) {
    SCOPED_TRACE(std::string(catalog.tag));
    std::map<std::string, const CatalogEntry*> held;
    for (const CatalogEntry& e : catalog.entries) {
      EXPECT_TRUE(held.emplace(std::string(e.context), &e).second)
          << "twice: " << e.context;
    }
    for (const SourceText& m : source) {
      const auto found = held.find(m.context);
      if (found == held.end()) {
        ADD_FAILURE() << "lacks " << m.context << " \"" << m.text << "\"";
        continue;
      }
      const CatalogEntry& e = *found->second;
      EXPECT_EQ(e.source, m.text) << "stale: " << m.context;
      EXPECT_EQ(Placeholders(e.translation), Placeholders(m.text))
          << m.context << ": \"" << e.translation << "\"";
      held.erase(found);
    }
    for (const auto& [context, e] : held) {
      ADD_FAILURE() << "no such message in the programs: " << context;
    }
  }
}

struct ChoiceRow {
  const char* name;
  std::vector<std::string> preferred;
  const char* chosen;
};

class ChoiceTest : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(ChoiceTest, TheFirstLanguageWithACatalog) {
  EXPECT_EQ(Catalog::Choose(GetParam().preferred).tag(), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ChoiceTest,
    ::testing::Values(
        ChoiceRow{"NoneIsJapanese", {}, "ja"},
        ChoiceRow{"ABrowserInEnglish", {"en-US", "en"}, "en"},
        ChoiceRow{"ADesktopLocale", {"en_GB.UTF-8"}, "en"},
        ChoiceRow{"CaseIsNoMatter", {"EN-us"}, "en"},
        ChoiceRow{"JapaneseFirst", {"ja-JP", "en"}, "ja"},
        ChoiceRow{"AnUnservedOneIsPassedOver", {"de-DE", "en"}, "en"},
        ChoiceRow{"NoneServedIsJapanese", {"fr", "zh-Hans"}, "ja"},
        ChoiceRow{"TheCLocaleIsNoPreference", {"C.UTF-8", "POSIX", "C"}, "ja"},
        ChoiceRow{"NotALanguage", {"", "e", "english", "1n"}, "ja"},
        ChoiceRow{"AModifierIsNoMatter", {"en_US@euro"}, "en"}),
    testing::RowName());

struct FillRow {
  const char* name;
  const char* text;
  const char* filled;
};

class FillTest : public ::testing::TestWithParam<FillRow> {};

TEST_P(FillTest, NamedPlaceholdersOnly) {
  EXPECT_EQ(Fill(GetParam().text, {{"m", "2"}, {"ap", "{m}"}}),
            GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FillTest,
    ::testing::Values(FillRow{"Each", "m = {m}, {m}", "m = 2, 2"},
                      FillRow{"AValueIsNotFilledAgain", "{ap}", "{m}"},
                      FillRow{"AnUnknownNameStays", "{bp} {m}", "{bp} 2"},
                      FillRow{"AnOpenBraceStays", "{m} {", "2 {"},
                      FillRow{"NoneAtAll", "腹線", "腹線"},
                      FillRow{"Adjacent", "{m}{m}}", "22}"}),
    testing::RowName());

}  // namespace
}  // namespace wave::text
