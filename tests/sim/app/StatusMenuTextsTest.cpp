#include "app/StatusMenuTexts.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "app/TextFormat.h"
#include "platform/Localizer.h"

namespace tessarapane {
namespace {

// Translates the keys it knows, and restores the identity localizer after.
class TableLocalizer final : public Localizer {
 public:
  explicit TableLocalizer(std::map<std::string, std::string, std::less<>> table) : table_(std::move(table)) {}
  std::string localized(std::string_view key) const override {
    const auto found = table_.find(key);
    return found == table_.end() ? std::string(key) : found->second;
  }

 private:
  std::map<std::string, std::string, std::less<>> table_;
};

class StatusMenuTextsTest : public ::testing::Test {
 protected:
  void TearDown() override { localization::install(nullptr); }
};

TEST_F(StatusMenuTextsTest, FormatsFillConversionsInTurnOrByPosition) {
  EXPECT_EQ(TextFormat::format("%@（%@）", {"全屏", "1 格"}), "全屏（1 格）");
  EXPECT_EQ(TextFormat::format("%ld 格", {"3"}), "3 格");
  EXPECT_EQ(TextFormat::format("%2$@ / %1$@", {"a", "b"}), "b / a");
  EXPECT_EQ(TextFormat::format("%1$ld%% of %2$@", {"50", "x"}), "50% of x");
  // Missing arguments and unknown conversions stay as written.
  EXPECT_EQ(TextFormat::format("%@ and %@", {"one"}), "one and %@");
  EXPECT_EQ(TextFormat::format("%3$@ %d %", {"a"}), "%3$@ %d %");
  EXPECT_EQ(TextFormat::format("%0$@", {"a"}), "%0$@");
  EXPECT_EQ(TextFormat::format("", {"a"}), "");
}

TEST_F(StatusMenuTextsTest, LayoutTitlesLookUpFormatNameAndCount) {
  localization::install(std::make_shared<TableLocalizer>(std::map<std::string, std::string, std::less<>>{
      {"%@（%@）", "%2$@: %1$@"},
      {"1 格", "one pane"},
      {"%ld 格", "%ld panes"},
      {"左右二分", "Halves"},
  }));
  EXPECT_EQ(StatusMenuTexts::layoutItemTitle(LayoutKind::fullScreen), "one pane: 全屏");
  EXPECT_EQ(StatusMenuTexts::layoutItemTitle(LayoutKind::split2), "2 panes: Halves");
  EXPECT_EQ(StatusMenuTexts::layoutItemTitle(LayoutKind::split4), "4 panes: 四等分");
}

}  // namespace
}  // namespace tessarapane
