// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/program.h"
#include "six/form1.h"

int main(int argc, char** argv) {
  return wave::form::RunProgram(
      argc, argv, "sarvel6", "org.sarvel.sarvel6",
      [](const std::vector<std::string>& languages) {
        return std::make_unique<wave::six::Form1>(languages);
      });
}
