#include "hotkeys/KeyChord.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <unordered_set>

#include "hotkeys/HotKeySettingsSection.h"
#include "platform/Localizer.h"

namespace tessarapane {
namespace {

constexpr std::uint32_t kCtrlOpt = 0x1800;

KeyEvent keyDown(std::uint16_t keyCode, std::uint64_t flags) {
  KeyEvent event;
  event.type = KeyEvent::Type::keyDown;
  event.keyCode = keyCode;
  event.modifierFlags = flags;
  return event;
}

TEST(KeyChordTest, ModifierBitsAndDefaultsAreTheRegistrationLayout) {
  EXPECT_EQ(KeyChord::kCommand, 0x0100u);
  EXPECT_EQ(KeyChord::kShift, 0x0200u);
  EXPECT_EQ(KeyChord::kOption, 0x0800u);
  EXPECT_EQ(KeyChord::kControl, 0x1000u);

  const HotKeyBindings defaults = KeyChord::defaultBindings();
  const HotKeyBindings expected = {
      {HotKeyAction::moveLeft, {123, 6144}}, {HotKeyAction::moveRight, {124, 6144}},
      {HotKeyAction::moveUp, {126, 6144}},   {HotKeyAction::moveDown, {125, 6144}},
      {HotKeyAction::fullScreen, {36, 6144}},
  };
  EXPECT_EQ(defaults, expected);
  EXPECT_EQ(defaults.at(HotKeyAction::moveLeft).displayString(), "⌃⌥←");
  EXPECT_EQ(defaults.at(HotKeyAction::moveRight).displayString(), "⌃⌥→");
  EXPECT_EQ(defaults.at(HotKeyAction::moveUp).displayString(), "⌃⌥↑");
  EXPECT_EQ(defaults.at(HotKeyAction::moveDown).displayString(), "⌃⌥↓");
  EXPECT_EQ(defaults.at(HotKeyAction::fullScreen).displayString(), "⌃⌥↩");
}

TEST(KeyChordTest, FromEventKeepsOnlyTheFourModifiersOfKeyDowns) {
  EXPECT_EQ(KeyChord::fromEvent(keyDown(123, KeyEvent::kControl | KeyEvent::kOption)), (KeyChord{123, kCtrlOpt}));
  EXPECT_EQ(KeyChord::fromEvent(keyDown(0, KeyEvent::kShift | KeyEvent::kCommand)), (KeyChord{0, 0x0300}));
  EXPECT_EQ(KeyChord::fromEvent(keyDown(12, 0)), (KeyChord{12, 0}));

  // Caps Lock, Function, keypad and help never leak into the chord.
  EXPECT_EQ(KeyChord::fromEvent(keyDown(1, KeyEvent::kCapsLock | KeyEvent::kControl)), (KeyChord{1, 0x1000}));
  const std::uint64_t noise = KeyEvent::kCapsLock | KeyEvent::kFunction | KeyEvent::kNumericPad | KeyEvent::kHelp |
                              (1ULL << 8) | (1ULL << 40);
  EXPECT_EQ(KeyChord::fromEvent(keyDown(96, noise)), (KeyChord{96, 0}));
  const std::uint64_t all = noise | KeyEvent::kControl | KeyEvent::kOption | KeyEvent::kShift | KeyEvent::kCommand;
  EXPECT_EQ(KeyChord::fromEvent(keyDown(0xFFFF, all)), (KeyChord{0xFFFF, 0x1B00}));

  KeyEvent up = keyDown(123, KeyEvent::kControl | KeyEvent::kOption);
  up.type = KeyEvent::Type::keyUp;
  EXPECT_FALSE(KeyChord::fromEvent(up).has_value());
  up.type = KeyEvent::Type::flagsChanged;
  EXPECT_FALSE(KeyChord::fromEvent(up).has_value());
}

TEST(KeyChordTest, DisplayStringOrdersModifiersAndNamesKeys) {
  EXPECT_EQ((KeyChord{0, 0}).displayString(), "A");
  EXPECT_EQ((KeyChord{49, 0x1B00}).displayString(), "⌃⌥⇧⌘空格");
  EXPECT_EQ((KeyChord{96, KeyChord::kCommand}).displayString(), "⌘Key96");
  EXPECT_EQ((KeyChord{6, KeyChord::kCommand | KeyChord::kShift}).displayString(), "⇧⌘Z");
  EXPECT_EQ((KeyChord{29, KeyChord::kOption | KeyChord::kShift}).displayString(), "⌥⇧0");
  // Bits other than the four are not shown.
  EXPECT_EQ((KeyChord{36, 0x00FF | 0x0400 | 0x2000}).displayString(), "↩");
}

TEST(KeyChordTest, KeyNamesFollowTheTableAndFallBackToTheCode) {
  const std::pair<std::uint32_t, const char*> named[] = {
      {123, "←"}, {124, "→"}, {125, "↓"}, {126, "↑"}, {36, "↩"}, {53, "⎋"}, {48, "⇥"}, {51, "⌫"}, {117, "⌦"},
      {24, "="},  {27, "-"},  {30, "]"},  {33, "["},  {41, ";"}, {42, "\\"}, {43, ","}, {44, "/"}, {47, "."},
      {50, "`"},  {39, "'"},  {49, "空格"},
  };
  for (const auto& [code, text] : named) EXPECT_EQ(KeyChord::keyName(code), text) << code;

  const std::uint32_t letterCodes[26] = {0,  11, 8,  2,  14, 3,  5,  4,  34, 38, 40, 37, 46,
                                         45, 31, 35, 12, 15, 1,  17, 32, 9,  13, 7,  16, 6};
  for (int i = 0; i < 26; ++i) EXPECT_EQ(KeyChord::keyName(letterCodes[i]), std::string(1, char('A' + i)));
  const std::uint32_t digitCodes[10] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(KeyChord::keyName(digitCodes[i]), std::string(1, char('0' + i)));

  // Function keys, keypad and codes beyond any keyboard.
  EXPECT_EQ(KeyChord::keyName(122), "Key122");
  EXPECT_EQ(KeyChord::keyName(10), "Key10");
  EXPECT_EQ(KeyChord::keyName(82), "Key82");
  EXPECT_EQ(KeyChord::keyName(127), "Key127");
  EXPECT_EQ(KeyChord::keyName(4294967295u), "Key4294967295");
}

class PrefixLocalizer final : public Localizer {
 public:
  std::string localized(std::string_view key) const override { return "T:" + std::string(key); }
};

TEST(KeyChordTest, SpaceAndConflictMessageAreLocalized) {
  EXPECT_EQ(conflictMessage(HotKeyAction::moveLeft), "快捷键已被「移到左侧」占用");
  EXPECT_EQ(conflictMessage(HotKeyAction::fullScreen), "快捷键已被「全屏」占用");

  localization::install(std::make_shared<PrefixLocalizer>());
  EXPECT_EQ(KeyChord::keyName(49), "T:空格");
  EXPECT_EQ(KeyChord::keyName(0), "A");  // letters are not looked up
  EXPECT_EQ(conflictMessage(HotKeyAction::moveUp), "T:快捷键已被「T:移到上方」占用");
  EXPECT_EQ(title(HotKeySettingsSection::layout), "T:布局");
  localization::install(nullptr);
}

class FormatLocalizer final : public Localizer {
 public:
  std::string localized(std::string_view key) const override {
    if (key == "快捷键已被「%@」占用") return "100%% taken by %@ (%@)";
    return "Move up";
  }
};

TEST(KeyChordTest, ConflictMessageFillsOnlyTheFirstPlaceholder) {
  localization::install(std::make_shared<FormatLocalizer>());
  EXPECT_EQ(conflictMessage(HotKeyAction::moveUp), "100% taken by Move up (%@)");
  localization::install(nullptr);
}

TEST(KeyChordTest, ConflictingActionSkipsTheExcludedAction) {
  HotKeyBindings bindings = KeyChord::defaultBindings();
  const KeyChord left{123, kCtrlOpt};

  EXPECT_EQ(KeyChord::conflictingAction(left, HotKeyAction::moveUp, bindings), HotKeyAction::moveLeft);
  // The action's own chord is never a conflict.
  EXPECT_FALSE(KeyChord::conflictingAction(left, HotKeyAction::moveLeft, bindings).has_value());
  // Both fields must match.
  EXPECT_FALSE(KeyChord::conflictingAction({123, 0x1000}, HotKeyAction::moveUp, bindings).has_value());
  EXPECT_FALSE(KeyChord::conflictingAction({122, kCtrlOpt}, HotKeyAction::moveUp, bindings).has_value());
  EXPECT_FALSE(KeyChord::conflictingAction(left, HotKeyAction::moveUp, {}).has_value());

  // With a duplicate already present (loaded data is not checked), the first
  // in map order other than the excluded one wins.
  bindings[HotKeyAction::fullScreen] = left;
  EXPECT_EQ(KeyChord::conflictingAction(left, HotKeyAction::moveDown, bindings), HotKeyAction::moveLeft);
  EXPECT_EQ(KeyChord::conflictingAction(left, HotKeyAction::moveLeft, bindings), HotKeyAction::fullScreen);
}

TEST(KeyChordTest, EqualityAndHashUseBothFields) {
  std::unordered_set<KeyChord> set;
  set.insert({123, kCtrlOpt});
  set.insert({123, kCtrlOpt});
  set.insert({kCtrlOpt, 123});  // swapped fields are a different chord
  set.insert({123, 0});
  set.insert({0, 123});
  EXPECT_EQ(set.size(), 4u);
  EXPECT_TRUE(set.contains(KeyChord{123, kCtrlOpt}));
  EXPECT_FALSE(set.contains(KeyChord{124, kCtrlOpt}));
  EXPECT_NE((KeyChord{1, 2}), (KeyChord{2, 1}));
  EXPECT_NE(std::hash<KeyChord>{}({1, 2}), std::hash<KeyChord>{}({2, 1}));
}

}  // namespace
}  // namespace tessarapane
