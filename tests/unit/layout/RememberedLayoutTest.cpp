#include "layout/RememberedLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace tessarapane {
namespace {

TEST(RememberedLayoutTest, TheDefaultsKey) { EXPECT_EQ(kRememberedLayoutDefaultsKey, "rememberedLayout"); }

TEST(RememberedLayoutTest, GridAndEveryTabKindRoundTrip) {
  EXPECT_EQ(rawValue(RememberedLayout::grid()), "grid");
  EXPECT_EQ(fromRawValue<RememberedLayout>("grid"), RememberedLayout::grid());
  EXPECT_TRUE(RememberedLayout::grid().isGrid());
  EXPECT_EQ(RememberedLayout::grid().tabsKind(), std::nullopt);

  for (LayoutKind kind : kAllLayoutKinds) {
    const std::string raw = "tabs:" + std::string(rawValue(kind));
    SCOPED_TRACE(raw);
    const RememberedLayout layout = RememberedLayout::tabs(kind);
    EXPECT_FALSE(layout.isGrid());
    EXPECT_EQ(layout.tabsKind(), kind);
    EXPECT_EQ(rawValue(layout), raw);
    EXPECT_EQ(fromRawValue<RememberedLayout>(raw), layout);
    EXPECT_NE(layout, RememberedLayout::grid());
  }
  EXPECT_EQ(fromRawValue<RememberedLayout>("tabs:split4"), RememberedLayout::tabs(LayoutKind::split4));
  EXPECT_NE(RememberedLayout::tabs(LayoutKind::split2), RememberedLayout::tabs(LayoutKind::split3));
}

TEST(RememberedLayoutTest, AnythingElseParsesToNothing) {
  for (const char* bad : {"", "tabs:", "tabs", "tabs:Split4", "tabs:SPLIT4", "Tabs:split4", "TABS:split4", "grid ",
                          " grid", "Grid", "GRID", "tabs:split4 ", " tabs:split4", "tabs: split4", "tabs:grid",
                          "tabs:tabs:split2", "tabssplit2", "split2", "tabs;split2", "grid:split2", "tabs:bento"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(fromRawValue<RememberedLayout>(bad), std::nullopt);
  }
  EXPECT_EQ(fromRawValue<RememberedLayout>(std::string_view("grid\0", 5)), std::nullopt);
  EXPECT_EQ(fromRawValue<RememberedLayout>(std::string_view("tabs:split2\0", 12)), std::nullopt);
}

}  // namespace
}  // namespace tessarapane
