#pragma once

namespace tessarapane::program {

// The tray program on $DISPLAY: the X11 backend on Qt's event loop, the Qt
// user interface, the application delegate, pause notifications over D-Bus
// and the control interface. Returns the process's exit status: 0 after
// SIGTERM, SIGINT, session end or the menu's quit; 1 when the display
// cannot be opened, another instance runs on it, or the X connection was
// lost.
int runTrayProgram(int& argc, char** argv);

}  // namespace tessarapane::program
