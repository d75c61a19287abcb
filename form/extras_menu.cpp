// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/extras_menu.h"

#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace wave::form {

ExtrasMenu::ExtrasMenu(QWidget* window, Choose choose)
    : QObject(window),
      button_(new QToolButton(window)),
      menu_(new QMenu(window)) {
  const QString caption = QString::fromUtf8(window::kMenuCaption);
  button_->setObjectName(QStringLiteral("menuButton"));
  button_->setText(caption);
  button_->setAccessibleName(caption);
  button_->setMenu(menu_);
  button_->setPopupMode(QToolButton::InstantPopup);
  button_->setFocusPolicy(Qt::StrongFocus);
  menu_->setObjectName(QStringLiteral("extrasMenu"));
  menu_->setTitle(caption);
  QString group;
  QActionGroup* exclusive = nullptr;
  for (const window::MenuRow& item : window::kMenuRows) {
    const QString heading = QString::fromUtf8(item.group);
    if (heading != group || exclusive == nullptr) {
      menu_->addSection(heading);
      exclusive = new QActionGroup(menu_);
      group = heading;
    }
    QAction* action = menu_->addAction(QString::fromUtf8(item.caption));
    action->setObjectName(QString::fromUtf8(item.name));
    action->setCheckable(true);
    if (!item.toggle) exclusive->addAction(action);
    const window::MenuChoice id = item.id;
    connect(action, &QAction::triggered, this, [choose, id] { choose(id); });
    actions_.emplace(id, action);
  }
}

void ExtrasMenu::Show(const std::vector<window::FormView::MenuItem>& items,
                      const QString& description) {
  if (button_->accessibleDescription() != description) {
    button_->setAccessibleDescription(description);
  }
  for (const window::FormView::MenuItem& item : items) {
    const auto found = actions_.find(item.id);
    if (found == actions_.end()) continue;
    QAction* action = found->second;
    if (action->isChecked() != item.checked) action->setChecked(item.checked);
    action->setEnabled(item.enabled);
    action->setText(QString::fromStdString(item.caption));
  }
}

void ExtrasMenu::PopupAt(QPoint global) { menu_->popup(global); }

void ExtrasMenu::Place(const ScreenMapping& mapping, QWidget* after) {
  const window::MenuPlace& at = window::kMenuPlace;
  button_->setGeometry(mapping.ToPixels(at.left), mapping.ToPixels(at.top),
                       mapping.ToPixels(at.width), mapping.ToPixels(at.height));
  if (after != nullptr) QWidget::setTabOrder(after, button_);
}

bool ExtrasMenu::OfferKey(const QKeyEvent& event) {
  if (event.key() != Qt::Key_F10 || event.modifiers() != Qt::ShiftModifier) {
    return false;
  }
  const QWidget* at = QApplication::focusWidget();
  if (at == nullptr) at = button_->window();
  PopupAt(at->mapToGlobal(at->rect().center()));
  return true;
}

}  // namespace wave::form
