// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/keep/line_layer.h"

#include <algorithm>

namespace wave {

LineLayer::Reuse LineLayer::Close(int width, int height) {
  open_ = false;
  const bool repeated = calls_.empty() && matched_ == keptCalls_.size() &&
                        (matched_ > 0 || keptUnder_.has_value());
  if (repeated && under_ == keptUnder_ && width == kept_.width() &&
      height == kept_.height()) {
    if (kept_.complete()) return Reuse::kWhole;
    Diverge();  // the calls, to lay again
    return Reuse::kInPart;
  }
  if (calls_.empty() && matched_ > 0) Diverge();
  return Reuse::kNone;
}

void LineLayer::Keep(const PixelBuffer& out, std::uint32_t background) {
  kept_.Keep(out, background);
  keptCalls_ = calls_;
  keptUnder_ = under_;
}

void LineLayer::Forget() {
  keptCalls_.clear();
  keptUnder_.reset();
  kept_.Clear();
}

}  // namespace wave
