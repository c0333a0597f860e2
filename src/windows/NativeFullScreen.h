#pragma once

#include <vector>

#include "geometry/Rect.h"
#include "platform/WindowServer.h"

namespace tessarapane {

// Whether a window occupies a whole display, judged by geometry alone, so
// windows in the platform's own full-screen mode are left alone.
namespace NativeFullScreen {

// The rectangle of each active display (accessibility space), in the
// platform's order; empty when the displays cannot be read, and on a platform
// that marks full-screen windows itself, where no window is full screen by
// its size alone.
std::vector<Rect> displayBounds(WindowServer& windowServer);

// True when, for some display of positive area, the window's top edge is at
// most 8 points below the display's and window and display cover each other
// by at least 96 % both ways (overlap of the display, and area ratio).
// Never true for a window without positive area.
bool coversDisplay(const Rect& frame, const std::vector<Rect>& displays);

}  // namespace NativeFullScreen

}  // namespace tessarapane
