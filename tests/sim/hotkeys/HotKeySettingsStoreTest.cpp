#include "hotkeys/HotKeySettingsStore.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "HotKeysSimFixture.h"
#include "hotkeys/HotKeyBindingsCoding.h"

namespace tessarapane {
namespace {

using testing_support::HotKeysTest;
using testing_support::kCtrlOpt;
using testing_support::kKeyA;
using testing_support::kKeyLeft;

class HotKeySettingsStoreTest : public HotKeysTest {
 protected:
  std::shared_ptr<HotKeySettingsStore> makeStore() {
    return std::make_shared<HotKeySettingsStore>(desktop->userDefaults());
  }

  void storeText(std::string_view text, bool saved = true) {
    defaults().setData(HotKeySettingsStore::kBindingsKey, std::vector<std::uint8_t>(text.begin(), text.end()));
    defaults().setBool(HotKeySettingsStore::kSavedKey, saved);
  }

  std::optional<HotKeyBindings> stored() {
    const auto data = defaults().dataValue("hotKeyBindings");
    if (!data) return std::nullopt;
    return HotKeyBindingsCoding::decode(*data);
  }
};

TEST_F(HotKeySettingsStoreTest, FreshInstallationUsesTheDefaultsAndWritesNothing) {
  const auto store = makeStore();
  EXPECT_EQ(store->chord(HotKeyAction::moveLeft), (KeyChord{123, 6144}));
  EXPECT_EQ(store->bindings(), KeyChord::defaultBindings());
  EXPECT_EQ(defaults().writeCount(), 0u);
  EXPECT_FALSE(defaults().contains("hotKeyBindings"));
  EXPECT_FALSE(defaults().contains("hotKeyBindingsSaved"));
}

TEST_F(HotKeySettingsStoreTest, TheFirstChangeWritesTheWholeMapAndReportsIt) {
  const auto store = makeStore();
  std::vector<HotKeyBindings> reported;
  int observed = 0;
  store->onChange = [&](const HotKeyBindings& bindings) { reported.push_back(bindings); };
  auto observation = store->observe([&] { ++observed; });

  const KeyChord chord{kKeyA, KeyChord::kControl};
  EXPECT_FALSE(store->setChord(chord, HotKeyAction::moveUp).has_value());

  HotKeyBindings expected = KeyChord::defaultBindings();
  expected[HotKeyAction::moveUp] = chord;
  EXPECT_EQ(store->bindings(), expected);
  EXPECT_EQ(stored(), expected);
  EXPECT_EQ(defaults().boolValue("hotKeyBindingsSaved"), std::optional<bool>(true));
  EXPECT_EQ(reported, std::vector<HotKeyBindings>{expected});
  EXPECT_EQ(observed, 1);

  // A relaunch reads what was written.
  EXPECT_EQ(makeStore()->bindings(), expected);

  // A cancelled observation hears no more.
  observation.cancel();
  store->setChord(std::nullopt, HotKeyAction::moveUp);
  EXPECT_EQ(observed, 1);
  EXPECT_EQ(reported.size(), 2u);
}

TEST_F(HotKeySettingsStoreTest, AChordHeldByAnotherActionIsRefusedWithoutAnyEffect) {
  const auto store = makeStore();
  int calls = 0;
  store->onChange = [&](const HotKeyBindings&) { ++calls; };
  auto observation = store->observe([&] { ++calls; });

  const auto message = store->setChord(KeyChord{kKeyLeft, kCtrlOpt}, HotKeyAction::moveUp);
  EXPECT_EQ(message, std::optional<std::string>("快捷键已被「移到左侧」占用"));
  EXPECT_EQ(store->bindings(), KeyChord::defaultBindings());
  EXPECT_EQ(defaults().writeCount(), 0u);
  EXPECT_EQ(calls, 0);

  // The same refusal after a save leaves the stored data as it was.
  store->setChord(KeyChord{kKeyA, KeyChord::kControl}, HotKeyAction::moveDown);
  const auto before = defaults().dataValue("hotKeyBindings");
  const std::size_t writes = defaults().writeCount();
  EXPECT_TRUE(store->setChord(KeyChord{kKeyA, KeyChord::kControl}, HotKeyAction::fullScreen).has_value());
  EXPECT_EQ(defaults().writeCount(), writes);
  EXPECT_EQ(defaults().dataValue("hotKeyBindings"), before);
}

TEST_F(HotKeySettingsStoreTest, RebindingTheSameChordAndRemovingNeverConflict) {
  const auto store = makeStore();
  int changes = 0;
  store->onChange = [&](const HotKeyBindings&) { ++changes; };

  EXPECT_FALSE(store->setChord(KeyChord{kKeyLeft, kCtrlOpt}, HotKeyAction::moveLeft).has_value());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(defaults().boolValue("hotKeyBindingsSaved"), std::optional<bool>(true));

  for (HotKeyAction action : kAllHotKeyActions) EXPECT_FALSE(store->setChord(std::nullopt, action).has_value());
  EXPECT_TRUE(store->bindings().empty());
  EXPECT_FALSE(store->chord(HotKeyAction::moveLeft).has_value());
  EXPECT_EQ(changes, 6);

  // Relaunching after removing everything gives no hot keys, not the defaults.
  EXPECT_TRUE(makeStore()->bindings().empty());
}

TEST_F(HotKeySettingsStoreTest, UnknownStoredMembersAreSkipped) {
  storeText(R"({"moveLeft":{"keyCode":0,"carbonModifiers":4096},"zoomIn":{"keyCode":1,"carbonModifiers":4096}})");
  EXPECT_EQ(makeStore()->bindings(), (HotKeyBindings{{HotKeyAction::moveLeft, KeyChord{0, 4096}}}));
}

TEST_F(HotKeySettingsStoreTest, UnreadableStoredBindingsLoadAsNoBindings) {
  const std::vector<std::string> unreadable = {
      "not json",
      "",
      "[]",
      "\"moveLeft\"",
      "42",
      "null",
      R"({"moveLeft":[123,6144]})",
      R"({"moveLeft":{"keyCode":"123","carbonModifiers":6144}})",
      R"({"moveLeft":{"keyCode":true,"carbonModifiers":6144}})",
      R"({"moveLeft":{"keyCode":-1,"carbonModifiers":6144}})",
      R"({"moveLeft":{"keyCode":1099511627776,"carbonModifiers":6144}})",
      R"({"moveLeft":{"keyCode":123,"carbonModifiers":1e300}})",
      R"({"moveLeft":{"keyCode":123.5,"carbonModifiers":6144}})",
      R"({"moveLeft":{"keyCode":123}})",
      R"({"moveLeft":null})",
      R"({"moveLeft":{"keyCode":123,"carbonModifiers":6144})",
  };
  for (const std::string& text : unreadable) {
    storeText(text);
    EXPECT_TRUE(makeStore()->bindings().empty()) << text;
  }

  // Saved, but the data is missing or of another type.
  defaults().removeValue("hotKeyBindings");
  EXPECT_TRUE(makeStore()->bindings().empty());
  defaults().setString("hotKeyBindings", R"({"moveLeft":{"keyCode":123,"carbonModifiers":6144}})");
  EXPECT_TRUE(makeStore()->bindings().empty());
}

TEST_F(HotKeySettingsStoreTest, TheSavedFlagMustBeATrueBoolean) {
  storeText(R"({})", false);
  EXPECT_EQ(makeStore()->bindings(), KeyChord::defaultBindings());
  defaults().setString("hotKeyBindingsSaved", "true");
  EXPECT_EQ(makeStore()->bindings(), KeyChord::defaultBindings());
}

TEST_F(HotKeySettingsStoreTest, TheNextChangeReplacesUnreadableData) {
  storeText("{broken");
  const auto store = makeStore();
  EXPECT_FALSE(store->setChord(KeyChord{kKeyA, KeyChord::kOption}, HotKeyAction::fullScreen).has_value());
  const HotKeyBindings expected = {{HotKeyAction::fullScreen, KeyChord{kKeyA, KeyChord::kOption}}};
  EXPECT_EQ(stored(), expected);
  EXPECT_EQ(makeStore()->bindings(), expected);
}

TEST_F(HotKeySettingsStoreTest, ChangesReachTheCenterThroughOnChange) {
  const auto store = makeStore();
  center->updateBindings(store->bindings());
  std::weak_ptr<HotKeyCenter> weak = center;
  store->onChange = [weak](const HotKeyBindings& bindings) {
    if (const auto live = weak.lock()) live->updateBindings(bindings);
  };

  store->setChord(KeyChord{kKeyA, KeyChord::kControl}, HotKeyAction::moveLeft);
  EXPECT_TRUE(keys().isRegistered(kKeyA, KeyChord::kControl));
  EXPECT_FALSE(keys().isRegistered(kKeyLeft, kCtrlOpt));

  center.reset();
  store->setChord(std::nullopt, HotKeyAction::moveLeft);  // a gone center is left alone
  EXPECT_FALSE(store->chord(HotKeyAction::moveLeft).has_value());
}

}  // namespace
}  // namespace tessarapane
