// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the translators' template, po/sarvel.pot, from the messages the
// programs hold; with --check FILE, fails when FILE is not that template.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tests/support/source_messages.h"

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

std::string Template() {
  std::string pot =
      "# The messages of sarvel11 and sarvel6: Japanese is the source.\n"
      "# Written by `make po-template`; a catalog is this file translated.\n"
      "msgid \"\"\n"
      "msgstr \"\"\n"
      "\"Project-Id-Version: sarvel\\n\"\n"
      "\"MIME-Version: 1.0\\n\"\n"
      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
      "\"Content-Transfer-Encoding: 8bit\\n\"\n";
  for (const wave::SourceText& m : wave::AllSourceTexts()) {
    pot += "\n";
    if (!wave::text::Placeholders(m.text).empty()) {
      pot += "#, python-brace-format\n";
    }
    pot += "msgctxt " + Quoted(m.context) + "\n";
    pot += "msgid " + Quoted(m.text) + "\n";
    pot += "msgstr \"\"\n";
  }
  return pot;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string pot = Template();
  if (argc == 3 && std::string(argv[1]) == "--check") {
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream held;
    held << in.rdbuf();
    if (held.str() == pot) return 0;
    std::fprintf(stderr,
                 "%s is not the template of the programs' messages: run "
                 "`make po-template` and bring the catalogs up to it\n",
                 argv[2]);
    return 1;
  }
  std::cout << pot;
  return 0;
}
