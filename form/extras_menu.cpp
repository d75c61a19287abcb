// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/extras_menu.h"

#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace wave::form {

ExtrasMenu::ExtrasMenu(QWidget* window,
                       const std::vector<window::FormView::MenuItem>& items,
                       Choose choose)
    : QObject(window),
      button_(new QToolButton(window)),
      menu_(new QMenu(window)) {
  button_->setObjectName(QStringLiteral("menuButton"));
  button_->setMenu(menu_);
  button_->setPopupMode(QToolButton::InstantPopup);
  button_->setFocusPolicy(Qt::StrongFocus);
  menu_->setObjectName(QStringLiteral("extrasMenu"));
  QString group;
  QActionGroup* exclusive = nullptr;
  for (const window::FormView::MenuItem& item : items) {
    const QString heading = QString::fromStdString(item.group);
    if (heading != group || exclusive == nullptr) {
      sections_.push_back(menu_->addSection(heading));
      exclusive = new QActionGroup(menu_);
      group = heading;
    }
    QAction* action = menu_->addAction(QString::fromStdString(item.caption));
    action->setObjectName(QString::fromStdString(item.name));
    action->setCheckable(true);
    if (!item.toggle) exclusive->addAction(action);
    const window::MenuChoice id = item.id;
    connect(action, &QAction::triggered, this, [choose, id] { choose(id); });
    actions_.emplace(id, action);
  }
}

void ExtrasMenu::Name(const QString& caption) {
  button_->setText(caption);
  button_->setAccessibleName(caption);
  menu_->setTitle(caption);
}

void ExtrasMenu::Show(const std::vector<window::FormView::MenuItem>& items,
                      const QString& description) {
  if (button_->accessibleDescription() != description) {
    button_->setAccessibleDescription(description);
  }
  std::size_t section = 0;
  std::string group;
  for (const window::FormView::MenuItem& item : items) {
    if (item.group != group && section < sections_.size()) {
      sections_[section++]->setText(QString::fromStdString(item.group));
      group = item.group;
    }
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
