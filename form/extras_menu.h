// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "window/form_view.h"

class QAction;
class QMenu;
class QToolButton;
class QWidget;

namespace wave::form {

// The extras' menu of the window: a small labelled button where no control
// of the table is, and the same menu from the picture's context menu. Its
// items are the model's (window/extras_menu.h), their states the model's
// view; each choice goes back to the model.
class ExtrasMenu : public QObject {
  Q_OBJECT
 public:
  using Choose = std::function<void(window::MenuChoice)>;
  ExtrasMenu(QWidget* window, Choose choose);
  QToolButton* button() const { return button_; }
  QMenu* menu() const { return menu_; }
  // The items' checked states as the model leaves them, and the button's
  // description that tells them.
  void Show(const std::vector<window::FormView::MenuItem>& items,
            const QString& description);
  void PopupAt(QPoint global);

 private:
  QToolButton* button_;
  QMenu* menu_;
  std::map<window::MenuChoice, QAction*> actions_;
};

}  // namespace wave::form
