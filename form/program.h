// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wave::form {

// Starts a one-window program: opens the display (or says in one line why
// it cannot and returns 1), installs the fonts, gives the window the
// program's icon and ties it to its desktop entry `desktopId` (for the task
// bar and the window switcher), shows the window made by `createWindow` and
// runs until it closes. Returns the exit status.
// Options: --version prints the version; --check opens the window, prints
// its title and size (and the scale factor, unless 1) once it is on screen
// and ends (0), a way to see that an installation works.
// The languages the window is to speak, best first: --lang=LANG's, else the
// desktop's (LANGUAGE, then the locale's).
using CreateWindow =
    std::function<std::unique_ptr<QWidget>(const std::vector<std::string>&)>;
int RunProgram(int argc, char** argv, const char* programName,
               const char* desktopId, const CreateWindow& createWindow);

}  // namespace wave::form
