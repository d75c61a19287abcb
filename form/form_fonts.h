// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

#include "controls/control_table.h"

namespace wave::form {

// Maps the face the window asks for to Japanese proportional sans-serif
// faces that Debian ships. Call once, after the application exists.
void InstallFontSubstitutes();

// The face the table asks for, kFormFace.
QString FormFace();
// The font of a variant in `face`, the language's faces separated by commas;
// WindowDefault is the application's font, those faces before its own where
// they are others.
QFont FontFor(FontVariant variant, const QString& face = FormFace());

// `base`, made smaller in quarter points until every caption fits within
// `widthPx` logical pixels. Buttons of one width share it, so that the
// longest caption decides and they all keep one look.
QFont FontFitting(const QFont& base, const QStringList& captions, int widthPx);

}  // namespace wave::form
