#include "ui/services/QtKeyMapping.h"

#include <QKeyEvent>

#include <unordered_map>

namespace tessarapane::ui::QtKeyMapping {

namespace {

const std::unordered_map<int, std::uint16_t>& mainKeys() {
  static const std::unordered_map<int, std::uint16_t> table = {
      {Qt::Key_A, 0},   {Qt::Key_S, 1},   {Qt::Key_D, 2},   {Qt::Key_F, 3},   {Qt::Key_H, 4},   {Qt::Key_G, 5},
      {Qt::Key_Z, 6},   {Qt::Key_X, 7},   {Qt::Key_C, 8},   {Qt::Key_V, 9},   {Qt::Key_B, 11},  {Qt::Key_Q, 12},
      {Qt::Key_W, 13},  {Qt::Key_E, 14},  {Qt::Key_R, 15},  {Qt::Key_Y, 16},  {Qt::Key_T, 17},  {Qt::Key_O, 31},
      {Qt::Key_U, 32},  {Qt::Key_I, 34},  {Qt::Key_P, 35},  {Qt::Key_L, 37},  {Qt::Key_J, 38},  {Qt::Key_K, 40},
      {Qt::Key_N, 45},  {Qt::Key_M, 46},
      {Qt::Key_1, 18},  {Qt::Key_2, 19},  {Qt::Key_3, 20},  {Qt::Key_4, 21},  {Qt::Key_6, 22},  {Qt::Key_5, 23},
      {Qt::Key_9, 25},  {Qt::Key_7, 26},  {Qt::Key_8, 28},  {Qt::Key_0, 29},
      {Qt::Key_Equal, 24}, {Qt::Key_Minus, 27}, {Qt::Key_BracketRight, 30}, {Qt::Key_BracketLeft, 33},
      {Qt::Key_Apostrophe, 39}, {Qt::Key_Semicolon, 41}, {Qt::Key_Backslash, 42}, {Qt::Key_Comma, 43},
      {Qt::Key_Slash, 44}, {Qt::Key_Period, 47}, {Qt::Key_QuoteLeft, 50},
      // The same keys with Shift held.
      {Qt::Key_Exclam, 18}, {Qt::Key_At, 19}, {Qt::Key_NumberSign, 20}, {Qt::Key_Dollar, 21},
      {Qt::Key_AsciiCircum, 22}, {Qt::Key_Percent, 23}, {Qt::Key_Plus, 24}, {Qt::Key_ParenLeft, 25},
      {Qt::Key_Ampersand, 26}, {Qt::Key_Underscore, 27}, {Qt::Key_Asterisk, 28}, {Qt::Key_ParenRight, 29},
      {Qt::Key_BraceRight, 30}, {Qt::Key_BraceLeft, 33}, {Qt::Key_QuoteDbl, 39}, {Qt::Key_Colon, 41},
      {Qt::Key_Bar, 42}, {Qt::Key_Less, 43}, {Qt::Key_Question, 44}, {Qt::Key_Greater, 47},
      {Qt::Key_AsciiTilde, 50},
      {Qt::Key_Return, 36}, {Qt::Key_Tab, 48}, {Qt::Key_Backtab, 48}, {Qt::Key_Space, 49},
      {Qt::Key_Backspace, 51}, {Qt::Key_Escape, 53}, {Qt::Key_Enter, 76},
      {Qt::Key_F1, 122}, {Qt::Key_F2, 120}, {Qt::Key_F3, 99},  {Qt::Key_F4, 118}, {Qt::Key_F5, 96},
      {Qt::Key_F6, 97},  {Qt::Key_F7, 98},  {Qt::Key_F8, 100}, {Qt::Key_F9, 101}, {Qt::Key_F10, 109},
      {Qt::Key_F11, 103}, {Qt::Key_F12, 111}, {Qt::Key_F13, 105}, {Qt::Key_F14, 107}, {Qt::Key_F15, 113},
      {Qt::Key_Help, 114}, {Qt::Key_Insert, 114}, {Qt::Key_Home, 115}, {Qt::Key_PageUp, 116},
      {Qt::Key_Delete, 117}, {Qt::Key_End, 119}, {Qt::Key_PageDown, 121},
      {Qt::Key_Left, 123}, {Qt::Key_Right, 124}, {Qt::Key_Down, 125}, {Qt::Key_Up, 126},
  };
  return table;
}

const std::unordered_map<int, std::uint16_t>& keypadKeys() {
  static const std::unordered_map<int, std::uint16_t> table = {
      {Qt::Key_Period, 65}, {Qt::Key_Asterisk, 67}, {Qt::Key_Plus, 69}, {Qt::Key_Clear, 71},
      {Qt::Key_Slash, 75},  {Qt::Key_Enter, 76},    {Qt::Key_Minus, 78}, {Qt::Key_Equal, 81},
      {Qt::Key_0, 82}, {Qt::Key_1, 83}, {Qt::Key_2, 84}, {Qt::Key_3, 85}, {Qt::Key_4, 86},
      {Qt::Key_5, 87}, {Qt::Key_6, 88}, {Qt::Key_7, 89}, {Qt::Key_8, 91}, {Qt::Key_9, 92},
  };
  return table;
}

}  // namespace

std::optional<std::uint16_t> virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (modifiers.testFlag(Qt::KeypadModifier)) {
    if (const auto found = keypadKeys().find(qtKey); found != keypadKeys().end()) return found->second;
  }
  if (const auto found = mainKeys().find(qtKey); found != mainKeys().end()) return found->second;
  return std::nullopt;
}

std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers) {
  std::uint64_t flags = 0;
  if (modifiers.testFlag(Qt::ShiftModifier)) flags |= KeyEvent::kShift;
  if (modifiers.testFlag(Qt::ControlModifier)) flags |= KeyEvent::kControl;
  if (modifiers.testFlag(Qt::AltModifier)) flags |= KeyEvent::kOption;
  if (modifiers.testFlag(Qt::MetaModifier)) flags |= KeyEvent::kCommand;
  if (modifiers.testFlag(Qt::KeypadModifier)) flags |= KeyEvent::kNumericPad;
  return flags;
}

std::optional<KeyEvent> keyDown(const QKeyEvent& event) {
  if (event.type() != QEvent::KeyPress) return std::nullopt;
  const std::optional<std::uint16_t> code = virtualKeyCode(event.key(), event.modifiers());
  if (!code) return std::nullopt;
  KeyEvent result;
  result.type = KeyEvent::Type::keyDown;
  result.keyCode = *code;
  result.modifierFlags = modifierFlags(event.modifiers());
  result.isRepeat = event.isAutoRepeat();
  return result;
}

}  // namespace tessarapane::ui::QtKeyMapping
