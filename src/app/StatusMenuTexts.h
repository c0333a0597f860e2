#pragma once

#include <string>

#include "layout/LayoutKind.h"

namespace tessarapane::StatusMenuTexts {

// "<name>（<n> 格）": the kind's name and its pane count text ("1 格" for
// one pane, "%ld 格" otherwise) in the format "%@（%@）", each localised.
std::string layoutItemTitle(LayoutKind kind);

// The three paragraphs of the notice shown when no system tray shows the icon.
std::string missingTrayMessage();

}  // namespace tessarapane::StatusMenuTexts
