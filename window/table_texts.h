// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "controls/control_table.h"
#include "scene/wave_scene.h"

namespace wave::window {

// Which of a row's texts a catalog translates. A box's caption is its
// value and no text; a label's, a button's are.
enum class TableField { kCaption, kAccessibleName, kDescription };

// Each text of an edition's table with its context in the catalogs:
// "Command1.caption" for a row both editions share, "sarvel11.Label7.caption"
// for an edition's own, "sarvel11.name" for what the window is called.
// `body(context, source, row, field)`; row is null for the window's name.
template <class Body>
void ForEachTableText(Edition edition, const form::FormLayout& layout,
                      Body body) {
  const std::string program = edition == Edition::Full ? "sarvel11" : "sarvel6";
  body(program + ".name", layout.accessibleName,
       static_cast<const form::ControlRow*>(nullptr),
       TableField::kAccessibleName);
  for (const bool own : {false, true}) {
    for (const form::ControlRow& row :
         own ? layout.ownControls : form::kSharedControls) {
      const std::string prefix =
          (own ? program + "." : std::string()) + std::string(row.name);
      if (row.kind != form::ControlKind::TextBox && !row.caption.empty()) {
        body(prefix + ".caption", row.caption, &row, TableField::kCaption);
      }
      if (!row.accessibleName.empty()) {
        body(prefix + ".name", row.accessibleName, &row,
             TableField::kAccessibleName);
      }
      if (!row.description.empty()) {
        body(prefix + ".description", row.description, &row,
             TableField::kDescription);
      }
    }
  }
}

}  // namespace wave::window
