#include "text/EnglishTexts.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

namespace tessarapane {
namespace {

TEST(EnglishTextsTest, TheLocaleVariablesChooseInPosixOrder) {
  using Env = std::map<std::string, std::string>;
  const std::vector<std::pair<Env, Language>> cases = {
      {{}, Language::english},
      {{{"LANG", "zh_CN.UTF-8"}}, Language::chinese},
      {{{"LANG", "zh_TW"}, {"LC_MESSAGES", ""}}, Language::chinese},
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}, Language::english},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "zh_CN.UTF-8"}}, Language::chinese},
      {{{"LC_ALL", "C"}, {"LC_MESSAGES", "zh_CN.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, Language::english},
      {{{"LC_ALL", "zh_HK.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, Language::chinese},
      {{{"LANG", "POSIX"}}, Language::english},
      {{{"LANG", "de_DE"}}, Language::english},
  };
  for (std::size_t index = 0; index < cases.size(); ++index) {
    const Env& env = cases[index].first;
    const Language chosen = chooseLanguage([&env](const char* name) -> const char* {
      const auto found = env.find(name);
      return found == env.end() ? nullptr : found->second.c_str();
    });
    EXPECT_EQ(chosen, cases[index].second) << "case " << index;
  }
}

// The formats fill their placeholders in order, so a translation must keep them in the same order.
TEST(EnglishTextsTest, EveryTranslationKeepsThePlaceholdersAndMissingKeysAreShownOnce) {
  const std::regex placeholder("%(@|ld|%)");
  const auto placeholders = [&](std::string_view text) {
    std::vector<std::string> found;
    for (std::cregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it) found.push_back(it->str());
    return found;
  };
  int formats = 0;
  for (const auto& [key, english] : EnglishTexts::table()) {
    EXPECT_EQ(placeholders(english), placeholders(key)) << key;
    EXPECT_FALSE(english.empty()) << key;
    formats += placeholders(key).empty() ? 0 : 1;
  }
  EXPECT_EQ(formats, 9) << "%@（%@）, %ld 格, the dialog message, the conflict, the hidden-window count, the window "
                           "manager ready, lacking or tiling, and the help address";

  struct Lines final : Log {
    void write(std::string_view subsystem, std::string_view category, std::string_view text) override {
      lines.push_back(std::string(subsystem) + " [" + std::string(category) + "] " + std::string(text));
    }
    std::vector<std::string> lines;
  };
  auto log = std::make_shared<Lines>();
  const auto localizer = std::dynamic_pointer_cast<const TableLocalizer>(makeLocalizer(Language::english, log, "sub"));
  ASSERT_TRUE(localizer);
  EXPECT_EQ(localizer->localized("%@（%@）") + localizer->localized("快捷键设置…"), "%@ (%@)Keyboard Shortcuts…");
  EXPECT_EQ(localizer->localized("新的") + localizer->localized("新的"), "新的新的");
  EXPECT_EQ(log->lines, std::vector<std::string>{"sub [Localization] no English text for \"新的\""});
  EXPECT_EQ(localizer->missingKeys(), std::set<std::string>{"新的"});
  EXPECT_EQ(makeLocalizer(Language::chinese)->localized("快捷键设置…"), "快捷键设置…");
}

}  // namespace
}  // namespace tessarapane
