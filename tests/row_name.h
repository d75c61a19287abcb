// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace wave::testing {

// A table row's name as a test's: GoogleTest takes no '-' in one.
struct RowName {
  template <class Info>
  std::string operator()(const Info& info) const {
    std::string name = info.param.name;
    for (char& c : name) c = c == '-' ? '_' : c;
    return name;
  }
};

}  // namespace wave::testing
