// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/picture_view.h"

#include <QAccessible>
#include <utility>

namespace wave::form {

PictureView::PictureView(std::function<QString()> describe, QWidget* parent)
    : QWidget(parent), describe_(std::move(describe)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void PictureView::AnnounceChange() {
  QAccessibleEvent event(this, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&event);
}

}  // namespace wave::form
