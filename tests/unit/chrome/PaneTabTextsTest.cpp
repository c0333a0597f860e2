#include "chrome/ApplicationIconCache.h"
#include "chrome/PaneTabTexts.h"
#include "platform/Localizer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tessarapane {
namespace {

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

struct LocalizerGuard {
  ~LocalizerGuard() { localization::install(nullptr); }
};

TEST(PaneTabTexts, ChineseTextsAndCounts) {
  EXPECT_EQ(PaneTabTexts::closeButtonDescription(), "关闭窗口");
  EXPECT_EQ(PaneTabTexts::overflowTitle(1), "+1");
  EXPECT_EQ(PaneTabTexts::overflowTitle(12), "+12");
  EXPECT_EQ(PaneTabTexts::overflowToolTip(1), "还有 1 个窗口");
  EXPECT_EQ(PaneTabTexts::overflowToolTip(2), "还有 2 个窗口");
  EXPECT_EQ(PaneTabTexts::overflowToolTip(0), "还有 0 个窗口");
}

TEST(PaneTabTexts, TranslationsAreLookedUpByTheChineseKey) {
  LocalizerGuard guard;
  localization::install(std::make_shared<TableLocalizer>(std::map<std::string, std::string, std::less<>>{
      {"关闭窗口", "Close Window"},
      {"还有 1 个窗口", "1 more window"},
      {"还有 %ld 个窗口", "%ld more windows (%ld)"},
  }));
  EXPECT_EQ(PaneTabTexts::closeButtonDescription(), "Close Window");
  EXPECT_EQ(PaneTabTexts::overflowToolTip(1), "1 more window");
  // Only the first placeholder is filled; the rest stays as the translator wrote it.
  EXPECT_EQ(PaneTabTexts::overflowToolTip(7), "7 more windows (%ld)");
}

TEST(ApplicationIconCache, CachesFoundIconsAndAsksAgainForMissingOnes) {
  ApplicationIconCache<std::string> cache;
  std::map<ProcessID, int> asked;
  std::map<ProcessID, std::string> running{{100, "terminal"}};
  auto load = [&](ProcessID pid) -> std::optional<std::string> {
    ++asked[pid];
    const auto found = running.find(pid);
    if (found == running.end()) return std::nullopt;
    return found->second;
  };

  EXPECT_EQ(cache.icon(100, load), "terminal");
  running[100] = "changed";
  EXPECT_EQ(cache.icon(100, load), "terminal");  // one image per process, never reloaded
  EXPECT_EQ(asked[100], 1);

  EXPECT_EQ(cache.icon(200, load), std::nullopt);
  EXPECT_EQ(cache.icon(200, load), std::nullopt);
  EXPECT_EQ(asked[200], 2);
  running[200] = "editor";  // launched after all
  EXPECT_EQ(cache.icon(200, load), "editor");
  EXPECT_EQ(cache.size(), 2u);
}

}  // namespace
}  // namespace tessarapane
