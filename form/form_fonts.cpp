// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form_fonts.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>

namespace wave::form {

void InstallFontSubstitutes() {
  const QStringList substitutes = {"IPAPGothic", "IPAGothic",
                                   "Noto Sans CJK JP", "Noto Sans JP"};
  QFont::insertSubstitutions(
      QString::fromUtf8(kFormFace.data(),
                        static_cast<qsizetype>(kFormFace.size())),
      substitutes);
  // Buttons use the window's default font: it must show Japanese too.
  QFont base = QApplication::font();
  QStringList families = base.families();
  if (families.isEmpty()) families.append(base.family());
  for (const QString& face : substitutes) {
    if (!families.contains(face)) families.append(face);
  }
  base.setFamilies(families);
  QApplication::setFont(base);
}

QString FormFace() {
  return QString::fromUtf8(kFormFace.data(),
                           static_cast<qsizetype>(kFormFace.size()));
}

QFont FontFor(FontVariant variant, const QString& face) {
  QStringList faces = face.split(u',', Qt::SkipEmptyParts);
  for (QString& f : faces) f = f.trimmed();
  if (variant == FontVariant::WindowDefault) {
    QFont font = QApplication::font();
    if (face == FormFace()) return font;
    QStringList families = font.families();
    if (families.isEmpty()) families.append(font.family());
    font.setFamilies(faces + families);
    return font;
  }
  const FontLook look = LookOf(variant);
  QFont font(faces.value(0));
  if (faces.size() > 1) font.setFamilies(faces);
  font.setStyleHint(QFont::SansSerif);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  font.setPointSizeF(look.points);
  font.setWeight(look.bold ? QFont::Bold : QFont::Normal);
  return font;
}

QFont FontFitting(const QFont& base, const QStringList& captions, int widthPx) {
  const auto widest = [&captions](const QFont& font) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& c : captions) {
      widest = std::max(widest, metrics.horizontalAdvance(c));
    }
    return widest;
  };
  constexpr double kSmallestPoints = 5;
  QFont font = base;
  if (font.pointSizeF() <= 0) font.setPointSizeF(QFontInfo(base).pointSizeF());
  while (widest(font) > widthPx && font.pointSizeF() > kSmallestPoints) {
    font.setPointSizeF(std::max(kSmallestPoints, font.pointSizeF() - 0.25));
  }
  return font;
}

}  // namespace wave::form
