#include "form/form_fonts.h"

#include <QApplication>
#include <QStringList>

namespace wave::form {

void InstallFontSubstitutes() {
  const QStringList substitutes = {"IPAPGothic", "IPAGothic",
                                   "Noto Sans CJK JP", "Noto Sans JP"};
  QFont::insertSubstitutions(QString::fromUtf8(kFormFace), substitutes);
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

QFont FontFor(FontVariant variant) {
  if (variant == FontVariant::WindowDefault) return QApplication::font();
  QFont font(QString::fromUtf8(kFormFace));
  font.setStyleHint(QFont::SansSerif);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  switch (variant) {
    case FontVariant::Normal14:
      font.setPointSizeF(14.25);
      font.setWeight(QFont::Normal);
      break;
    case FontVariant::Bold14:
      font.setPointSizeF(14.25);
      font.setWeight(QFont::Bold);
      break;
    case FontVariant::Bold20:
      font.setPointSizeF(20.25);
      font.setWeight(QFont::Bold);
      break;
    case FontVariant::Normal10:
      font.setPointSizeF(9.75);
      font.setWeight(QFont::Normal);
      break;
    case FontVariant::WindowDefault:
      break;
  }
  return font;
}

}  // namespace wave::form
