// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <string>
#include <vector>

#include "full/controls.h"
#include "six/controls.h"
#include "text/catalog.h"
#include "window/table_texts.h"

namespace wave {

// Every message a catalog translates, as the programs hold it: those of
// messages.def, then both editions' tables (the rows they share once).
struct SourceText {
  std::string context, text;
};
inline std::vector<SourceText> AllSourceTexts() {
  std::vector<SourceText> all;
  std::set<std::string> seen;
  for (const text::SourceMessage& m : text::SourceMessages()) {
    all.push_back({std::string(m.context), std::string(m.text)});
  }
  for (const auto& [edition, layout] :
       {std::pair{Edition::Full, &full::kForm1},
        std::pair{Edition::Six, &six::kForm1}}) {
    window::ForEachTableText(
        edition, *layout,
        [&](const std::string& context, std::string_view source, auto, auto) {
          if (seen.insert(context).second) {
            all.push_back({context, std::string(source)});
          }
        });
  }
  return all;
}

}  // namespace wave
