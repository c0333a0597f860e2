// Stored settings that are partly unreadable: what can be read is used, what
// cannot is logged once at launch, and nothing stored is rewritten unasked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppDelegateSim.h"
#include "backends/sim/SimLog.h"

namespace tessarapane {
namespace {

using testing_support::AppDelegateSim;

class StoredSettings : public AppDelegateSim {
 protected:
  void storeBindings(const std::string& text) {
    desktop->userDefaults()->setData("hotKeyBindings", std::vector<std::uint8_t>(text.begin(), text.end()));
    desktop->userDefaults()->setBool("hotKeyBindingsSaved", true);
  }
  std::size_t logged(std::string_view fragment) const { return desktop->log()->count("Settings", fragment); }
  SimHotKeys& keys() { return *desktop->hotKeys(); }
};

TEST_F(StoredSettings, OneBadHotKeyCostsOnlyItselfAndARepeatedChordStaysWithTheEarlierAction) {
  storeBindings(std::string(R"({"moveUp":{"keyCode":123,"carbonModifiers":6144},)"
                            R"("moveRight":{"keyCode":4294967296,"carbonModifiers":6144},)"
                            R"("moveLeft":{"keyCode":123,"carbonModifiers":6144},)"
                            R"("fullScreen":{"keyCode":36,"carbonModifiers":6144}})") +
                std::string(2, '\0'));
  launch();
  const auto registered = keys().registrations();
  EXPECT_EQ(registered.size(), 2u);
  EXPECT_TRUE(keys().isRegistered(123, 6144));
  EXPECT_TRUE(keys().isRegistered(36, 6144));
  EXPECT_EQ(logged("\"moveRight\" is not a key code"), 1u);
  EXPECT_EQ(logged("\"moveUp\" uses the chord of \"moveLeft\""), 1u);
  EXPECT_EQ(logged("NUL bytes"), 1u);
}

TEST_F(StoredSettings, CutShortHotKeysAndAnUnknownLayoutAreLoggedAndLeftStoredAsTheyAre) {
  const std::string cut = R"({"moveLeft":{"keyCode":123,"carbonModifiers":6144},"moveUp":{"keyCo)";
  storeBindings(cut);
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split9");
  open("one", Rect(50, 100, 500, 500));
  launch();
  clock->advance(5.0);
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_FALSE(delegate->layoutCoordinator()->snapshot().isRunning());
  EXPECT_EQ(logged("not valid JSON"), 1u);
  EXPECT_EQ(logged("the remembered layout \"tabs:split9\" is unknown"), 1u);
  EXPECT_EQ(desktop->userDefaults()->dataValue("hotKeyBindings"), std::vector<std::uint8_t>(cut.begin(), cut.end()));
  EXPECT_EQ(remembered(), "tabs:split9");
}

}  // namespace
}  // namespace tessarapane
