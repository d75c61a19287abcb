// SPDX-License-Identifier: GPL-3.0-or-later
// Replays, natively, the events a page handed to its form model (one line
// each on standard input, as the page logged them) and writes the picture
// the page should show: a line "width height", then RGBA bytes row by row.
//   web_frame sarvel11|sarvel6 < events > picture
// It draws in the desktop's byte order and takes the channels apart by
// value, so that a page whose red and blue were swapped would differ.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "full/controls.h"
#include "six/controls.h"
#include "web/page_protocol.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: web_frame sarvel11|sarvel6 < events > picture\n";
    return 2;
  }
  const bool six = std::string_view(argv[1]) == "sarvel6";
  wave::window::FormModel model(
      six ? wave::Edition::Six : wave::Edition::Full,
      six ? wave::six::kForm1 : wave::full::kForm1,
      {0xF0F0F0, wave::FrameRasteriser::PixelOrder::kArgb32, 1, 96});
  std::string line;
  while (std::getline(std::cin, line)) {
    const std::string answer = wave::web::Dispatch(model, line);
    if (model.failed()) {
      std::cerr << "web_frame: " << answer << "\n";
      return 1;
    }
  }
  const wave::FrameRasteriser& frame = model.frame();
  const std::size_t count = static_cast<std::size_t>(frame.deviceWidth()) *
                            static_cast<std::size_t>(frame.deviceHeight());
  std::vector<unsigned char> rgba(count * 4);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t argb = frame.pixels()[i];
    rgba[4 * i] = static_cast<unsigned char>(argb >> 16);
    rgba[4 * i + 1] = static_cast<unsigned char>(argb >> 8);
    rgba[4 * i + 2] = static_cast<unsigned char>(argb);
    rgba[4 * i + 3] = 255;
  }
  std::printf("%d %d\n", frame.deviceWidth(), frame.deviceHeight());
  std::fwrite(rgba.data(), 1, rgba.size(), stdout);
  return 0;
}
