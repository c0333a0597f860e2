#include "layout/LayoutKind.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Localizer.h"

namespace tessarapane {
namespace {

TEST(LayoutKindTest, AllKindsInMenuOrderWithRawValuesAndPaneCounts) {
  struct Row {
    LayoutKind kind;
    const char* raw;
    int panes;
    const char* title;
  };
  const Row rows[] = {
      {LayoutKind::fullScreen, "fullScreen", 1, "全屏"},  {LayoutKind::split2, "split2", 2, "左右二分"},
      {LayoutKind::split3, "split3", 3, "左右三等分"},     {LayoutKind::topBottom, "topBottom", 2, "上下二分"},
      {LayoutKind::focusStack, "focusStack", 3, "1+2"},   {LayoutKind::stackFocus, "stackFocus", 3, "2+1"},
      {LayoutKind::split4, "split4", 4, "四等分"},
  };
  ASSERT_EQ(kAllLayoutKinds.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].raw);
    EXPECT_EQ(kAllLayoutKinds[i], rows[i].kind);
    EXPECT_EQ(static_cast<int>(rows[i].kind), static_cast<int>(i));
    EXPECT_EQ(rawValue(rows[i].kind), rows[i].raw);
    EXPECT_EQ(fromRawValue<LayoutKind>(rows[i].raw), rows[i].kind);
    EXPECT_EQ(paneCount(rows[i].kind), rows[i].panes);
    EXPECT_EQ(displayTitle(rows[i].kind), rows[i].title);
  }
}

TEST(LayoutKindTest, RawValuesAreCaseSensitiveAndExact) {
  for (const char* bad : {"", "Split2", "SPLIT2", "fullscreen", "FullScreen", " split2", "split2 ", "split5",
                          "bento", "split2\n"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(fromRawValue<LayoutKind>(bad).has_value());
  }
  EXPECT_FALSE(fromRawValue<LayoutKind>(std::string_view("split2\0", 7)).has_value());
}

class PrefixLocalizer final : public Localizer {
 public:
  std::string localized(std::string_view key) const override { return "T:" + std::string(key); }
};

TEST(LayoutKindTest, DisplayTitleGoesThroughTheLocalizer) {
  localization::install(std::make_shared<PrefixLocalizer>());
  EXPECT_EQ(displayTitle(LayoutKind::focusStack), "T:1+2");
  EXPECT_EQ(displayTitle(LayoutKind::fullScreen), "T:全屏");
  localization::install(nullptr);
  EXPECT_EQ(displayTitle(LayoutKind::fullScreen), "全屏");
}

}  // namespace
}  // namespace tessarapane
