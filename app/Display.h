// SPDX-License-Identifier: Apache-2.0
#pragma once

// Without a display to open, Qt's platform plugin ends the process with qFatal (an abort,
// status 134) and a page of advice about reinstalling. This makes it one line and status 1.
namespace display {

// Call first in main, before the QGuiApplication: where the window system is X11 or Wayland
// and nothing names a display at all, this prints the line and exits at once. It also turns a
// fatal error while the application object is being made (a display named but unreachable,
// a missing platform plugin) into the line and status 1. Later messages pass through unchanged.
void exitUnlessOpenable(int argc, char *argv[]);

} // namespace display
