#pragma once

#include <QFont>

#include "form/control_table.h"

namespace wave::form {

inline constexpr const char* kFormFace = "ＭＳ Ｐゴシック";

// Maps the face the window asks for to Japanese proportional sans-serif
// faces that Debian ships. Call once, after the application exists.
void InstallFontSubstitutes();

// The font of a variant; WindowDefault is the application's font.
QFont FontFor(FontVariant variant);

}  // namespace wave::form
