// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "window/form_model.h"

namespace wave::web {

// What the page and the form model say to each other, as text: the page
// builds its controls from ControlsJson and hands every event over as one
// line; the answer is the view's changed parts as JSON. The page shows
// what it is told and decides nothing.
//
// Events, one per line, numbers in CSS pixels:
//   load LANGUAGES FRAGMENT  (the browser's, "en-US,en", or - for none)
//   click ID                 tick
//   type ID TEXT             speed MS            resize WIDTH HEIGHT RATIO
//   press X Y                drag X Y            release        cancel
//   key NAME SHIFT OTHER FOCUS   (FOCUS a control's ID, or -1)
//   readout WIDTH HEIGHT     sound 0|1  (whether the page can play the tone)
//   choose NAME              (an item of the extras' menu)
// An ID is the number the table gives a control. A line that is none of
// these changes nothing.
std::string ControlsJson(const window::FormModel& model);
std::string Dispatch(window::FormModel& model, std::string_view event);

// The graph's traces, A's, B's and the sum one after another, for the page
// to read from memory when the view says the graph changed.
void PackGraph(const window::FormView::Graph& graph, std::vector<float>& out);

// A text as a JSON string.
std::string Quoted(std::string_view text);

}  // namespace wave::web
