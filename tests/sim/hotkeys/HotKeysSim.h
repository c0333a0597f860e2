#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/KeyChord.h"
#include "platform/KeyEvent.h"
#include "sim/desktop/SimDesktopTest.h"

namespace tessarapane {

// Key codes (ANSI positions) used by the stories.
inline constexpr std::uint16_t kKeyA = 0, kKeyY = 16, kKey7 = 26, kKeyReturn = 36, kKeyDelete = 51,
                               kKeyEscape = 53, kKeyForwardDelete = 117, kKeyLeft = 123, kKeyRight = 124,
                               kKeyUp = 126;
inline constexpr std::uint64_t kControlOption = KeyEvent::kControl | KeyEvent::kOption;

inline KeyEvent keyDown(std::uint16_t keyCode, std::uint64_t flags = 0, bool isRepeat = false) {
  return KeyEvent{KeyEvent::Type::keyDown, keyCode, flags, isRepeat};
}

// A desktop and a hot-key center whose handler logs "<action>@<ms>".
struct HotKeysSim : testing_support::SimDesktopTest {
  std::shared_ptr<HotKeyCenter> makeCenter() {
    auto made = HotKeyCenter::create(platform);
    made->handler = [this](HotKeyAction action) {
      const auto ms = std::lround((clock->now() - SimScheduler::kDefaultStart) * 1000.0);
      log.push_back(std::string(rawValue(action)) + "@" + std::to_string(ms));
    };
    return made;
  }
  std::vector<std::string> delivered() {
    clock->runPending();
    return std::exchange(log, {});
  }
  // "<id>:<chord>" of every registration, in registration order.
  std::vector<std::string> registered() {
    std::vector<std::string> shown;
    for (const auto& r : keys().registrations()) {
      EXPECT_EQ(r.id.signature, 0x5473486Bu);  // "TsHk"
      shown.push_back(std::to_string(r.id.id) + ":" + KeyChord{r.keyCode, r.modifiers}.displayString());
    }
    return shown;
  }
  std::optional<bool> press(std::uint32_t keyCode, std::uint32_t modifiers = KeyChord::kDefaultModifiers) {
    return keys().pressHotKey(keyCode, modifiers);
  }
  SimHotKeys& keys() { return *desktop->hotKeys(); }

  std::vector<std::string> log;
  std::shared_ptr<HotKeyCenter> center = makeCenter();
};

}  // namespace tessarapane
