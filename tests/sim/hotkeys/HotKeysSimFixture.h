#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/KeyChord.h"
#include "platform/KeyEvent.h"

namespace tessarapane {

inline void PrintTo(HotKeyAction action, std::ostream* out) { *out << rawValue(action); }
inline void PrintTo(const KeyChord& chord, std::ostream* out) {
  *out << "{" << chord.keyCode << ", " << chord.carbonModifiers << "}";
}

namespace testing_support {

// ANSI key codes used below.
inline constexpr std::uint16_t kKeyA = 0;
inline constexpr std::uint16_t kKeyReturn = 36;
inline constexpr std::uint16_t kKeyDelete = 51;
inline constexpr std::uint16_t kKeyEscape = 53;
inline constexpr std::uint16_t kKeyForwardDelete = 117;
inline constexpr std::uint16_t kKeyLeft = 123;
inline constexpr std::uint16_t kKeyRight = 124;
inline constexpr std::uint16_t kKeyDown = 125;
inline constexpr std::uint16_t kKeyUp = 126;
inline constexpr std::uint64_t kControlOption = KeyEvent::kControl | KeyEvent::kOption;
inline constexpr std::uint32_t kCtrlOpt = KeyChord::kDefaultModifiers;

inline KeyEvent keyDown(std::uint16_t keyCode, std::uint64_t flags = 0, bool isRepeat = false) {
  KeyEvent event;
  event.type = KeyEvent::Type::keyDown;
  event.keyCode = keyCode;
  event.modifierFlags = flags;
  event.isRepeat = isRepeat;
  return event;
}

// A simulated desktop and a hot-key center whose handler records what it is
// handed, with the clock's time.
class HotKeysTest : public ::testing::Test {
 protected:
  struct Delivery {
    HotKeyAction action;
    double time;
  };

  void SetUp() override { center = makeCenter(); }

  std::shared_ptr<HotKeyCenter> makeCenter() {
    auto made = HotKeyCenter::create(platform);
    made->handler = [this](HotKeyAction action) { deliveries.push_back({action, clock->now()}); };
    return made;
  }

  std::vector<HotKeyAction> delivered() const {
    std::vector<HotKeyAction> actions;
    for (const Delivery& delivery : deliveries) actions.push_back(delivery.action);
    return actions;
  }

  std::optional<bool> press(std::uint32_t keyCode, std::uint32_t modifiers = kCtrlOpt) {
    return keys().pressHotKey(keyCode, modifiers);
  }

  SimHotKeys& keys() { return *desktop->hotKeys(); }
  SimUserDefaults& defaults() { return *desktop->userDefaults(); }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<HotKeyCenter> center;
  std::vector<Delivery> deliveries;
};

}  // namespace testing_support
}  // namespace tessarapane
