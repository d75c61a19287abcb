// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/program.h"
#include "full/form1.h"

int main(int argc, char** argv) {
  return wave::form::RunProgram(
      argc, argv, "sarvel11", "org.sarvel.sarvel11",
      [](const std::vector<std::string>& languages) {
        return std::make_unique<wave::full::Form1>(languages);
      });
}
