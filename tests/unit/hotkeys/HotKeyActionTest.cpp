#include "hotkeys/HotKeyAction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hotkeys/HotKeySettingsSection.h"

namespace tessarapane {
namespace {

TEST(HotKeyActionTest, FiveActionsInOrderWithRawValuesAndTitles) {
  struct Row {
    HotKeyAction action;
    const char* raw;
    const char* title;
  };
  const Row rows[] = {
      {HotKeyAction::moveLeft, "moveLeft", "移到左侧"},   {HotKeyAction::moveRight, "moveRight", "移到右侧"},
      {HotKeyAction::moveUp, "moveUp", "移到上方"},       {HotKeyAction::moveDown, "moveDown", "移到下方"},
      {HotKeyAction::fullScreen, "fullScreen", "全屏"},
  };
  ASSERT_EQ(kAllHotKeyActions.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].raw);
    EXPECT_EQ(kAllHotKeyActions[i], rows[i].action);
    EXPECT_EQ(ordinal(rows[i].action), static_cast<int>(i));
    EXPECT_EQ(rawValue(rows[i].action), rows[i].raw);
    EXPECT_EQ(fromRawValue<HotKeyAction>(rows[i].raw), rows[i].action);
    EXPECT_EQ(title(rows[i].action), rows[i].title);
  }
}

TEST(HotKeyActionTest, OnlyTheExactRawValuesNameAnAction) {
  for (const char* bad : {"", "MoveLeft", "moveleft", "left", "moveLeft ", " fullScreen", "fullscreen",
                          "moveWindow", "layout", "split2", "moveDiagonal"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(fromRawValue<HotKeyAction>(bad).has_value());
  }
  EXPECT_FALSE(fromRawValue<HotKeyAction>(std::string_view("moveUp\0", 7)).has_value());
}

TEST(HotKeySettingsSectionTest, SectionsGroupMovesApartFromLayouts) {
  ASSERT_EQ(kAllHotKeySettingsSections.size(), 2u);
  EXPECT_EQ(kAllHotKeySettingsSections[0], HotKeySettingsSection::moveWindow);
  EXPECT_EQ(kAllHotKeySettingsSections[1], HotKeySettingsSection::layout);

  EXPECT_EQ(rawValue(HotKeySettingsSection::moveWindow), "moveWindow");
  EXPECT_EQ(rawValue(HotKeySettingsSection::layout), "layout");
  EXPECT_EQ(fromRawValue<HotKeySettingsSection>("layout"), HotKeySettingsSection::layout);
  EXPECT_EQ(fromRawValue<HotKeySettingsSection>("moveWindow"), HotKeySettingsSection::moveWindow);
  EXPECT_FALSE(fromRawValue<HotKeySettingsSection>("Layout").has_value());
  EXPECT_FALSE(fromRawValue<HotKeySettingsSection>("moveLeft").has_value());

  EXPECT_EQ(title(HotKeySettingsSection::moveWindow), "移动窗口");
  EXPECT_EQ(title(HotKeySettingsSection::layout), "布局");

  const std::vector<HotKeyAction> moves = {HotKeyAction::moveLeft, HotKeyAction::moveRight, HotKeyAction::moveUp,
                                           HotKeyAction::moveDown};
  EXPECT_EQ(actions(HotKeySettingsSection::moveWindow), moves);
  EXPECT_EQ(actions(HotKeySettingsSection::layout), std::vector<HotKeyAction>{HotKeyAction::fullScreen});
}

}  // namespace
}  // namespace tessarapane
