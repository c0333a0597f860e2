#pragma once

#include <string>

#include "hotkeys/KeyChord.h"

namespace tessarapane::HeldHotKeysNotice {

// "快捷键已被占用".
std::string title();

// One line per binding the window manager holds ("<chord>（<action>）"),
// between what that means and what the user can do about it.
std::string message(const HotKeyBindings& held);

}  // namespace tessarapane::HeldHotKeysNotice
