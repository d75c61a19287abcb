// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace wave::form {

// The picture area as a screen reader meets it: a graphic under the
// controls that shows nothing itself (the window paints the picture) and
// takes no clicks, whose description is made when it is asked for.
class PictureView : public QWidget {
  Q_OBJECT

 public:
  PictureView(std::function<QString()> describe, QWidget* parent);

  QString Describe() const { return describe_(); }
  // Tells a screen reader that the description has changed.
  void AnnounceChange();

 private:
  std::function<QString()> describe_;
};

}  // namespace wave::form
