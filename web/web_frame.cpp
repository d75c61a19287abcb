// SPDX-License-Identifier: GPL-3.0-or-later
// Replays what a page was told, natively, and writes the picture as the
// page shows it: the RGBA bytes, row by row, after a line "width height".
//   web_frame sarvel11|sarvel6 WIDTH HEIGHT RATIO ACTION... > picture
// An action is load, tick, click:NAME, text:N:TEXT, speed:MS or
// switch:NAME:0|1, as page.js passes them on.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "full/controls.h"
#include "six/controls.h"
#include "web/web_form.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cerr
        << "usage: web_frame sarvel11|sarvel6 WIDTH HEIGHT RATIO ACTION...\n";
    return 2;
  }
  const bool six = std::string_view(argv[1]) == "sarvel6";
  wave::web::WebForm form(six ? wave::Edition::Six : wave::Edition::Full,
                          six ? wave::six::kForm1 : wave::full::kForm1);
  form.SetSpeed(wave::form::SpeedRange::kStartMs);
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  const double ratio = std::atof(argv[4]);
  bool ok = form.Handle([&] { form.Resize(width, height, ratio); });
  for (int i = 5; i < argc && ok; ++i) {
    const std::string action = argv[i];
    const auto rest = [&](std::size_t from) { return action.substr(from); };
    if (action == "load") {
      ok = form.Handle([&] { form.Load(); });
    } else if (action == "tick") {
      ok = form.Handle([&] { form.Tick(); });
    } else if (action.rfind("click:", 0) == 0) {
      ok = form.Handle([&] { form.Click(rest(6)); });
    } else if (action.rfind("text:", 0) == 0) {
      form.SetText(action[5] - '0', rest(7));
    } else if (action.rfind("speed:", 0) == 0) {
      form.SetSpeed(std::atoi(rest(6).c_str()));
    } else if (action.rfind("switch:", 0) == 0) {
      const std::string what = rest(7);
      form.SetSwitch(what.substr(0, what.find(':')), what.back() == '1');
    } else {
      std::cerr << "web_frame: unknown action " << action << "\n";
      return 2;
    }
  }
  if (!ok) {
    std::cerr << "web_frame: " << form.failure() << "\n";
    return 1;
  }
  const wave::FrameRasteriser& frame = form.frame();
  std::printf("%d %d\n", frame.deviceWidth(), frame.deviceHeight());
  std::fwrite(frame.pixels(), 4,
              static_cast<std::size_t>(frame.deviceWidth()) *
                  static_cast<std::size_t>(frame.deviceHeight()),
              stdout);
  return 0;
}
