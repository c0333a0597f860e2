#include "hotkeys/KeyChord.h"

#include <string_view>
#include <unordered_map>

#include "platform/Localizer.h"

namespace tessarapane {

namespace {

constexpr std::uint32_t kSpaceKeyCode = 49;

const std::unordered_map<std::uint32_t, std::string_view>& namedKeys() {
  // Key code to text; letters and digits are the ANSI keyboard's positions.
  // Space is localized at lookup time, so it is kept out of this table.
  static const std::unordered_map<std::uint32_t, std::string_view> table = {
      {123, "←"}, {124, "→"}, {125, "↓"}, {126, "↑"}, {36, "↩"},  {53, "⎋"},  {48, "⇥"},
      {51, "⌫"},  {117, "⌦"}, {24, "="},  {27, "-"},  {30, "]"},  {33, "["},  {41, ";"},
      {42, "\\"}, {43, ","},  {44, "/"},  {47, "."},  {50, "`"},  {39, "'"},
      {0, "A"},   {11, "B"},  {8, "C"},   {2, "D"},   {14, "E"},  {3, "F"},   {5, "G"},
      {4, "H"},   {34, "I"},  {38, "J"},  {40, "K"},  {37, "L"},  {46, "M"},  {45, "N"},
      {31, "O"},  {35, "P"},  {12, "Q"},  {15, "R"},  {1, "S"},   {17, "T"},  {32, "U"},
      {9, "V"},   {13, "W"},  {7, "X"},   {16, "Y"},  {6, "Z"},
      {29, "0"},  {18, "1"},  {19, "2"},  {20, "3"},  {21, "4"},  {23, "5"},  {22, "6"},
      {26, "7"},  {28, "8"},  {25, "9"},
  };
  return table;
}

}  // namespace

std::optional<KeyChord> KeyChord::fromEvent(const KeyEvent& event) {
  if (event.type != KeyEvent::Type::keyDown) return std::nullopt;
  std::uint32_t modifiers = 0;
  if (event.modifierFlags & KeyEvent::kControl) modifiers |= kControl;
  if (event.modifierFlags & KeyEvent::kOption) modifiers |= kOption;
  if (event.modifierFlags & KeyEvent::kShift) modifiers |= kShift;
  if (event.modifierFlags & KeyEvent::kCommand) modifiers |= kCommand;
  return KeyChord{event.keyCode, modifiers};
}

std::string KeyChord::displayString() const {
  std::string text;
  if (carbonModifiers & kControl) text += "⌃";
  if (carbonModifiers & kOption) text += "⌥";
  if (carbonModifiers & kShift) text += "⇧";
  if (carbonModifiers & kCommand) text += "⌘";
  return text + keyName(keyCode);
}

std::string KeyChord::keyName(std::uint32_t keyCode) {
  if (keyCode == kSpaceKeyCode) return localized("空格");
  const auto& table = namedKeys();
  if (auto found = table.find(keyCode); found != table.end()) return std::string(found->second);
  return "Key" + std::to_string(keyCode);
}

std::optional<HotKeyAction> KeyChord::conflictingAction(const KeyChord& chord, HotKeyAction excluding,
                                                        const HotKeyBindings& bindings) {
  for (const auto& [action, bound] : bindings) {
    if (action != excluding && bound == chord) return action;
  }
  return std::nullopt;
}

KeyChord KeyChord::defaultChord(HotKeyAction action) {
  switch (action) {
    case HotKeyAction::moveLeft: return {123, kDefaultModifiers};
    case HotKeyAction::moveRight: return {124, kDefaultModifiers};
    case HotKeyAction::moveUp: return {126, kDefaultModifiers};
    case HotKeyAction::moveDown: return {125, kDefaultModifiers};
    case HotKeyAction::fullScreen: return {36, kDefaultModifiers};
  }
  return {};
}

HotKeyBindings KeyChord::defaultBindings() {
  HotKeyBindings bindings;
  for (HotKeyAction action : kAllHotKeyActions) bindings.emplace(action, defaultChord(action));
  return bindings;
}

std::string conflictMessage(HotKeyAction holder) {
  // A translated format may move or drop the placeholder; "%%" is a literal
  // percent sign, as in the platform's format strings.
  const std::string format = localized("快捷键已被「%@」占用");
  const std::string name = title(holder);
  std::string message;
  bool filled = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        message += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == '@' && !filled) {
        message += name;
        filled = true;
        ++i;
        continue;
      }
    }
    message += format[i];
  }
  return message;
}

}  // namespace tessarapane
