// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "canvas/screen_mapping.h"
#include "window/form_view.h"

class QAction;
class QKeyEvent;
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
  // The items as the model first lists them: one section per heading.
  ExtrasMenu(QWidget* window,
             const std::vector<window::FormView::MenuItem>& items,
             Choose choose);
  QToolButton* button() const { return button_; }
  QMenu* menu() const { return menu_; }
  // What the button is called.
  void Name(const QString& caption);
  // The items' words and checked states as the model leaves them, and the
  // button's description that tells them.
  void Show(const std::vector<window::FormView::MenuItem>& items,
            const QString& description);
  void PopupAt(QPoint global);
  // The button at its place in the window, next in the Tab order after
  // `after` (if any).
  void Place(const ScreenMapping& mapping, QWidget* after);
  // Shift+F10 opens the menu at the focused control: true when it did.
  bool OfferKey(const QKeyEvent& event);

 private:
  QToolButton* button_;
  QMenu* menu_;
  std::map<window::MenuChoice, QAction*> actions_;
  std::vector<QAction*> sections_;
};

}  // namespace wave::form
